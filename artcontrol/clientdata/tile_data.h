#pragma once
// TileDataImage: a fixed image of the first 0xFD000 bytes of "tiledata.mul",
// read once when the control is created:
//   land tiles    at 0:       512 blocks × 836 bytes (4-byte header, 32 records of 26 bytes)
//   static items  at 428,032: 512 blocks × 1188 bytes (4-byte header, 32 records of 37 bytes)
// Only the height (byte 16 of a static record) is ever read.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tilvo {

inline constexpr std::size_t kTileDataImageSize = 0xFD000;
inline constexpr std::size_t kStaticSectionStart = 428032;
inline constexpr std::size_t kStaticBlockSize = 1188;
inline constexpr std::size_t kStaticRecordSize = 37;
inline constexpr std::size_t kStaticHeightOffset = 16;

// The image, held by value so heights are found by arithmetic alone; bytes the file did not supply read as zero.
struct TileDataImage {
  std::array<std::uint8_t, kTileDataImageSize> bytes{};
};

// Byte position of the height of static item t in the image (beyond the image for t above 16383).
std::size_t StaticHeightPosition(std::uint32_t t);

// The height of static item t; 0 for an item whose record lies beyond the image (t above 16383).
std::uint8_t StaticHeight(const TileDataImage& image, std::uint32_t t);

// LoadTileData: zeroes the image, then reads up to 0xFD000 bytes of the file at path into it; a missing file leaves it all zero.
void LoadTileData(const std::string& path, TileDataImage& image);

}  // namespace tilvo
