#pragma once
// The colour pipeline every decoder stores its pixels through: client colours
// (16-bit, red in bits 10-14, green 5-9, blue 0-4, bit 15 ignored) become
// colour values 0x00BBGGRR, optionally through a hue's colour ramp. The
// per-pixel steps are defined here so that decoders can inline them.

#include <array>
#include <cstdint>

#include "artcontrol/clientdata/hue_table.h"

namespace tilvo {

namespace colour_detail {
// c * 255 / 31 for every 5-bit channel value.
inline constexpr std::array<std::uint32_t, 32> kChannel = [] {
  std::array<std::uint32_t, 32> table{};
  for (std::uint32_t c = 0; c < 32; ++c) table[c] = c * 255 / 31;
  return table;
}();
inline std::uint32_t Red(std::uint16_t colour) { return (colour >> 10) & 0x1F; }
inline std::uint32_t Green(std::uint16_t colour) { return (colour >> 5) & 0x1F; }
inline std::uint32_t Blue(std::uint16_t colour) { return colour & 0x1F; }
}  // namespace colour_detail

// ToColorRef: each 5-bit channel c becomes c * 255 / 31; red | green << 8 | blue << 16.
inline std::uint32_t ToColorRef(std::uint16_t colour) {
  using namespace colour_detail;
  return kChannel[Red(colour)] | kChannel[Green(colour)] << 8 | kChannel[Blue(colour)] << 16;
}

// The ramp that hue number n recolours with, or null for none: n is 0, above
// 8 x N - 8 for N loaded blocks, or above 65535 (no hue number is).
const HueEntry* HueFor(const HueTable& hues, std::uint32_t n);

// The entry of a hue's ramp that recolours a colour: (red + green + blue) / 3, 0 to 31.
inline std::uint32_t Shade(std::uint16_t colour) {
  using namespace colour_detail;
  return (Red(colour) + Green(colour) + Blue(colour)) / 3;
}

// The colour through a ramp: its Shade's entry of the ramp; ToColorRef alone without one.
inline std::uint32_t ApplyRamp(std::uint16_t colour, const HueEntry* ramp) {
  if (ramp == nullptr) return ToColorRef(colour);
  return ToColorRef(ramp->colors[Shade(colour)]);
}

// ApplyHue: ApplyRamp with the ramp of hue number n.
inline std::uint32_t ApplyHue(std::uint16_t colour, std::uint32_t n, const HueTable& hues) {
  return ApplyRamp(colour, HueFor(hues, n));
}

}  // namespace tilvo
