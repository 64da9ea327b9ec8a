#include "service/gamedata/path_guard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "service/tests/temp_game_folder.h"

namespace gamedata {
namespace {

class PathGuardTest : public testing_support::TempGameFolder {};

TEST_F(PathGuardTest, ClientNamesStayInsideTheGameFolders) {
  const std::string scripts = OutsideFolder() + "/scripts";
  const std::string accounts = OutsideFolder() + "/accounts";
  const std::string elsewhere = WriteOutside("elsewhere/x.scp", "x");
  WriteIni({"SCPFILES=" + scripts, "ACCTFILES=" + accounts + "/"});
  WriteOutside("scripts/s.scp", "x");
  WriteOutside("accounts/gyrionaccu.scp", "x");
  Write("sub/f.scp", "x");
  Link("in.scp", "sub/f.scp");
  Link("out.scp", elsewhere);
  Link("outdir", std::filesystem::path(elsewhere).parent_path().string());
  const std::string up = "../" + std::filesystem::path(OutsideFolder()).filename().string();
  const struct {
    std::string name;
    bool fetch;
    bool store;
  } cases[] = {
      {"gyrion.ini", true, true},
      {"sub/f.scp", true, true},
      {"sub/../gyrion.ini", true, true},
      {"sub/new.scp", true, true},
      {Full("sub/f.scp"), true, true},
      {"in.scp", true, true},
      {scripts + "/s.scp", true, true},
      {up + "/scripts/new.scp", true, true},
      {accounts + "/gyrionaccu.scp", true, true},
      {"", true, true},
      {".", true, false},
      {scripts, true, false},
      {"../x.scp", false, false},
      {"sub/../../x.scp", false, false},
      {"missing/../../x.scp", false, false},
      {elsewhere, false, false},
      {up + "/elsewhere/x.scp", false, false},
      {"out.scp", false, false},
      {"outdir/x.scp", false, false},
      {"outdir/new.scp", false, false},
      {"/", false, false},
      {"/etc/passwd", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsClientPathAllowed(c.name, false), c.fetch) << c.name;
    EXPECT_EQ(IsClientPathAllowed(c.name, true), c.store) << c.name;
  }
}

TEST_F(PathGuardTest, ScriptsFolderRelativeToTheGameFolder) {
  WriteIni({"WORLDSAVE=save", "SCPFILES=scripts\\"});
  Write("scripts/s.scp", "x");
  EXPECT_TRUE(IsClientPathAllowed("scripts/s.scp", false));
  EXPECT_FALSE(IsClientPathAllowed("../s.scp", false));
}

TEST_F(PathGuardTest, AccountFilesAreKnownByAnySpelling) {
  Write("save/gyrionaccu.scp", "x");
  Write("gyrionaccu.scp", "x");
  Link("acct-link.scp", Full("save/gyrionaccu.scp"));
  const struct {
    std::string name;
    bool account;
  } cases[] = {
      {"save/gyrionaccu.scp", true},
      {"./save/../save/gyrionaccu.scp", true},
      {Full("save/gyrionaccu.scp"), true},
      {"save/gyrionacct.scp", true},  // the file SACT writes, even before it exists
      {"acct-link.scp", true},
      {"gyrionaccu.scp", false},  // not in the account folder
      {"save/GYRIONACCU.SCP", false},
      {"save/other.scp", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsAccountCompanion(c.name), c.account) << c.name;

  WriteIni({"SCPFILES=x"});
  EXPECT_FALSE(IsAccountCompanion("save/gyrionaccu.scp")) << "no account folder named";
}

}  // namespace
}  // namespace gamedata
