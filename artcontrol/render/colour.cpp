#include "artcontrol/render/colour.h"

#include <array>

namespace tilvo {

namespace {

// c * 255 / 31 for every 5-bit channel value.
constexpr std::array<std::uint32_t, 32> kChannel = [] {
  std::array<std::uint32_t, 32> table{};
  for (std::uint32_t c = 0; c < 32; ++c) table[c] = c * 255 / 31;
  return table;
}();

std::uint32_t Red(std::uint16_t colour) { return (colour >> 10) & 0x1F; }
std::uint32_t Green(std::uint16_t colour) { return (colour >> 5) & 0x1F; }
std::uint32_t Blue(std::uint16_t colour) { return colour & 0x1F; }

}  // namespace

std::uint32_t ToColorRef(std::uint16_t colour) {
  return kChannel[Red(colour)] | kChannel[Green(colour)] << 8 | kChannel[Blue(colour)] << 16;
}

const HueEntry* HueFor(const HueTable& hues, std::uint32_t n) {
  if (n > 0xFFFF) return nullptr;
  return SelectHue(hues, static_cast<std::uint16_t>(n));
}

std::uint32_t ApplyRamp(std::uint16_t colour, const HueEntry* ramp) {
  if (ramp == nullptr) return ToColorRef(colour);
  std::uint32_t i = (Red(colour) + Green(colour) + Blue(colour)) / 3;
  return ToColorRef(ramp->colors[i]);
}

}  // namespace tilvo
