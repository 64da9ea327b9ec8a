// The service's one log routine: a daily file plus an echo on standard output,
// serialised by the named output mutex.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// Name of the output mutex for the current server name ("stdioMutex%s").
std::string OutputMutexName();
// Creates the output mutex; false on failure. Lives until DestroyOutputMutex.
bool CreateOutputMutex();
void DestroyOutputMutex();

// The daily log file's name for today and the configured log folder.
std::string LogFileName();

// Appends the formatted text to the daily log and echoes it to standard output.
void WriteLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A text that came from a client (a name, a user name, a command word), as
// the log writes it: every control character as \xNN and a backslash as \\,
// so that no client text can pass for a log line of its own.
std::string EscapeForLog(std::string_view text);

// Prints to standard output only (texts outside the log: entry routine,
// service tools, the closing line). Serialised with WriteLog's echo.
void PrintConsole(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes event `id` of the message table to the system log under the short
// name, at the type the table gives it. `inserts` are the first and the second
// text (none, or the first alone, when absent).
void ReportServiceEvent(uint32_t id, const std::vector<std::string>& inserts = {});

// The text of this thread's last error as "%s (0x%x)" (text, code in lower
// case hexadecimal), or the empty text when it needs more than `size`
// characters of room as the system writes it.
std::string FormatLastError(size_t size);

}  // namespace host
