// The account lookup against the game server's own account file.
#pragma once

#include <string>

namespace gamedata {

// The account files in the account folder: the one logins read and GACT
// sends, and the one SACT replaces.
inline constexpr const char* kAccountReadFile = "gyrionaccu.scp";
inline constexpr const char* kAccountWriteFile = "gyrionacct.scp";

enum class LoginResult : int {
  kWriteAccess = 1,         // password right, level 5, 6 or 7
  kReadAccess = 0,          // password right, level 4
  kBadCredentials = -1,     // no such account, or the password does not match
  kInsufficientLevel = -2,  // password right, any other level or none
  kAccountFileMissing = -3,  // no "gyrion.ini", no account folder in it, or no account file
};

// What FindAccount found: the result, and where the two account files are
// (empty when "gyrion.ini" names no account folder).
struct FoundAccount {
  LoginResult result = LoginResult::kAccountFileMissing;
  std::string read_path;   // kAccountReadFile in the account folder
  std::string write_path;  // kAccountWriteFile in the account folder
};

// Checks a user name and password against the account file of the account
// folder that "gyrion.ini" names now; a failure to find the file is logged.
FoundAccount FindAccount(const std::string& user, const std::string& password);

}  // namespace gamedata
