// Text files as the game server writes them, and the line routines every
// reader of the service shares.
//
// The game server's files have CR LF line ends and may end at a Ctrl-Z, as
// Windows text mode treats them. TextReader and TextWriter give that text mode
// on every platform: reading turns each CR LF into LF and stops at byte 26;
// writing turns each LF into CR LF.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace host {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Reads a file in text mode, through a buffer.
class TextReader {
 public:
  // Opens `path` for reading; check Ok().
  explicit TextReader(const std::string& path);
  bool Ok() const { return file_ != nullptr; }
  // The next character after text-mode translation, or -1 at the end.
  int Get() {
    if (pos_ + 1 < len_) {
      unsigned char c = buf_[pos_];
      if (c != '\r' && c != 26) {
        ++pos_;
        return c;
      }
    }
    return GetSlow();
  }
  bool AtEnd();

 private:
  int GetSlow();
  bool Fill();

  FilePtr file_;
  std::vector<unsigned char> buf_;
  size_t pos_ = 0;
  size_t len_ = 0;
  bool eof_ = false;
};

// Writes a file in text mode (each LF stored as CR LF).
class TextWriter {
 public:
  // Opens `path` for writing; `append` keeps what is there. Check Ok().
  TextWriter(const std::string& path, bool append);
  // Creates `path` anew: whatever is there (a stale file, or a link, never
  // what it points at) is removed first, and no link is followed. Check Ok().
  static TextWriter Fresh(const std::string& path);
  bool Ok() const { return file_ != nullptr; }
  // Writes `text` with each LF turned into CR LF; false once any write failed.
  bool Write(std::string_view text);
  // Flushes and closes; false when a write or the close failed.
  bool Close();

 private:
  explicit TextWriter(std::FILE* file) : file_(file) {}
  FilePtr file_;
  bool failed_ = false;
};

// Reads one line of at most n - 1 characters: a LF ends the line and is not
// stored, bytes 255 are dropped. A longer line comes back in pieces. Returns
// the number of characters stored (0 for an empty line), or -1 when the file
// ended before any character was stored.
int ReadLine(TextReader& file, std::string& line, int n);

// Cuts `text` at its first CR or LF (both end the text).
void StripLineEnds(std::string& text);
// Cuts `text` at its first zero byte, as a C string would end there.
void CutAtNul(std::string& text);
// Upper-cases every byte of `text` (ASCII letters only).
void UpperCase(std::string& text);
// An upper-cased copy.
std::string Upper(std::string_view text);
// Position of `key` in `text`, both compared upper-cased; npos when absent.
size_t ContainsNoCase(std::string_view text, std::string_view key);
// Whether `text` begins with `key`, compared without regard to case.
bool StartsWithNoCase(std::string_view text, std::string_view key);
// Index of the first entry equal to `word` without regard to case, or -1.
int FindInTable(std::string_view word, const std::vector<std::string_view>& table);
int FindInTable(std::string_view word, const std::string_view* table, size_t count);

// A decimal number as the C library's atol reads it: leading blanks and tabs,
// an optional sign, digits up to the first other character; no digits gives 0.
// The value saturates at the limits of a signed 32-bit number.
long ParseDecimal(std::string_view text);

// Joins a folder read from a file with a file name: directly when the folder
// ends in a separator, otherwise with one separator between.
std::string JoinFolder(const std::string& folder, const std::string& name);

// printf-style formatting into a string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string VFormat(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

}  // namespace host
