// Starting other programs: the game server, and the service manager's tool.
#pragma once

#include <string>
#include <vector>

namespace platform {

// What a program file's name ends in on this platform ("" or ".exe").
#if defined(_WIN32)
inline constexpr const char* kExecutableSuffix = ".exe";
#else
inline constexpr const char* kExecutableSuffix = "";
#endif

// Starts `path` with no arguments, in folder `cwd`, and does not watch it.
// On Windows it gets a new console window of its own and inherits no handle
// (`output_path` is not used); elsewhere it runs detached in a session of
// its own, with standard input from the null device and standard output and
// error appended to `output_path`. Returns 0, or the system error number.
int StartDetached(const std::string& path, const std::string& cwd, const std::string& output_path);

// What a program run by RunTool did.
struct ToolRun {
  int start_error = 0;  // system error number when it could not be started, else 0
  int exit_code = -1;   // its exit code; -1 when it did not run or did not exit normally
  std::string out;      // its standard output
  std::string err;      // its standard error
};
// Runs a program found on PATH with `args`, standard input from the null
// device, and waits for it, keeping what it printed.
ToolRun RunTool(const std::vector<std::string>& args);

// Runs a program found on PATH with `args` and waits for it; returns its exit
// code, or -1 when it could not be run. Its output is discarded.
int RunAndWait(const std::vector<std::string>& args);
// Runs a program like RunAndWait and captures its standard output.
int RunAndCapture(const std::vector<std::string>& args, std::string* out);

// The name of this platform as the start-up line reports it.
const char* PlatformName();

// The system's text for a system error number (a socket error included), on
// one line.
std::string ErrorText(int error);

}  // namespace platform
