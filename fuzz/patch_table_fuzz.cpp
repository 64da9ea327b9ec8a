// The patch table of "verdata.mul": whatever the count says, the table holds
// no more records than the bytes start, and FindPatch gives the first match.

#include <cstdint>

#include "artcontrol/clientdata/patch_table.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tilvo;
  const PatchTable parsed = ParsePatchTable(std::span<const std::uint8_t>(data, size));
  if (size >= 4 && parsed.entries.size() > (size - 4 + kPatchEntrySize - 1) / kPatchEntrySize) __builtin_trap();
  const PatchTable loaded = LoadPatchTable(fuzz::WriteFile("verdata.mul", data, size));
  if (loaded.entries.size() != parsed.entries.size()) __builtin_trap();
  for (std::size_t i = 0; i < parsed.entries.size() && i < 64; ++i) {
    const PatchEntry& entry = parsed.entries[i];
    const std::int64_t found = FindPatch(parsed, entry.fileId, entry.block);
    if (found < 0 || found > static_cast<std::int64_t>(i)) __builtin_trap();
    const PatchEntry& first = parsed.entries[static_cast<std::size_t>(found)];
    if (first.fileId != entry.fileId || first.block != entry.block) __builtin_trap();
  }
  return 0;
}
