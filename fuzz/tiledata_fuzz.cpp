// "tiledata.mul" of any length: the image takes the file's first bytes and
// zeros after them, and heights are read only inside it.

#include <cstdint>
#include <memory>

#include "artcontrol/clientdata/tile_data.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tilvo;
  auto image = std::make_unique<TileDataImage>();
  LoadTileData(fuzz::WriteFile("tiledata.mul", data, size), *image);
  for (std::size_t i = 0; i + 4 <= size && i < 64; i += 4) {
    const std::uint32_t t = static_cast<std::uint32_t>(data[i] | (data[i + 1] << 8) | (data[i + 2] << 16)) |
                            (static_cast<std::uint32_t>(data[i + 3]) << 24);
    const std::size_t position = StaticHeightPosition(t);
    const std::uint8_t height = StaticHeight(*image, t);
    const std::uint8_t expected = position < size && position < kTileDataImageSize ? data[position] : 0;
    if (height != expected) __builtin_trap();
  }
  return 0;
}
