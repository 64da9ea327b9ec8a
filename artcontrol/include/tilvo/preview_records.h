#pragma once
// The records a host fills for the map preview: the items it places on the
// map, and the statics of the map it wants left out. The control keeps them
// in two lists, slot by slot, and the map blocks draw or hide them.

#include <cstdint>

namespace tilvo {

// An item that the host places on the map preview.
struct PreviewItem {
  std::uint16_t id = 0;    // item number
  std::uint8_t x = 0;      // position within the block
  std::uint8_t y = 0;
  std::uint8_t z = 0;      // the low 8 bits of the altitude
  std::uint16_t color = 0; // hue number
  std::int32_t block = 0;  // map block number
  bool operator==(const PreviewItem&) const = default;
};

// A static of the map that the host wants left out of the preview.
struct HiddenStatic {
  std::uint16_t id = 0;
  std::uint8_t x = 0;
  std::uint8_t y = 0;
  std::uint8_t z = 0;
  std::uint16_t color = 0;
  std::int32_t block = 0;
  bool operator==(const HiddenStatic&) const = default;
};

}  // namespace tilvo
