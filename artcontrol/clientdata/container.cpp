#include "artcontrol/clientdata/container.h"

#include <algorithm>
#include <array>
#include <optional>
#include <unordered_set>
#include <utility>

#include "artcontrol/clientdata/byte_reader.h"
#include "artcontrol/clientdata/container_hash.h"

namespace tilvo {

namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {'M', 'Y', 'P', 0};
constexpr std::size_t kHeaderSize = 28;
constexpr std::size_t kFirstBlockAt = 12;
constexpr std::size_t kBlockHeaderSize = 12;
constexpr std::size_t kRecordSize = 34;

// One table record, or none for an empty slot or one that points outside the file.
std::optional<std::pair<std::uint64_t, ContainerRecord>> ParseRecord(ByteReader& reader, std::uint64_t fileSize) {
  std::uint32_t offsetLow = 0;
  std::uint32_t offsetHigh = 0;
  std::uint32_t headerLength = 0;
  std::uint32_t stored = 0;
  std::uint32_t decompressed = 0;
  std::uint32_t keyLow = 0;
  std::uint32_t keyHigh = 0;
  std::uint32_t checksum = 0;
  std::uint16_t compression = 0;
  reader.ReadU32(offsetLow);
  reader.ReadU32(offsetHigh);
  reader.ReadU32(headerLength);
  reader.ReadU32(stored);
  reader.ReadU32(decompressed);
  reader.ReadU32(keyLow);
  reader.ReadU32(keyHigh);
  reader.ReadU32(checksum);
  reader.ReadU16(compression);
  const std::uint64_t offset = std::uint64_t{offsetHigh} << 32 | offsetLow;
  // Signed fields that are negative, and entries that reach past the end, give nothing.
  if (offset == 0 || offset >= fileSize || headerLength > 0x7FFFFFFF || stored > 0x7FFFFFFF ||
      decompressed > 0x7FFFFFFF) {
    return std::nullopt;
  }
  const std::uint64_t start = offset + headerLength;
  if (start > fileSize || stored > fileSize - start) return std::nullopt;
  return std::pair(std::uint64_t{keyHigh} << 32 | keyLow, ContainerRecord{start, stored, decompressed, compression});
}

}  // namespace

bool IsContainerHead(std::span<const std::uint8_t> head) {
  return head.size() >= kMagic.size() && std::equal(kMagic.begin(), kMagic.end(), head.begin());
}

ContainerTable ReadContainerTable(const platform::ReadOnlyFile& file, std::int64_t size) {
  ContainerTable table;
  if (size < static_cast<std::int64_t>(kHeaderSize)) return table;
  const auto fileSize = static_cast<std::uint64_t>(size);
  std::vector<std::uint8_t> bytes;
  if (!platform::ReadRange(file, size, 0, kHeaderSize, bytes) || !IsContainerHead(bytes)) return table;
  ByteReader header(bytes);
  header.Seek(kFirstBlockAt);
  std::uint32_t low = 0;
  std::uint32_t high = 0;
  header.ReadU32(low);
  header.ReadU32(high);
  std::uint64_t block = std::uint64_t{high} << 32 | low;
  // A chain that comes back to a block it has passed would never end.
  std::unordered_set<std::uint64_t> visited;
  while (block != 0 && block < fileSize && visited.insert(block).second) {
    if (!platform::ReadRange(file, size, block, kBlockHeaderSize, bytes) || bytes.size() < kBlockHeaderSize) break;
    ByteReader blockHeader(bytes);
    std::uint32_t count = 0;
    blockHeader.ReadU32(count);
    blockHeader.ReadU32(low);
    blockHeader.ReadU32(high);
    const std::uint64_t next = std::uint64_t{high} << 32 | low;
    // A count that is negative or larger than the file holds reads the records that are there.
    const std::uint64_t room = (fileSize - block - kBlockHeaderSize) / kRecordSize;
    const std::uint64_t records = count > 0x7FFFFFFF ? 0 : std::min<std::uint64_t>(count, room);
    if (!platform::ReadRange(file, size, block + kBlockHeaderSize, static_cast<std::size_t>(records * kRecordSize),
                             bytes)) {
      break;
    }
    ByteReader reader(bytes);
    while (reader.Remaining() >= kRecordSize) {
      if (const auto record = ParseRecord(reader, fileSize)) table.records.insert(*record);
    }
    block = next;
  }
  return table;
}

const ContainerRecord* FindContainerEntry(const ContainerTable& table, std::string_view name) {
  const auto found = table.records.find(ContainerNameHash(name));
  return found != table.records.end() ? &found->second : nullptr;
}

const ContainerTable& ContainerCache::TableOf(const std::string& path, const platform::ReadOnlyFile& file,
                                              std::int64_t size) {
  const std::int64_t modified = file.ModifiedTime();
  for (const std::unique_ptr<Cached>& cached : tables_) {
    if (cached->path != path) continue;
    if (cached->size != size || cached->modified != modified) {
      cached->table = ReadContainerTable(file, size);
      cached->size = size;
      cached->modified = modified;
    }
    return cached->table;
  }
  tables_.push_back(std::make_unique<Cached>(Cached{path, size, modified, ReadContainerTable(file, size)}));
  return tables_.back()->table;
}

}  // namespace tilvo
