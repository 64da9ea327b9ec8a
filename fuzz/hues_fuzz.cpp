// "hues.mul" with hue patches from an arbitrary "verdata.mul": patches land
// only inside the table, and a hue is selected exactly when 1 <= h <= 8N - 8.

#include <cstdint>

#include "artcontrol/clientdata/hue_table.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tilvo;
  const fuzz::Split split = fuzz::SplitInput(data, size);
  const std::string hues = fuzz::WriteFile("hues.mul", split.first, split.firstSize);
  const std::string verdata = fuzz::WriteFile("verdata.mul", split.second, split.secondSize);
  const HueTable table = LoadHueTable(hues, verdata, LoadPatchTable(verdata));
  const std::size_t blocks = (split.firstSize + kHueBlockSize - 1) / kHueBlockSize;
  if (table.blocks.size() != blocks) __builtin_trap();
  const std::int64_t bound = 8 * static_cast<std::int64_t>(blocks) - 8;
  for (std::uint32_t h : {0u, 1u, 7u, 8u, 9u, 16u, 17u, 100u, 0xFFFFu}) {
    const HueEntry* entry = SelectHue(table, static_cast<std::uint16_t>(h));
    const bool expected = h != 0 && static_cast<std::int64_t>(h) <= bound;
    if ((entry != nullptr) != expected) __builtin_trap();
    if (entry) {
      volatile std::uint16_t last = entry->colors[31];
      (void)last;
    }
  }
  return 0;
}
