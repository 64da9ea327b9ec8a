// Fast reading of a large text file in exactly the pieces that host::ReadLine
// gives over a host::TextReader, for the scans over whole world saves and
// resource files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "service/host/text_lines.h"

namespace gamedata {

// Reads a file as text (CR LF as LF, the end at a Ctrl-Z), one line at a time:
// a line holds at most line_size - 1 characters, a longer one comes in pieces,
// and bytes 255 are dropped, as ReadLine does.
class LineReader {
 public:
  // Opens `native_path`; with `cut_at_line_end` each line ends at its first CR
  // or zero byte, as StripLineEnds and a C string leave it. `mark_bytes` are
  // the bytes SkipToMarkedLine looks for (at most four). Check Ok().
  LineReader(const std::string& native_path, size_t line_size, bool cut_at_line_end,
             std::string_view mark_bytes = {});
  bool Ok() const { return file_ != nullptr; }
  // The next line; false at the end of the text. Valid until the next call.
  bool Next(std::string_view* line);
  // Passes over the lines that hold none of the mark bytes and are plain
  // (no byte 255, Ctrl-Z or, when cutting, zero byte): the next call of Next
  // gives a line that holds a mark byte, or one that is not plain.
  void SkipToMarkedLine();

 private:
  bool NextSlow(std::string_view* line);
  int GetText();
  void Refill();
  size_t NextDirty();

  host::FilePtr file_;
  size_t max_chars_;
  bool cut_;
  std::vector<char> buf_;
  size_t pos_ = 0;
  size_t len_ = 0;
  bool eof_ = false;
  // Where the next byte 255, Ctrl-Z and zero byte lie (len_ when none is left).
  size_t next_ff_ = 0;
  size_t next_sub_ = 0;
  size_t next_nul_ = 0;
  // The mark bytes and where each lies next (len_ when none is left).
  std::string marks_;
  size_t next_mark_[4] = {};
  std::string slow_;
};

}  // namespace gamedata
