#pragma once
// DiffList: one per-facet patch list ("mapdifl0.mul" and its kin). The file is
// a plain sequence of unsigned 32-bit block numbers; the value at position k
// says that record k of the matching patch data file replaces that block.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tilvo {

// One record of a patch list: the block and the position that replaces it.
struct DiffPair {
  std::uint32_t position = 0;
  std::uint32_t block = 0;
};

// A patch list sorted by block (ascending, unsigned), each block once; where
// the file names a block twice the later position is the one kept.
struct DiffList {
  std::vector<DiffPair> pairs;
};

// Builds the list from a patch list file's bytes; a trailing fragment of fewer than 4 bytes is ignored.
DiffList ParseDiffList(std::span<const std::uint8_t> bytes);

// Refills list from the file at path; a file that does not open (or is larger than 256 MiB) leaves it empty.
void LoadDiffList(const std::string& path, DiffList& list);

// The position stored for block, or -1 when the list does not name it.
std::int64_t FindDiffPosition(const DiffList& list, std::uint32_t block);

}  // namespace tilvo
