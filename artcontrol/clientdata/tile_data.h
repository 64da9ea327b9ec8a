#pragma once
// TileDataImage: "tiledata.mul", read once when the client is loaded. Its
// layout is told by its exact size:
//   1,036,288 bytes  classic:       0x4000 items, 32-bit flags
//   1,644,544 bytes  classic wide:  0x8000 items, 32-bit flags
//   3,188,736 bytes  wide flags:    0x10000 items, 64-bit flags
// Every layout begins with 512 land groups, then item groups; a group is a
// 4-byte header and 32 records:
//   land record  flags, texture (2), name (20)                            26 or 30 bytes
//   item record  flags, weight, quality, misc (2), unknown, quantity,
//                animation (2), unknown, hue, stacking offset, value,
//                height, name (20)                                        37 or 41 bytes
// so the height is byte 16 (or 20) of an item record. A file of any other
// size is read the classic way: its first 1,036,288 bytes, zeros where it is
// shorter.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tilvo/tile_records.h"

namespace tilvo {

// The image of the classic layout, and of a file of any unknown size.
inline constexpr std::size_t kTileDataImageSize = 0xFD000;
// Land tiles in every layout.
inline constexpr std::uint32_t kLandTileCount = 0x4000;

// The file as read: its layout and its bytes (exactly the layout's size; none when the file did not open).
struct TileDataImage {
  TileDataLayout layout = TileDataLayout::kClassic;
  std::vector<std::uint8_t> bytes;
};

// The layout of a file of that many bytes.
TileDataLayout TileDataLayoutOfSize(std::int64_t size);

// The number of items a layout holds (0x4000, 0x8000 or 0x10000).
std::uint32_t ItemTileCount(TileDataLayout layout);

// Byte position of the height of item t in a file of that layout (beyond it for t past the layout's items).
std::size_t StaticHeightPosition(TileDataLayout layout, std::uint32_t t);

// The height of item t; 0 for an item the layout does not hold or the file did not supply.
std::uint8_t StaticHeight(const TileDataImage& image, std::uint32_t t);

// The record of land tile t (0 to 0x3FFF); none past them or without a file.
std::optional<LandTileRecord> ReadLandTile(const TileDataImage& image, std::uint32_t t);
// The record of item t; none past the layout's items or without a file.
std::optional<ItemTileRecord> ReadItemTile(const TileDataImage& image, std::uint32_t t);

// LoadTileData: reads the file at path into the image with the layout its size gives; a missing file leaves it empty.
void LoadTileData(const std::string& path, TileDataImage& image);

}  // namespace tilvo
