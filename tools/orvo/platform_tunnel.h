// What orvo asks of the operating system to reach a service through another
// program: OpenSSH's client with stdio forwarding (ssh -W), whose standard
// input and output carry the session. orvo reads and writes that program's
// end as it reads and writes a socket.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/orvo/platform.h"

namespace orvo::platform {

// The program that opens SSH connections: "ssh" from the PATH; on Windows the
// ssh.exe that Windows ships (%SystemRoot%\System32\OpenSSH\ssh.exe) when it
// is there, else "ssh.exe" from the PATH.
std::string DefaultSshProgram();

// One running program whose standard input and output are a session's
// connection. Its standard error stays orvo's, so that it speaks to the user
// in its own words.
class Tunnel {
 public:
  Tunnel() = default;
  // Ends the program: it is given a few seconds to finish once orvo's end of
  // the connection is closed (close that first), then it is stopped.
  ~Tunnel();
  Tunnel(const Tunnel&) = delete;
  Tunnel& operator=(const Tunnel&) = delete;

  // Starts `program` (found as the system finds programs) with `args`;
  // `connection` becomes orvo's end of its standard input and output. 0, or
  // -1 with a reason (the program cannot be found or started).
  int Start(const std::string& program, const std::vector<std::string>& args, Connection* connection,
            std::string* error);
  // The program's exit code once it has ended, waiting at most `timeout_ms`
  // for that (0 to 255; on POSIX 128 plus the signal that ended it); -1
  // while it still runs or when none was started.
  int ExitCode(int timeout_ms);

 private:
  std::intptr_t process_ = -1;  // a process id on POSIX, a process HANDLE on Windows
  std::intptr_t waiter_ = -1;   // what a wait for its end watches (a pidfd), or a relay's state on Windows
  int exit_code_ = -1;
};

}  // namespace orvo::platform
