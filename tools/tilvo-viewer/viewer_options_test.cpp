#include "viewer_options.h"

#include <gtest/gtest.h>

namespace tilvo::viewer {
namespace {

TEST(ViewerOptions, ReadsEachOption) {
  ViewerOptions options;
  std::string error;
  ASSERT_TRUE(ParseViewerOptions({"--client", "/games/uo", "--type", "8", "--index", "0x10", "--color", "33",
                                  "--flags", "0x70", "--properties", "/tmp/p.txt"},
                                 options, error))
      << error;
  EXPECT_EQ(options.client, "/games/uo");
  EXPECT_EQ(options.type, 8);
  EXPECT_EQ(options.index, 16);
  EXPECT_EQ(options.color, 33);
  EXPECT_EQ(options.flags, 0x70);
  EXPECT_EQ(options.properties, "/tmp/p.txt");

  // A kind by name, and --id for --index.
  ViewerOptions named;
  ASSERT_TRUE(ParseViewerOptions({"--type", "items", "--id", "0x0B4F"}, named, error)) << error;
  EXPECT_EQ(named.type, 0);
  EXPECT_EQ(named.index, 0x0B4F);

  ViewerOptions none;
  ASSERT_TRUE(ParseViewerOptions({}, none, error));
  EXPECT_FALSE(none.client);
  EXPECT_FALSE(none.type);
}

TEST(ViewerOptions, RefusesWhatItCannotUse) {
  const char* usage =
      "usage: tilvo-viewer [--client DIR] [--type KIND|N] [--id N] [--color N] [--flags N] [--properties FILE]";
  struct Case {
    std::vector<std::string> args;
    std::string error;
  } cases[] = {
      {{"--type", "70000"}, "--type: not a 16-bit number: 70000"},
      {{"--type", "chairs"}, "--type: not a 16-bit number: chairs"},
      {{"--index", "12x"}, "--index: not a 32-bit number: 12x"},
      {{"--color", ""}, "--color: not a 16-bit number: "},
      {{"--client"}, "--client: needs a value"},
      {{"--size", "10x10"}, usage},
      {{"stray"}, usage},
  };
  for (const Case& c : cases) {
    ViewerOptions options;
    std::string error;
    EXPECT_FALSE(ParseViewerOptions(c.args, options, error)) << c.error;
    EXPECT_EQ(error, c.error);
  }
}

}  // namespace
}  // namespace tilvo::viewer
