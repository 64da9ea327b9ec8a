// What orvo asks of the operating system about other programs and its own
// process: running the editor and password commands, telling a terminal from
// a file or a pipe, and its arguments, variables and standard streams.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvo::platform {

// Runs the shell command `command` with `file` as its one argument (as
// `sh -c 'COMMAND "$@"' sh FILE`; on Windows `cmd /c COMMAND "FILE"`, the
// file's path never read by cmd as anything but a name), on this process's
// terminal, and waits for it. While it runs, orvo ignores the keyboard's
// interrupt and quit, which belong to the editor. Returns its exit code (0 to
// 255, 128 plus the signal that ended it; on Windows a status above 255, such
// as a crash's, as 255), or -1 with a reason when it could not be started.
int RunWithFile(const std::string& command, const std::string& file, std::string* error);

// Runs the shell command `command` (by `sh -c`; on Windows by `cmd /c`) with
// standard input and standard error left to it, and reads what it prints (up
// to 64 KiB) into `output`. Returns its exit code as RunWithFile does, or -1
// with a reason.
int RunAndRead(const std::string& command, std::string* output, std::string* error);

// The editor when neither VISUAL nor EDITOR names one: "editor" where Debian's
// alternative exists, else "vi" (on Windows "notepad").
std::string DefaultEditor();

// Whether standard input is a terminal (the shell then edits lines).
bool StandardInputIsTerminal();

// Stops orvo as the terminal's suspend key (Ctrl-Z) does, until the shell
// that started it lets it go on; nothing where the system has no such thing.
void SuspendToShell();

// The program's arguments after its name, as UTF-8 (on Windows taken from
// the wide command line, not from the ANSI `argv`).
std::vector<std::string> ProgramArguments(int argc, char** argv);

// A variable of the process's environment as UTF-8; nullopt when unset.
std::optional<std::string> EnvironmentVariable(const std::string& name);

// Makes the standard streams carry bytes as they are (on Windows: no CR LF
// translation, no stop at Ctrl+Z, and UTF-8 text shown as such on a console).
void PrepareStandardStreams();

}  // namespace orvo::platform
