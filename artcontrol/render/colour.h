#pragma once
// The colour pipeline every decoder stores its pixels through: client colours
// (16-bit, red in bits 10-14, green 5-9, blue 0-4, bit 15 ignored) become
// colour values 0x00BBGGRR, optionally through a hue's colour ramp.

#include <cstdint>

#include "artcontrol/clientdata/hue_table.h"

namespace tilvo {

// ToColorRef: each 5-bit channel c becomes c * 255 / 31; red | green << 8 | blue << 16.
std::uint32_t ToColorRef(std::uint16_t colour);

// The ramp that hue number n recolours with, or null for none: n is 0, above
// 8 x N - 8 for N loaded blocks, or above 65535 (no hue number is).
const HueEntry* HueFor(const HueTable& hues, std::uint32_t n);

// The colour through a ramp: entry (red + green + blue) / 3 of the ramp; ToColorRef alone without one.
std::uint32_t ApplyRamp(std::uint16_t colour, const HueEntry* ramp);

// ApplyHue: ApplyRamp with the ramp of hue number n.
inline std::uint32_t ApplyHue(std::uint16_t colour, std::uint32_t n, const HueTable& hues) {
  return ApplyRamp(colour, HueFor(hues, n));
}

}  // namespace tilvo
