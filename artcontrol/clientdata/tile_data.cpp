#include "artcontrol/clientdata/tile_data.h"

#include <algorithm>
#include <vector>

#include "artcontrol/platform/file_access.h"

namespace tilvo {

std::size_t StaticHeightPosition(std::uint32_t t) {
  return kStaticSectionStart + (t / 32) * kStaticBlockSize + 4 + (t % 32) * kStaticRecordSize +
         kStaticHeightOffset;
}

std::uint8_t StaticHeight(const TileDataImage& image, std::uint32_t t) {
  const std::size_t position = StaticHeightPosition(t);
  return position < image.bytes.size() ? image.bytes[position] : std::uint8_t{0};
}

void LoadTileData(const std::string& path, TileDataImage& image) {
  image.bytes.fill(0);
  std::vector<std::uint8_t> bytes;
  if (!platform::ReadFileRange(path, 0, kTileDataImageSize, bytes)) return;
  std::copy(bytes.begin(), bytes.end(), image.bytes.begin());
}

}  // namespace tilvo
