#include "artcontrol/clientdata/diff_list.h"

#include <algorithm>

#include "artcontrol/clientdata/byte_reader.h"
#include "artcontrol/platform/file_access.h"

namespace tilvo {
namespace {

// The largest map has 0x6E100 blocks; a list far beyond that is no patch list,
// and reading it whole would only cost memory.
constexpr std::size_t kMaxDiffListBytes = 256u << 20;

}  // namespace

DiffList ParseDiffList(std::span<const std::uint8_t> bytes) {
  DiffList list;
  ByteReader reader(bytes);
  list.pairs.reserve(bytes.size() / 4);
  std::uint32_t block = 0;
  for (std::uint32_t position = 0; reader.ReadU32(block); ++position) {
    list.pairs.push_back({position, block});
  }
  // Sorting by block with positions kept in file order, then keeping the last
  // pair of each block, gives the same list as inserting the pairs one by one
  // with the later position replacing the earlier.
  std::stable_sort(list.pairs.begin(), list.pairs.end(),
                   [](const DiffPair& a, const DiffPair& b) { return a.block < b.block; });
  std::vector<DiffPair> unique;
  unique.reserve(list.pairs.size());
  for (const DiffPair& pair : list.pairs) {
    if (!unique.empty() && unique.back().block == pair.block) {
      unique.back() = pair;
    } else {
      unique.push_back(pair);
    }
  }
  list.pairs = std::move(unique);
  return list;
}

void LoadDiffList(const std::string& path, DiffList& list) {
  list.pairs.clear();
  std::vector<std::uint8_t> bytes;
  if (!platform::ReadWholeFile(path, kMaxDiffListBytes, bytes)) return;
  list = ParseDiffList(bytes);
}

std::int64_t FindDiffPosition(const DiffList& list, std::uint32_t block) {
  std::int64_t low = 0;
  std::int64_t high = static_cast<std::int64_t>(list.pairs.size()) - 1;
  while (low <= high) {
    const std::int64_t middle = (low + high) / 2;
    const DiffPair& pair = list.pairs[static_cast<std::size_t>(middle)];
    if (pair.block == block) return pair.position;
    if (pair.block < block) {
      low = middle + 1;
    } else {
      high = middle - 1;
    }
  }
  return -1;
}

}  // namespace tilvo
