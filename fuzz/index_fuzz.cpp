// Index records and LoadIndexedEntry over an arbitrary index file and data
// file (or patch file): the bytes handed out are always exactly the length
// the record names, and nothing is read outside the files.

#include <cstdint>
#include <cstring>

#include "artcontrol/clientdata/indexed_entry.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tilvo;
  if (size < 3) return 0;
  const std::uint16_t n = static_cast<std::uint16_t>(data[0] | (data[1] << 8)) % 64;
  const bool patched = (data[2] & 1) != 0;
  const fuzz::Split split = fuzz::SplitInput(data + 3, size - 3);
  const std::string index = fuzz::WriteFile("idx.mul", split.first, split.firstSize);
  const std::string other = fuzz::WriteFile("data.mul", split.second, split.secondSize);

  const std::span<const std::uint8_t> indexBytes(split.first, split.firstSize);
  const std::optional<IndexEntry> record = ParseIndexEntry(indexBytes, n);
  FileSession files;
  if (patched) {
    // The index file's bytes serve as the patch record; the other file is the patch file.
    PatchEntry patch;
    if (split.firstSize >= 8) {
      std::memcpy(&patch.offset, split.first, 4);
      std::memcpy(&patch.length, split.first + 4, 4);
    }
    const auto bytes = LoadIndexedEntry(files, n, other, index, index, &patch);
    if (bytes && bytes->size() != patch.length) __builtin_trap();
    if (bytes && static_cast<std::uint64_t>(patch.offset) + patch.length > split.secondSize) __builtin_trap();
    return 0;
  }
  const auto bytes = LoadIndexedEntry(files, n, other, index, other, nullptr);
  if (bytes) {
    if (!record || !IsPresent(*record) || bytes->size() != record->length) __builtin_trap();
    if (static_cast<std::uint64_t>(record->offset) + record->length > split.secondSize) __builtin_trap();
    if (std::memcmp(bytes->data(), split.second + record->offset, bytes->size()) != 0) __builtin_trap();
  } else if (record && IsPresent(*record) &&
             static_cast<std::uint64_t>(record->offset) + record->length <= split.secondSize) {
    __builtin_trap();
  }
  return 0;
}
