#pragma once
// The tile data records of one land tile or one item, as "tiledata.mul" holds
// them. Clients store them in one of three layouts (see TileDataLayout); the
// fields are the same in all three, except that the flags are 64 bits wide in
// the newest.

#include <cstdint>
#include <string>

namespace tilvo {

// How a "tiledata.mul" is laid out, told by its exact size.
enum class TileDataLayout : std::uint8_t {
  kClassic,      // 1,036,288 bytes: 32-bit flags, 0x4000 items (also every file of another size)
  kClassicWide,  // 1,644,544 bytes: 32-bit flags, 0x8000 items
  kWideFlags,    // 3,188,736 bytes: 64-bit flags, 0x10000 items
};

// One land tile's record.
struct LandTileRecord {
  std::uint64_t flags = 0;
  std::uint16_t texture = 0;  // the texture stretched over the tile; 0 for none
  std::string name;           // up to 20 characters
  bool operator==(const LandTileRecord&) const = default;
};

// One item's record.
struct ItemTileRecord {
  std::uint64_t flags = 0;
  std::uint8_t weight = 0;          // 255: cannot be moved
  std::uint8_t quality = 0;         // the layer of a wearable, the light of a light source
  std::uint16_t miscData = 0;
  std::uint8_t unknown2 = 0;
  std::uint8_t quantity = 0;        // the class of a weapon or an armour
  std::uint16_t animation = 0;      // the body of the item's animation
  std::uint8_t unknown3 = 0;
  std::uint8_t hue = 0;
  std::uint8_t stackingOffset = 0;
  std::uint8_t value = 0;
  std::uint8_t height = 0;          // what a container holds, for a container
  std::string name;                 // up to 20 characters
  bool operator==(const ItemTileRecord&) const = default;
};

}  // namespace tilvo
