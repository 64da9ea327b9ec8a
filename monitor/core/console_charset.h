// How the console's bytes become text in the windows and back. The console
// speaks single-byte text: each byte is the Latin-1 character of its value, so
// no byte is ever lost or merged with its neighbour across two arrivals. The
// windows hold UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace monitor {

// The UTF-8 text of the console bytes `bytes`, one character per byte.
std::string ConsoleBytesToText(std::string_view bytes);

// The console bytes for the UTF-8 text `text`: each character up to U+00FF as
// its byte, any other character (or a broken sequence) as "?".
std::string TextToConsoleBytes(std::string_view text);

}  // namespace monitor
