// "tiledata.mul" of any length: the layout follows the size (a size of no
// known layout reads the classic image, zeros after the file's bytes), and
// heights and whole records are read only inside the image.

#include <cstdint>

#include "artcontrol/clientdata/tile_data.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tilvo;
  TileDataImage image;
  LoadTileData(fuzz::WriteFile("tiledata.mul", data, size), image);
  for (std::size_t i = 0; i + 4 <= size && i < 64; i += 4) {
    const std::uint32_t t = static_cast<std::uint32_t>(data[i] | (data[i + 1] << 8) | (data[i + 2] << 16)) |
                            (static_cast<std::uint32_t>(data[i + 3]) << 24);
    const std::size_t position = StaticHeightPosition(image.layout, t);
    const std::uint8_t height = StaticHeight(image, t);
    const bool held = t < ItemTileCount(image.layout) && position < size && position < image.bytes.size();
    if (height != (held ? data[position] : 0)) __builtin_trap();
    if (ReadItemTile(image, t) && t >= ItemTileCount(image.layout)) __builtin_trap();
    if (ReadLandTile(image, t) && t >= kLandTileCount) __builtin_trap();
  }
  return 0;
}
