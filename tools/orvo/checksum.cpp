#include "tools/orvo/checksum.h"

namespace orvo {

namespace {

constexpr size_t kLongestLine = 8191;
constexpr unsigned char kCtrlZ = 26;
constexpr unsigned char kDropped = 0xFF;

// Hands out the bytes of `bytes` as text mode reads them.
class TextBytes {
 public:
  explicit TextBytes(std::string_view bytes) : bytes_(bytes) {}
  // The next byte, or -1 at the end of the text.
  int Next() {
    if (pos_ >= bytes_.size()) return -1;
    unsigned char c = static_cast<unsigned char>(bytes_[pos_++]);
    if (c == kCtrlZ) {
      pos_ = bytes_.size();
      return -1;
    }
    if (c == '\r' && pos_ < bytes_.size() && bytes_[pos_] == '\n') {
      ++pos_;
      return '\n';
    }
    return c;
  }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
};

}  // namespace

int32_t TextChecksum(std::string_view bytes) {
  TextBytes text(bytes);
  // Unsigned arithmetic wraps as the checksum does.
  uint32_t checksum = 0;
  for (uint32_t number = 0;; ++number) {
    size_t length = 0;
    int32_t sum = 0;
    bool ended = false;   // the text ended before this line had a byte
    bool cut = false;     // a zero byte ended the sum
    while (length < kLongestLine) {
      int c = text.Next();
      if (c < 0) {
        ended = length == 0;
        break;
      }
      if (c == '\n') break;
      if (c == kDropped) continue;
      ++length;
      if (c == 0) cut = true;
      if (!cut && c != '\r') sum += static_cast<signed char>(c);
    }
    if (ended) return static_cast<int32_t>(checksum);
    checksum += static_cast<uint32_t>(sum) & number;
  }
}

}  // namespace orvo
