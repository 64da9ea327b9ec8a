#include "service/gamedata/accounts.h"

#include <gtest/gtest.h>

#include "service/tests/log_capture.h"
#include "service/tests/scratch_folder.h"

namespace protocol {
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
    int want;
  };
  const Case cases[] = {
      {"builder", "Secret", kWriteAccess},          // user names without regard to case
      {"BUILDER", "secret", kBadCredentials},       // passwords with regard to case
      {"gmuser", "quoted pw", kReadAccess},         // the quoted form matches the bare password
      {"numbered", "x", kReadAccess},
      {"owner", "x", kWriteAccess},
      {"player", "x", kInsufficientLevel},
      {"toohigh", "x", kInsufficientLevel},
      {"huge", "x", kInsufficientLevel},
      {"negative", "x", kInsufficientLevel},
      {"nolevel", "x", kInsufficientLevel},
      {"nolevel", "wrong", kBadCredentials},
      {"gap", "x", kBadCredentials},                // an empty line ends the section
      {"twice", "first", kWriteAccess},             // only the first section counts
      {"twice", "second", kBadCredentials},
      {"downgraded", "x", kReadAccess},             // a later PLEVEL line wins
      {"stops", "x", kBadCredentials},              // the next header ends the section
      {"nobody", "x", kBadCredentials},
      {"", "", kBadCredentials},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindAccount(c.user, c.password), c.want) << c.user << " / " << c.password;
  }
  EXPECT_EQ(AccountReadPath(), "Accounts/gyrionaccu.scp");
  EXPECT_EQ(AccountWritePath(), "Accounts/gyrionacct.scp");
}

TEST_F(AccountLookup, MissingFiles) {
  testing_support::LogMark mark;
  EXPECT_EQ(FindAccount("a", "b"), kAccountFileMissing);
  EXPECT_NE(mark.Added().find("Unable to open INI file to determine the location of the account file.\n"),
            std::string::npos);

  Write("gyrion.ini", "[SERVERS]\r\nTest\r\n");
  EXPECT_EQ(FindAccount("a", "b"), kAccountFileMissing);
  EXPECT_NE(mark.Added().find("Unable to determine the location of the account file.  Account path is \"\"\n"),
            std::string::npos);

  Write("gyrion.ini", "WORLDSAVE=save\r\n");
  EXPECT_EQ(FindAccount("a", "b"), kAccountFileMissing);
  EXPECT_NE(mark.Added().find("Account path is \"SAVE\"\n"), std::string::npos);
}

TEST_F(AccountLookup, WorldSaveFolderWhenNoAccountFolder) {
  Write("gyrion.ini", "WORLDSAVE=Save\r\n");
  Write("Save/gyrionaccu.scp", "[A]\r\nPASSWORD=p\r\nPLEVEL=DEV\r\n");
  EXPECT_EQ(FindAccount("a", "p"), kWriteAccess);
}

}  // namespace
}  // namespace protocol
