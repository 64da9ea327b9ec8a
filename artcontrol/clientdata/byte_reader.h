#pragma once
// Little-endian reader over a span of bytes. Every read checks the bytes left
// first and refuses (returns false, position unchanged) rather than reading
// past the end; the client's files are never cast to structs.

#include <cstddef>
#include <cstdint>
#include <span>

namespace tilvo {

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  // Current position, counted in bytes from the start of the span.
  std::size_t Position() const { return position_; }
  // Bytes left after the position.
  std::size_t Remaining() const { return bytes_.size() - position_; }
  // Total size of the span.
  std::size_t Size() const { return bytes_.size(); }

  // Moves to an absolute position; false (position unchanged) beyond the end.
  bool Seek(std::size_t position) {
    if (position > bytes_.size()) return false;
    position_ = position;
    return true;
  }
  // Skips count bytes; false (position unchanged) when fewer are left.
  bool Skip(std::size_t count) {
    if (count > Remaining()) return false;
    position_ += count;
    return true;
  }

  // Reads one byte; false at the end.
  bool ReadU8(std::uint8_t& value) {
    if (Remaining() < 1) return false;
    value = bytes_[position_++];
    return true;
  }
  // Reads an unsigned 16-bit little-endian number; false when fewer than 2 bytes are left.
  bool ReadU16(std::uint16_t& value) {
    if (Remaining() < 2) return false;
    value = static_cast<std::uint16_t>(bytes_[position_] | (bytes_[position_ + 1] << 8));
    position_ += 2;
    return true;
  }
  // Reads an unsigned 32-bit little-endian number; false when fewer than 4 bytes are left.
  bool ReadU32(std::uint32_t& value) {
    if (Remaining() < 4) return false;
    value = static_cast<std::uint32_t>(bytes_[position_]) |
            static_cast<std::uint32_t>(bytes_[position_ + 1]) << 8 |
            static_cast<std::uint32_t>(bytes_[position_ + 2]) << 16 |
            static_cast<std::uint32_t>(bytes_[position_ + 3]) << 24;
    position_ += 4;
    return true;
  }
  // Reads a signed 16-bit little-endian number (two's complement); false when fewer than 2 bytes are left.
  bool ReadI16(std::int16_t& value) {
    std::uint16_t raw = 0;
    if (!ReadU16(raw)) return false;
    value = static_cast<std::int16_t>(raw);
    return true;
  }
  // Takes the next count bytes as a sub-span; false (position unchanged) when fewer are left.
  bool Take(std::size_t count, std::span<const std::uint8_t>& out) {
    if (count > Remaining()) return false;
    out = bytes_.subspan(position_, count);
    position_ += count;
    return true;
  }
  // Copies the next out.size() bytes into out; false (nothing copied) when fewer are left.
  bool ReadBytes(std::span<std::uint8_t> out) {
    std::span<const std::uint8_t> in;
    if (!Take(out.size(), in)) return false;
    for (std::size_t i = 0; i < in.size(); ++i) out[i] = in[i];
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

}  // namespace tilvo
