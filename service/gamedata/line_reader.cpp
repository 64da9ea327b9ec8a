#include "service/gamedata/line_reader.h"

#include <algorithm>
#include <cstring>

#include "service/platform/fs.h"

namespace gamedata {

namespace {

constexpr size_t kBufferSize = 1 << 20;
constexpr unsigned char kCtrlZ = 26;
constexpr unsigned char kDropped = 255;

size_t FindFrom(const std::vector<char>& buf, size_t from, size_t len, unsigned char c) {
  if (from >= len) return len;
  const void* hit = std::memchr(buf.data() + from, c, len - from);
  return hit == nullptr ? len : static_cast<size_t>(static_cast<const char*>(hit) - buf.data());
}

}  // namespace

LineReader::LineReader(const std::string& native_path, size_t line_size, bool cut_at_line_end,
                       std::string_view mark_bytes)
    : file_(std::fopen(native_path.c_str(), "rb")),
      max_chars_(line_size > 1 ? line_size - 1 : 0),
      cut_(cut_at_line_end),
      marks_(mark_bytes.substr(0, std::size(next_mark_))) {
  if (!file_) return;
  // A small file gets a buffer of its own size (checksums read many of them);
  // a file that grows while it is read is still read whole, through refills.
  size_t size = kBufferSize;
  long long bytes = platform::FileSize(native_path);
  if (bytes >= 0 && static_cast<unsigned long long>(bytes) < kBufferSize) size = static_cast<size_t>(bytes) + 1;
  buf_.resize(std::max(size, 4 * line_size));
}

void LineReader::Refill() {
  size_t keep = len_ - pos_;
  if (keep > 0 && pos_ > 0) std::memmove(buf_.data(), buf_.data() + pos_, keep);
  pos_ = 0;
  len_ = keep;
  if (!eof_ && len_ < buf_.size()) {
    size_t n = std::fread(buf_.data() + len_, 1, buf_.size() - len_, file_.get());
    if (n == 0) eof_ = true;
    len_ += n;
  }
  next_ff_ = FindFrom(buf_, 0, len_, kDropped);
  next_sub_ = FindFrom(buf_, 0, len_, kCtrlZ);
  next_nul_ = FindFrom(buf_, 0, len_, 0);
  for (size_t i = 0; i < marks_.size(); ++i) next_mark_[i] = FindFrom(buf_, 0, len_, static_cast<unsigned char>(marks_[i]));
}

void LineReader::SkipToMarkedLine() {
  if (!file_) return;
  for (;;) {
    size_t stop = NextDirty();
    for (size_t i = 0; i < marks_.size(); ++i) {
      if (next_mark_[i] < pos_) next_mark_[i] = FindFrom(buf_, pos_, len_, static_cast<unsigned char>(marks_[i]));
      stop = std::min(stop, next_mark_[i]);
    }
    if (stop >= len_ && eof_) {
      // Nothing left holds a mark: the rest needs no reading.
      pos_ = len_;
      return;
    }
    // Up to the stop, whole lines are passed over; then whole pieces of the
    // line that goes on, so that the pieces after them fall where ReadLine
    // would put them. The last byte stays: it may be the CR of a CR LF.
    std::string_view plain(buf_.data() + pos_, stop - pos_);
    size_t lf = plain.rfind('\n');
    size_t rest = plain.size();
    if (lf != std::string_view::npos) {
      pos_ += lf + 1;
      rest -= lf + 1;
    }
    if (rest > max_chars_) pos_ += ((rest - 1) / max_chars_) * max_chars_;
    if (stop < len_) return;
    Refill();
  }
}

// The first byte at or after pos_ that the quick path cannot take as it is.
size_t LineReader::NextDirty() {
  if (next_ff_ < pos_) next_ff_ = FindFrom(buf_, pos_, len_, kDropped);
  if (next_sub_ < pos_) next_sub_ = FindFrom(buf_, pos_, len_, kCtrlZ);
  if (cut_ && next_nul_ < pos_) next_nul_ = FindFrom(buf_, pos_, len_, 0);
  return std::min({next_ff_, next_sub_, cut_ ? next_nul_ : len_});
}

bool LineReader::Next(std::string_view* line) {
  if (!file_) return false;
  // Room for a whole piece, its CR and its LF, so a short line is always seen
  // whole in the buffer.
  if (len_ - pos_ < max_chars_ + 2 && !eof_) Refill();
  const char* start = buf_.data() + pos_;
  size_t window = std::min(len_ - pos_, max_chars_ + 2);
  const void* lf = std::memchr(start, '\n', window);
  if (lf != nullptr) {
    size_t raw = static_cast<size_t>(static_cast<const char*>(lf) - start);
    size_t chars = (raw > 0 && start[raw - 1] == '\r') ? raw - 1 : raw;
    // A line of exactly max_chars_ characters leaves its LF for the next
    // read, which then gives an empty line: the slow path deals with it.
    if (chars < max_chars_ && pos_ + raw <= NextDirty()) {
      pos_ += raw + 1;
      if (cut_) {
        const void* cr = std::memchr(start, '\r', chars);
        if (cr != nullptr) chars = static_cast<size_t>(static_cast<const char*>(cr) - start);
      }
      *line = std::string_view(start, chars);
      return true;
    }
  }
  return NextSlow(line);
}

// One character as text mode delivers it; -1 at the end of the text.
int LineReader::GetText() {
  if (pos_ + 1 >= len_ && !eof_) Refill();
  if (pos_ >= len_) return -1;
  unsigned char c = static_cast<unsigned char>(buf_[pos_]);
  if (c == kCtrlZ) {
    // Nothing after a Ctrl-Z is text.
    eof_ = true;
    pos_ = len_;
    return -1;
  }
  ++pos_;
  if (c == '\r' && pos_ < len_ && buf_[pos_] == '\n') {
    ++pos_;
    return '\n';
  }
  return c;
}

bool LineReader::NextSlow(std::string_view* line) {
  slow_.clear();
  while (slow_.size() < max_chars_) {
    int c = GetText();
    if (c < 0) {
      if (slow_.empty()) return false;
      break;
    }
    if (c == '\n') break;
    if (c == kDropped) continue;
    slow_.push_back(static_cast<char>(c));
  }
  if (cut_) {
    size_t end = std::min(slow_.find('\r'), slow_.find('\0'));
    if (end != std::string::npos) slow_.resize(end);
  }
  *line = slow_;
  return true;
}

}  // namespace gamedata
