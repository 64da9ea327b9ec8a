#pragma once
// Text between the control's UTF-8 strings and Windows' UTF-16 and ANSI
// (the thread's code page) ones. Windows headers only.

#include <string>
#include <string_view>

namespace tilvo::platform {

// UTF-8 as UTF-16; bytes that are no UTF-8 become U+FFFD.
std::wstring Utf16FromUtf8(std::string_view text);
// UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8FromUtf16(std::wstring_view text);
// Text in the thread's ANSI code page as UTF-8.
std::string Utf8FromAnsi(std::string_view text);

}  // namespace tilvo::platform
