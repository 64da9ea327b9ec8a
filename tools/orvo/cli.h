// The orvo command line: parses the arguments, chooses the profile, finds the
// password, connects, logs in, runs the command (or the shell) and turns its
// result into the exit status.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/orvo/client.h"
#include "tools/orvo/environment.h"

namespace orvo {

// Exit statuses of orvo.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;     // a refusal or a failure reply of the service
inline constexpr int kExitUsage = 2;       // a bad command line, an impossible request, no password source
inline constexpr int kExitLogin = 3;       // the login was refused
inline constexpr int kExitConnection = 4;  // no connection, a broken one, or a reply out of step
inline constexpr int kExitLocalFile = 5;   // a local file (or password source) could not be read or written
inline constexpr int kExitConflict = 6;    // edit, sync push: a file changed on the server meanwhile

// Where to connect and as whom, once the command line, the profile and the
// defaults have been weighed.
struct Settings {
  std::string host = kDefaultHost;
  uint16_t port = kDefaultPort;
  // With an SSH destination, host and port are the service's as the SSH
  // server sees them, and `ssh_program` (ORVO_SSH, else the system's ssh)
  // carries the session.
  std::string ssh;
  std::string ssh_program;
  std::string user;
  std::string password;
  int timeout_ms = kDefaultTimeoutMs;
};

// Connects and logs in on a new session; a result of results.h.
int OpenSession(const Settings& settings, Session* session);

// The exit status for a result of results.h.
int ExitStatusFor(int result);

// Runs orvo with `args` (without the program name). Returns the exit status.
int RunOrvo(const std::vector<std::string>& args, const Environment& env);

}  // namespace orvo
