#include "service/host/text_lines.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdarg>
#include <cstring>

#include "service/platform/fs.h"

namespace host {

namespace {
constexpr size_t kReadBuffer = 1 << 16;
constexpr unsigned char kCtrlZ = 26;

char UpperChar(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
}  // namespace

// A folder is not a file, although the C library here would open one.
TextReader::TextReader(const std::string& path)
    : file_(platform::IsDirectory(path) ? nullptr : std::fopen(path.c_str(), "rb")) {
  if (file_) buf_.resize(kReadBuffer);
}

bool TextReader::Fill() {
  // Keep one unread byte so that a CR at the end of the buffer can look ahead.
  size_t keep = len_ - pos_;
  if (keep > 0) std::memmove(buf_.data(), buf_.data() + pos_, keep);
  pos_ = 0;
  len_ = keep;
  if (eof_ || !file_) return len_ > 0;
  size_t n = std::fread(buf_.data() + len_, 1, buf_.size() - len_, file_.get());
  if (n == 0) eof_ = true;
  len_ += n;
  return len_ > 0;
}

int TextReader::GetSlow() {
  if (pos_ + 1 >= len_ && !eof_) Fill();
  if (pos_ >= len_) return -1;
  unsigned char c = buf_[pos_];
  if (c == kCtrlZ) {
    // Text mode ends the file at Ctrl-Z; nothing after it is read.
    pos_ = len_;
    eof_ = true;
    return -1;
  }
  ++pos_;
  if (c == '\r') {
    if (pos_ >= len_ && !eof_) Fill();
    if (pos_ < len_ && buf_[pos_] == '\n') {
      ++pos_;
      return '\n';
    }
  }
  return c;
}

bool TextReader::AtEnd() {
  if (pos_ < len_) return buf_[pos_] == kCtrlZ;
  if (eof_) return true;
  Fill();
  return pos_ >= len_ || buf_[pos_] == kCtrlZ;
}

TextWriter::TextWriter(const std::string& path, bool append)
    : file_(std::fopen(path.c_str(), append ? "ab" : "wb")) {}

TextWriter TextWriter::Fresh(const std::string& path) {
  platform::DeleteFile(path);
  return TextWriter(platform::CreateNewFile(path));
}

bool TextWriter::Write(std::string_view text) {
  if (!file_) return false;
  size_t start = 0;
  while (start < text.size()) {
    size_t lf = text.find('\n', start);
    size_t end = lf == std::string_view::npos ? text.size() : lf;
    if (end > start && std::fwrite(text.data() + start, 1, end - start, file_.get()) != end - start) failed_ = true;
    if (lf == std::string_view::npos) break;
    if (std::fwrite("\r\n", 1, 2, file_.get()) != 2) failed_ = true;
    start = lf + 1;
  }
  return !failed_;
}

bool TextWriter::Close() {
  if (!file_) return false;
  bool ok = !failed_ && std::fflush(file_.get()) == 0;
  ok = (std::fclose(file_.release()) == 0) && ok;
  return ok;
}

int ReadLine(TextReader& file, std::string& line, int n) {
  line.clear();
  size_t limit = n > 1 ? static_cast<size_t>(n - 1) : 0;
  while (line.size() < limit) {
    int c = file.Get();
    if (c < 0) return line.empty() ? -1 : static_cast<int>(line.size());
    if (c == '\n') return static_cast<int>(line.size());
    if (c == 255) continue;
    line.push_back(static_cast<char>(c));
  }
  return static_cast<int>(line.size());
}

void StripLineEnds(std::string& text) {
  size_t cut = text.find_first_of("\r\n");
  if (cut != std::string::npos) text.resize(cut);
}

void CutAtNul(std::string& text) {
  size_t cut = text.find('\0');
  if (cut != std::string::npos) text.resize(cut);
}

void UpperCase(std::string& text) {
  for (char& c : text) c = UpperChar(c);
}

std::string Upper(std::string_view text) {
  std::string out(text);
  UpperCase(out);
  return out;
}

size_t ContainsNoCase(std::string_view text, std::string_view key) {
  if (key.empty()) return 0;
  if (key.size() > text.size()) return std::string_view::npos;
  for (size_t i = 0; i + key.size() <= text.size(); ++i) {
    size_t j = 0;
    while (j < key.size() && UpperChar(text[i + j]) == UpperChar(key[j])) ++j;
    if (j == key.size()) return i;
  }
  return std::string_view::npos;
}

bool StartsWithNoCase(std::string_view text, std::string_view key) {
  if (text.size() < key.size()) return false;
  for (size_t i = 0; i < key.size(); ++i) {
    if (UpperChar(text[i]) != UpperChar(key[i])) return false;
  }
  return true;
}

int FindInTable(std::string_view word, const std::string_view* table, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (table[i].size() == word.size() && StartsWithNoCase(word, table[i])) return static_cast<int>(i);
  }
  return -1;
}

int FindInTable(std::string_view word, const std::vector<std::string_view>& table) {
  return FindInTable(word, table.data(), table.size());
}

long ParseDecimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value <= 1LL << 32) value = value * 10 + (text[i] - '0');
  }
  if (negative) value = -value;
  value = std::clamp<long long>(value, INT32_MIN, INT32_MAX);
  return static_cast<long>(value);
}

std::string JoinFolder(const std::string& folder, const std::string& name) {
  if (!folder.empty() && platform::IsSeparator(folder.back())) return folder + name;
  return folder + platform::kSeparator + name;
}

std::string VFormat(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<size_t>(n));
  }
  return out;
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string out = VFormat(format, args);
  va_end(args);
  return out;
}

}  // namespace host
