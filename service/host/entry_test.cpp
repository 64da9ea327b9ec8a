#include "service/host/entry.h"

#include <gtest/gtest.h>

#include <filesystem>

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

using ServerNameSource = testing_support::ScratchFolder;

// An installed copy, kept apart from the game server, takes the name of the
// game server that its GYRIONPATH names; a "gyrion.ini" beside it comes first.
TEST_F(ServerNameSource, OwnFolderFirstThenTheConfiguredGameFolder) {
  struct Case {
    const char* name;
    const char* own_ini;  // null: none beside the executable
    std::string config;   // empty: no "orvosvr.cfg"
    std::string want;
  };
  const std::string game = (folder_ / "game").string();
  const Case cases[] = {
      {"own gyrion.ini", "[SERVERS]\r\nHere\r\n", "GYRIONPATH " + game + "\r\n", "Here"},
      {"own gyrion.ini without the name", "[SERVERS]\r\n", "GYRIONPATH " + game + "\r\n", ""},
      {"the configured game folder's", nullptr, "GYRIONPATH " + game + "\r\nNTSERVICE\r\n", "Northmoor"},
      {"the last GYRIONPATH line", nullptr, "GYRIONPATH /nowhere\r\nGYRIONPATH " + game + "\r\n", "Northmoor"},
      {"a commented GYRIONPATH", nullptr, "#GYRIONPATH " + game + "\r\n", ""},
      {"a game folder without gyrion.ini", nullptr, "GYRIONPATH " + game + "/none\r\n", ""},
      {"no orvosvr.cfg", nullptr, "", ""},
  };
  Write("game/gyrion.ini", "[GYRION]\r\n[SERVERS]\r\nNorthmoor\r\n");
  for (const Case& c : cases) {
    std::filesystem::remove(folder_ / "gyrion.ini");
    std::filesystem::remove(folder_ / "orvosvr.cfg");
    if (c.own_ini != nullptr) Write("gyrion.ini", c.own_ini);
    if (!c.config.empty()) Write("orvosvr.cfg", c.config);
    EXPECT_EQ(ReadServerName(), c.want) << c.name;
  }
}

}  // namespace
}  // namespace host
