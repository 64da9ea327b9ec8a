// How much text the console box keeps. A monitor left connected for days
// drops the console's oldest lines (into the log's record) rather than let
// the box grow without end.
#pragma once

#include <cstddef>
#include <string_view>

namespace monitor {

// The limit in kilobytes when "Configuration.ini" names none (key
// "MAXCONSOLEKB" of section "Settings").
inline constexpr size_t kDefaultConsoleKb = 4096;

// The console's limit in characters for the key's text `kb_text`: that many
// kilobytes when it is a whole number from 1 to 1048576, else the default.
size_t ConsoleLimit(std::string_view kb_text);

// Where to cut `text` so that at most `keep` bytes remain after the cut: just
// after the first line end that leaves no more than that, or, where no line
// end does, at the first whole character that does. 0 when `text` fits.
size_t ConsoleCut(std::string_view text, size_t keep);

}  // namespace monitor
