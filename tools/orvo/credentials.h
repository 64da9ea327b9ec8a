// Where orvo finds the password: a password file, the ORVO_PASSWORD variable,
// a profile's password file or command, or a prompt on the terminal. Never
// the command line, and never the config file itself.
#pragma once

#include <optional>
#include <string>

#include "tools/orvo/environment.h"

namespace orvo {

struct PasswordSources {
  std::optional<std::string> option_file;       // --password-file
  std::optional<std::string> profile_file;      // the profile's password-file
  std::optional<std::string> profile_command;   // the profile's password-command
};

// Results of FindPassword besides 0.
inline constexpr int kNoPasswordSource = -1;  // nothing to ask: no source, no terminal
inline constexpr int kPasswordSourceFailed = -2;  // a file or command that gave no password

// The password for `user`: --password-file, else ORVO_PASSWORD, else the
// profile's file or command, else the prompt. A password file is read up to
// its first line end and refused when others may read or change it; a
// command's first line of output is the password, and a command that fails
// gives none. 0, or one of the results above with the reason.
int FindPassword(const PasswordSources& sources, const std::string& user, const Environment& env,
                 std::string* password, std::string* error);

}  // namespace orvo
