// The windows speak UTF-16, the core UTF-8 with "\n" line ends, and the
// profile-string calls the ANSI code page: the conversions between them.
#pragma once

#include <string>
#include <string_view>

namespace monitor {

// UTF-16 for the UTF-8 text `text`.
std::wstring Widen(std::string_view text);
// UTF-8 for the UTF-16 text `text`.
std::string Narrow(std::wstring_view text);

// What a text box shows for console text: each "\n" as CR LF.
std::wstring ToBoxText(std::string_view text);
// Console text for a text box's text: each CR LF as "\n".
std::string FromBoxText(std::wstring_view text);

// UTF-8 for text in the system's ANSI code page, and back (a character the
// code page lacks becomes "?").
std::string AnsiToUtf8(std::string_view text);
std::string Utf8ToAnsi(std::string_view text);

}  // namespace monitor
