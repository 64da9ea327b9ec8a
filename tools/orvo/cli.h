// The orvo command line: parses the arguments, finds the password, connects,
// logs in, runs one command and turns its result into the exit status.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace orvo {

// Exit statuses of orvo.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;     // a refusal or a failure reply of the service
inline constexpr int kExitUsage = 2;       // a bad command line or an impossible request
inline constexpr int kExitLogin = 3;       // the login was refused
inline constexpr int kExitConnection = 4;  // no connection, a broken one, or a reply out of step
inline constexpr int kExitLocalFile = 5;   // a local file could not be read or written

// What orvo takes from its surroundings, so that tests can run it whole.
struct Environment {
  std::optional<std::string> password_variable;  // ORVO_PASSWORD, when set
  // The prompt without echo: 0 and the password, or -1 when there is no terminal.
  std::function<int(const std::string& prompt, std::string* secret)> read_secret;
  std::istream* in = nullptr;   // standard input, for the file "-"
  std::ostream* out = nullptr;  // standard output: what a command prints
  std::ostream* err = nullptr;  // standard error: messages and progress
  bool err_is_terminal = false;  // progress is drawn in place on a terminal
};

// The exit status for a result of results.h.
int ExitStatusFor(int result);

// Runs orvo with `args` (without the program name). Returns the exit status.
int RunOrvo(const std::vector<std::string>& args, const Environment& env);

}  // namespace orvo
