#include "service/host/entry.h"

#include <gtest/gtest.h>

#include "service/tests/scratch_folder.h"

namespace host {
namespace {

using ServiceSwitchLine = testing_support::ScratchFolder;

TEST_F(ServiceSwitchLine, OnlyALineBeginningWithTheWordTurnsServiceModeOn) {
  struct Case {
    const char* name;
    std::string config;
    bool want;
  };
  const Case cases[] = {
      {"the word alone", "NTSERVICE\r\n", true},
      {"followed by a zero", "NTSERVICE 0\r\n", true},
      {"followed by =0", "NTSERVICE=0\r\n", true},
      {"on a later line", "PORT 4006\r\n# comment\r\nNTSERVICE\r\n", true},
      {"last line without line end", "PORT 4006\r\nNTSERVICE", true},
      {"blanks before it", "  NTSERVICE\r\n", false},
      {"a tab before it", "\tNTSERVICE\r\n", false},
      {"commented out", "#NTSERVICE\r\n", false},
      {"commented with a blank", "# NTSERVICE\r\n", false},
      {"lower case", "ntservice\r\n", false},
      {"inside a value", "GYRIONPATH /srv/NTSERVICE\r\n", false},
      {"no such line", "PORT 4006\r\nREADONLY\r\n", false},
      {"the rest of a line over 1023 characters", std::string(1023, 'x') + "NTSERVICE\r\n", true},
      {"a line of 1024 characters", std::string(1024, 'x') + "NTSERVICE\r\n", false},
  };
  for (const Case& c : cases) {
    Write("orvosvr.cfg", c.config);
    EXPECT_EQ(ServiceModeConfigured(), c.want) << c.name;
  }
}

TEST_F(ServiceSwitchLine, MissingFileMeansConsoleServer) { EXPECT_FALSE(ServiceModeConfigured()); }

}  // namespace
}  // namespace host
