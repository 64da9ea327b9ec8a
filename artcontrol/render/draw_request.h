#pragma once
// The record that asks for one object to be drawn into the picture.

#include <cstdint>

namespace tilvo {

// Eleven 32-bit fields, passed by value, in this order.
struct DrawRequest {
  std::int32_t type = 0;      // art type code, compared as a 16-bit value
  std::int32_t left = 0;      // drawing bounds inside the picture; paint passes 0, 0, w, h
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  std::uint32_t index = 0;    // entry number in the type's file, already translated
  std::int32_t xOffset = 0;  // extra shift; only the low 16 bits count, as a signed number
  std::int32_t yOffset = 0;
  std::int32_t spare = 0;     // always 0
  std::uint32_t hue = 0;      // hue number for the art entry path
  std::uint32_t flags = 0;    // the DrawFlags bits that apply; nested requests pass 0
};

// The bounds' width W and height H.
inline std::int64_t BoundsWidth(const DrawRequest& r) { return std::int64_t{r.right} - r.left; }
inline std::int64_t BoundsHeight(const DrawRequest& r) { return std::int64_t{r.bottom} - r.top; }
// The request's extra shifts: the low 16 bits as a signed number.
inline std::int64_t RequestXShift(const DrawRequest& r) { return static_cast<std::int16_t>(r.xOffset & 0xFFFF); }
inline std::int64_t RequestYShift(const DrawRequest& r) { return static_cast<std::int16_t>(r.yOffset & 0xFFFF); }

// DrawFlags bit 0: draw the backdrop box behind item art.
inline constexpr std::uint32_t kFlagBackdrop = 0x0001;

}  // namespace tilvo
