// A little-endian reader over a span of bytes that refuses to read past its
// end, and the writer of the same numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace wire {

class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

  // Bytes not yet read.
  size_t Remaining() const { return bytes_.size() - pos_; }

  // Reads an unsigned 32-bit little-endian value; false (nothing consumed)
  // when fewer than four bytes remain.
  bool ReadU32(uint32_t* value) {
    if (Remaining() < 4) return false;
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
      v = (v << 8) | static_cast<uint8_t>(bytes_[pos_ + static_cast<size_t>(i)]);
    }
    *value = v;
    pos_ += 4;
    return true;
  }

  // Reads a signed 32-bit little-endian value (two's complement).
  bool ReadI32(int32_t* value) {
    uint32_t u = 0;
    if (!ReadU32(&u)) return false;
    *value = static_cast<int32_t>(u);
    return true;
  }

  // Takes the next `count` bytes; false (nothing consumed) when fewer remain.
  bool Take(size_t count, std::string_view* bytes) {
    if (Remaining() < count) return false;
    *bytes = bytes_.substr(pos_, count);
    pos_ += count;
    return true;
  }

  // Reads the bytes up to the next zero byte and consumes that zero too;
  // false (nothing consumed) when no zero byte remains.
  bool ReadZeroTerminated(std::string_view* text) {
    size_t end = bytes_.find('\0', pos_);
    if (end == std::string_view::npos) return false;
    *text = bytes_.substr(pos_, end - pos_);
    pos_ = end + 1;
    return true;
  }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
};

// Appends an unsigned 32-bit value in four little-endian bytes.
inline void AppendU32(std::string* out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace wire
