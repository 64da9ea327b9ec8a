#pragma once
// PatchTable: the table at the start of the patch file "verdata.mul". The file
// begins with an unsigned 32-bit record count and that many 20-byte records:
//   0  file id  the slot number of the patched file (4 "art.mul", 32 "hues.mul", ...)
//   4  block    the entry (or block) number replaced in that file
//   8  offset   where the replacement data lies inside "verdata.mul"
//  12  length   bytes of replacement data
//  16  extra    file-specific value, as in an index record
// The table is read once, when the control is created, and never reloaded.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tilvo {

inline constexpr std::size_t kPatchEntrySize = 20;

// One record of the patch table.
struct PatchEntry {
  std::uint32_t fileId = 0;
  std::uint32_t block = 0;
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
  std::uint32_t extra = 0;
};

// The control's copy of the patch table, in file order; empty when the file is missing.
struct PatchTable {
  std::vector<PatchEntry> entries;
};

// Parses the patch table from the start of "verdata.mul". The count is
// honoured while the bytes last; a last record cut short is completed with
// zeros, and records wholly beyond the bytes are not made up (so a count the
// file cannot hold allocates nothing).
PatchTable ParsePatchTable(std::span<const std::uint8_t> bytes);

// LoadPatchTable: reads the table of the patch file at path; empty when it does not open.
PatchTable LoadPatchTable(const std::string& path);

// FindPatch: the position of the first record (in file order) with this file id and block, or -1.
std::int64_t FindPatch(const PatchTable& table, std::uint32_t fileId, std::uint32_t block);

}  // namespace tilvo
