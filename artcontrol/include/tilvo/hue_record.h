#pragma once
// One hue of the client's "hues.mul": the colour ramp that recolours art, and
// the name the file stores beside it.

#include <array>
#include <cstdint>
#include <string>

namespace tilvo {

struct HueRecord {
  std::array<std::uint32_t, 32> colors{};  // the ramp as colour values 0x00BBGGRR, darkest shade first
  std::uint16_t tableStart = 0;           // the two words the file keeps before the name
  std::uint16_t tableEnd = 0;
  std::string name;                       // up to 20 characters
  bool operator==(const HueRecord&) const = default;
};

}  // namespace tilvo
