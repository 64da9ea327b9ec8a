// The service's one log routine: a daily file plus an echo on standard output,
// serialised by the named output mutex.
#pragma once

#include <string>

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

// Prints to standard output only (texts outside the log: entry routine,
// service tools, the closing line). Serialised with WriteLog's echo.
void PrintConsole(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace host
