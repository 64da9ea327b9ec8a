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

// A unit name escaped as systemd escapes one ("Gyrion - x" becomes
// "Gyrion\x20\x2d\x20x"), without a suffix.
std::string EscapeUnitName(const std::string& name);

// The C library's text for a system error number.
std::string ErrorText(int error);

}  // namespace platform
