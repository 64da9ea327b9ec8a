// The calling thread's last error, kept the way the service describes errors
// to a person: a code and its text. The calls of this layer whose failures the
// service prints or logs record their error here.
#pragma once

#include <string>

namespace platform {

// The code of this thread's last recorded error: a system error number, or
// the exit code of a tool that failed.
int LastError();
// The text of that error: the system's text for a system error number, or
// what the failing tool said.
std::string LastErrorText();

// Records a system error number as this thread's last error.
void SetLastError(int code);
// Records an error that comes with its own text.
void SetLastError(int code, const std::string& text);
// Records the C library's current error number (errno).
void RecordSystemError();

}  // namespace platform
