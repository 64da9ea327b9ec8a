// Patch lists: the list is sorted by block with each block once, and every
// block maps to the last position that named it.

#include <cstdint>

#include "artcontrol/clientdata/byte_reader.h"
#include "artcontrol/clientdata/diff_list.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tilvo;
  DiffList list;
  LoadDiffList(fuzz::WriteFile("mapdifl0.mul", data, size), list);
  for (std::size_t i = 1; i < list.pairs.size(); ++i) {
    if (list.pairs[i - 1].block >= list.pairs[i].block) __builtin_trap();
  }
  ByteReader reader(std::span<const std::uint8_t>(data, size));
  std::uint32_t block = 0;
  for (std::uint32_t position = 0; reader.ReadU32(block); ++position) {
    const std::int64_t found = FindDiffPosition(list, block);
    if (found < position) __builtin_trap();
  }
  return 0;
}
