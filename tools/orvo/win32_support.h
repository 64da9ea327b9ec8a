// What orvo's Windows files share: the conversions between its UTF-8 strings
// and the system's UTF-16 ones, the system's text for an error code, random
// names, and the wait for a noted interrupt. Only the _win32.cpp files
// include it.
#pragma once

#include <string>
#include <string_view>

namespace orvo::platform {

// UTF-8 to UTF-16; invalid bytes become U+FFFD.
std::wstring Widen(std::string_view text);

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Narrow(std::wstring_view text);

// The system's one-line text for an error code (GetLastError, WSAGetLastError).
std::string SystemText(unsigned long code);

// The system's text for the calling thread's last error.
std::string LastErrorText();

// Six random letters and digits, for names that must not be guessed.
std::string RandomSuffix();

// Waits up to `timeout_ms` for an interrupt to be noted (platform_interrupt.h):
// the console ends a read at Ctrl+C, and the event that notes it reaches its
// handler on a thread of its own, maybe a moment later. True once it is
// noted; false at once while interrupts are not caught.
bool AwaitInterrupt(int timeout_ms);

}  // namespace orvo::platform
