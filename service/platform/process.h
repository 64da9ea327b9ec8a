// Starting other programs: the game server, and the service manager's tool.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Starts `path` detached in a session of its own, in folder `cwd`, with no
// arguments, standard input from the null device and standard output and
// error appended to `output_path`. Returns 0, or the system error number.
int StartDetached(const std::string& path, const std::string& cwd, const std::string& output_path);

// Runs a program found on PATH with `args` and waits for it; returns its exit
// code, or -1 when it could not be run. Its output is discarded.
int RunAndWait(const std::vector<std::string>& args);
// Runs a program like RunAndWait and captures its standard output.
int RunAndCapture(const std::vector<std::string>& args, std::string* out);

// The name of this platform as the start-up line reports it.
const char* PlatformName();

// The C library's text for a system error number.
std::string ErrorText(int error);

}  // namespace platform
