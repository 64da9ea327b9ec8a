#pragma once
// Drawing parameters taken from the front of a fuzz input, and the check that
// a decoder left the picture as large as it found it.

#include <cstddef>
#include <cstdint>
#include <span>

#include "artcontrol/render/pixel_buffer.h"

namespace tilvo::fuzz {

// Hands out the input's leading bytes as numbers; 0 once they run out.
class Params {
 public:
  Params(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t U8() { return at_ < size_ ? data_[at_++] : 0; }
  std::uint16_t U16() { return static_cast<std::uint16_t>(U8() | U8() << 8); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(U16()) | static_cast<std::uint32_t>(U16()) << 16; }
  std::int32_t S16() { return static_cast<std::int16_t>(U16()); }
  // A picture side of 0 to 128, a multiple of 8.
  std::int32_t Side() { return (U8() % 17) * 8; }
  // The input after the bytes handed out.
  std::span<const std::uint8_t> Rest() const { return {data_ + (at_ < size_ ? at_ : size_), size_ - (at_ < size_ ? at_ : size_)}; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// Traps when a decoder changed the picture's size.
inline void CheckPicture(const PixelBuffer& pixels, std::int32_t w, std::int32_t h) {
  if (pixels.w != w || pixels.h != h || pixels.bytes.size() != static_cast<std::size_t>(w) * h * 3) __builtin_trap();
}

}  // namespace tilvo::fuzz
