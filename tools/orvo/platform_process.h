// What orvo asks of the operating system about other programs and its own
// standard streams: running the editor and password commands, and telling a
// terminal from a file or a pipe.
#pragma once

#include <string>

namespace orvo::platform {

// Runs the shell command `command` with `file` as its one argument (as
// `sh -c 'COMMAND "$@"' sh FILE`), on this process's terminal, and waits for
// it. While it runs, orvo ignores the keyboard's interrupt and quit, which
// belong to the editor. Returns its exit code (0 to 255, 128 plus the signal
// that ended it), or -1 with a reason when it could not be started.
int RunWithFile(const std::string& command, const std::string& file, std::string* error);

// Runs the shell command `command` with standard input and standard error
// left to it, and reads what it prints (up to 64 KiB) into `output`. Returns
// its exit code as RunWithFile does, or -1 with a reason.
int RunAndRead(const std::string& command, std::string* output, std::string* error);

// Whether standard input is a terminal (the shell then edits lines).
bool StandardInputIsTerminal();

// Stops orvo as the terminal's suspend key (Ctrl-Z) does, until the shell
// that started it lets it go on; nothing where the system has no such thing.
void SuspendToShell();

}  // namespace orvo::platform
