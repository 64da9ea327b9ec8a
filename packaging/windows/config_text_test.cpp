#include "config_text.h"

#include <gtest/gtest.h>

namespace kitsetup {
namespace {

const std::string kExample = "# example\r\nPORT 4006\r\n#NTSERVICE\r\n";
const std::string kBlock = "# Set by the installer: the game server's folder and the service.\r\n";

TEST(InstalledConfig, TheBlockIsReplacedAndTheUsersLinesKept) {
  const std::string once = WithGamePath(kExample, "C:\\Gyrion\\Northmoor");
  EXPECT_EQ(once, kExample + kBlock + "GYRIONPATH C:\\Gyrion\\Northmoor\r\nNTSERVICE\r\n");
  EXPECT_EQ(WithGamePath(once, "D:\\Other"), kExample + kBlock + "GYRIONPATH D:\\Other\r\nNTSERVICE\r\n");
  // A file without a last line end gets one before the block.
  EXPECT_EQ(WithGamePath("PORT 1", "C:\\G"), "PORT 1\r\n" + kBlock + "GYRIONPATH C:\\G\r\nNTSERVICE\r\n");
  // A block the user added to is the user's: a new block follows it.
  const std::string extended = once + "READONLY\r\n";
  EXPECT_EQ(WithGamePath(extended, "D:\\G"), extended + kBlock + "GYRIONPATH D:\\G\r\nNTSERVICE\r\n");
}

TEST(InstalledConfig, OnlyTheExampleWithOrWithoutTheBlockCountsAsInstalled) {
  const struct {
    const char* name;
    std::string text;
    bool installed;
  } cases[] = {
      {"the example", kExample, true},
      {"the example with the block", WithGamePath(kExample, "C:\\G"), true},
      {"a line added", kExample + "READONLY\r\n", false},
      {"a line added after the block", WithGamePath(kExample, "C:\\G") + "READONLY\r\n", false},
      {"the block's path line changed", kExample + kBlock + "GYRIONPATH C:\\G\r\nPORT 1\r\nNTSERVICE\r\n", false},
      {"a value changed", "# example\r\nPORT 4007\r\n#NTSERVICE\r\n", false},
      {"empty", "", false},
  };
  for (const auto& c : cases) EXPECT_EQ(AsInstalled(c.text, kExample), c.installed) << c.name;
}

TEST(InstalledConfig, ServiceModeIsALineBeginningWithTheWord) {
  EXPECT_TRUE(TurnsServiceOn(WithGamePath(kExample, "C:\\G")));
  EXPECT_TRUE(TurnsServiceOn("NTSERVICE"));
  EXPECT_FALSE(TurnsServiceOn(kExample));
  EXPECT_FALSE(TurnsServiceOn(" NTSERVICE\r\n"));
}

}  // namespace
}  // namespace kitsetup
