#include "service/gamedata/accounts.h"

#include <gtest/gtest.h>

#include "service/tests/log_capture.h"
#include "service/tests/scratch_folder.h"

namespace gamedata {
namespace {

using AccountLookup = testing_support::ScratchFolder;

const char* kIni = "WORLDSAVE=save\r\nACCTFILES=Accounts/\r\n[SERVERS]\r\nTest\r\n";

TEST_F(AccountLookup, Results) {
  Write("gyrion.ini", kIni);
  Write("Accounts/gyrionaccu.scp",
        "[BUILDER]\r\nPLEVEL=ADMIN\r\nPASSWORD=Secret\r\n\r\n"
        "[gmuser]\r\nplevel=gm\r\npassword=\"quoted pw\"\r\n\r\n"
        "[numbered]\r\nPLEVEL=4\r\nPASSWORD=x\r\n\r\n"
        "[Owner]\r\nPASSWORD=x\r\nPLEVEL=7\r\n\r\n"
        "[player]\r\nPASSWORD=x\r\nPLEVEL=PLAYER\r\n\r\n"
        "[toohigh]\r\nPASSWORD=x\r\nPLEVEL=8\r\n\r\n"
        "[huge]\r\nPASSWORD=x\r\nPLEVEL=99999999999999999999\r\n\r\n"
        "[negative]\r\nPASSWORD=x\r\nPLEVEL=-6\r\n\r\n"
        "[nolevel]\r\nPASSWORD=x\r\n\r\n"
        "[gap]\r\nPLEVEL=ADMIN\r\n\r\nPASSWORD=x\r\n\r\n"
        "[twice]\r\nPASSWORD=first\r\nPLEVEL=ADMIN\r\n\r\n"
        "[twice]\r\nPASSWORD=second\r\nPLEVEL=ADMIN\r\n\r\n"
        "[downgraded]\r\nPLEVEL=ADMIN\r\nPLEVEL=GM\r\nPASSWORD=x\r\n\r\n"
        "[stops]\r\nPLEVEL=ADMIN\r\n[other]\r\nPASSWORD=x\r\n");
  struct Case {
    const char* user;
    const char* password;
    LoginResult want;
  };
  const Case cases[] = {
      {"builder", "Secret", LoginResult::kWriteAccess},          // user names without regard to case
      {"BUILDER", "secret", LoginResult::kBadCredentials},       // passwords with regard to case
      {"gmuser", "quoted pw", LoginResult::kReadAccess},         // the quoted form matches the bare password
      {"numbered", "x", LoginResult::kReadAccess},
      {"owner", "x", LoginResult::kWriteAccess},
      {"player", "x", LoginResult::kInsufficientLevel},
      {"toohigh", "x", LoginResult::kInsufficientLevel},
      {"huge", "x", LoginResult::kInsufficientLevel},
      {"negative", "x", LoginResult::kInsufficientLevel},
      {"nolevel", "x", LoginResult::kInsufficientLevel},
      {"nolevel", "wrong", LoginResult::kBadCredentials},
      {"gap", "x", LoginResult::kBadCredentials},                // an empty line ends the section
      {"twice", "first", LoginResult::kWriteAccess},             // only the first section counts
      {"twice", "second", LoginResult::kBadCredentials},
      {"downgraded", "x", LoginResult::kReadAccess},             // a later PLEVEL line wins
      {"stops", "x", LoginResult::kBadCredentials},              // the next header ends the section
      {"nobody", "x", LoginResult::kBadCredentials},
      {"", "", LoginResult::kBadCredentials},
  };
  for (const Case& c : cases) {
    const FoundAccount found = FindAccount(c.user, c.password);
    EXPECT_EQ(found.result, c.want) << c.user << " / " << c.password;
    EXPECT_EQ(found.read_path, "Accounts/gyrionaccu.scp");
    EXPECT_EQ(found.write_path, "Accounts/gyrionacct.scp");
  }
}

TEST_F(AccountLookup, MissingFiles) {
  testing_support::LogMark mark;
  EXPECT_EQ(FindAccount("a", "b").result, LoginResult::kAccountFileMissing);
  EXPECT_NE(mark.Added().find("Unable to open INI file to determine the location of the account file.\n"),
            std::string::npos);

  Write("gyrion.ini", "[SERVERS]\r\nTest\r\n");
  EXPECT_EQ(FindAccount("a", "b").result, LoginResult::kAccountFileMissing);
  EXPECT_NE(mark.Added().find("Unable to determine the location of the account file.  Account path is \"\"\n"),
            std::string::npos);

  Write("gyrion.ini", "WORLDSAVE=save\r\n");
  EXPECT_EQ(FindAccount("a", "b").result, LoginResult::kAccountFileMissing);
  EXPECT_NE(mark.Added().find("Account path is \"SAVE\"\n"), std::string::npos);
}

TEST_F(AccountLookup, WorldSaveFolderWhenNoAccountFolder) {
  Write("gyrion.ini", "WORLDSAVE=Save\r\n");
  Write("Save/gyrionaccu.scp", "[A]\r\nPASSWORD=p\r\nPLEVEL=DEV\r\n");
  EXPECT_EQ(FindAccount("a", "p").result, LoginResult::kWriteAccess);
}

}  // namespace
}  // namespace gamedata
