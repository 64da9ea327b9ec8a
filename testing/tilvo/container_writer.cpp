#include "testing/tilvo/container_writer.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <numeric>

#include "artcontrol/clientdata/container_hash.h"

namespace tilvo::mkclient {

namespace {

constexpr std::uint32_t kRecordsPerBlock = 100;
constexpr std::size_t kHeaderSize = 40;
constexpr std::uint32_t kEntryHeaderSize = 12;
constexpr std::uint32_t kLengthKey = 0x8E2C9A3D;
constexpr std::size_t kBlockSize = 196;
constexpr std::size_t kBlocksPerEntry = 4096;
constexpr std::uint32_t kAbsent = 0xFFFFFFFF;

void PutU64(Bytes& out, std::uint64_t value) {
  PutU32(out, static_cast<std::uint32_t>(value));
  PutU32(out, static_cast<std::uint32_t>(value >> 32));
}

std::uint32_t U32At(const Bytes& bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16) |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t U16At(const Bytes& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::string Name(const char* pattern, std::uint32_t n) {
  char name[64];
  std::snprintf(name, sizeof name, pattern, static_cast<unsigned>(n));
  return name;
}

// Calls visit(n, bytes, extra) for every record of an index file that names
// data, with the bytes of it the data file holds.
template <typename Visit>
void EachIndexed(const Bytes& index, const Bytes& data, Visit visit) {
  for (std::size_t at = 0; at + 12 <= index.size(); at += 12) {
    const std::uint32_t offset = U32At(index, at);
    const std::uint32_t length = U32At(index, at + 4);
    if (offset == kAbsent || length == 0 || offset >= data.size()) continue;
    const std::size_t end = std::min<std::size_t>(data.size(), std::size_t{offset} + length);
    visit(static_cast<std::uint32_t>(at / 12), Bytes(data.begin() + offset, data.begin() + static_cast<std::ptrdiff_t>(end)),
          U32At(index, at + 8));
  }
}

// Moves the index and data files of one kind out of the folder; false when the folder has none.
bool Take(ClientFolder& folder, const std::string& index, const std::string& data, Bytes& indexBytes, Bytes& dataBytes) {
  if (!folder.files.contains(data)) return false;
  indexBytes = folder.files[index];
  dataBytes = folder.files[data];
  folder.files.erase(index);
  folder.files.erase(data);
  return true;
}

// A multi.mul entry as a MultiCollection entry: id, count, then per component
// item, x, y, z, the low half of its flags and no extra words.
Bytes CollectionEntry(std::uint32_t id, const Bytes& bytes, int recordSize) {
  Bytes parts;
  std::uint32_t count = 0;
  for (std::size_t at = 0; at + static_cast<std::size_t>(recordSize) <= bytes.size(); at += static_cast<std::size_t>(recordSize)) {
    for (std::size_t field = 0; field < 4; ++field) PutU16(parts, U16At(bytes, at + 2 * field));
    PutU16(parts, U16At(bytes, at + 8));
    PutU32(parts, 0);
    ++count;
  }
  Bytes entry;
  PutU32(entry, id);
  PutU32(entry, count);
  entry.insert(entry.end(), parts.begin(), parts.end());
  return entry;
}

}  // namespace

std::uint64_t EntryKey(const std::string& name) { return ContainerNameHash(name); }

Bytes Deflate(const Bytes& bytes) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  Bytes out(size);
  compress2(out.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), Z_BEST_COMPRESSION);
  out.resize(size);
  return out;
}

Bytes RankCode(const Bytes& entry, std::size_t padding) {
  const std::size_t n = entry.size();
  std::array<std::uint32_t, 256> counts{};
  for (std::uint8_t b : entry) ++counts[b];
  // Where each byte's value comes next.
  std::vector<std::size_t> nextSame(n, SIZE_MAX);
  std::array<std::size_t, 256> later{};
  later.fill(SIZE_MAX);
  for (std::size_t i = n; i-- > 0;) {
    nextSame[i] = later[entry[i]];
    later[entry[i]] = i;
  }
  // The list holds the values still to come, in the order they come next.
  std::vector<std::uint8_t> list;
  std::array<std::size_t, 256> comesAt{};
  for (std::size_t i = 0; i < n; ++i) {
    if (later[entry[i]] == i) {
      list.push_back(entry[i]);
      comesAt[entry[i]] = i;
    }
  }
  std::array<std::uint8_t, 256> place{};
  for (std::size_t k = 0; k < list.size(); ++k) place[list[k]] = static_cast<std::uint8_t>(k);
  std::array<Bytes, 256> codes;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t v = list.front();
    list.erase(list.begin());
    if (nextSame[i] == SIZE_MAX) continue;
    comesAt[v] = nextSame[i];
    const auto k = std::count_if(list.begin(), list.end(), [&](std::uint8_t u) { return comesAt[u] < comesAt[v]; });
    list.insert(list.begin() + k, v);
    codes[v].push_back(static_cast<std::uint8_t>(k));
  }
  std::vector<std::uint8_t> order;
  for (unsigned v = 0; v < 256; ++v) {
    if (counts[v] != 0) order.push_back(static_cast<std::uint8_t>(v));
  }
  std::stable_sort(order.begin(), order.end(), [&](std::uint8_t a, std::uint8_t b) { return counts[a] > counts[b]; });
  Bytes plain;
  for (std::uint32_t count : counts) PutU32(plain, count);
  for (std::uint8_t v : order) {
    plain.push_back(place[v]);
    plain.insert(plain.end(), codes[v].begin(), codes[v].end());
  }
  Bytes block;
  PutU32(block, static_cast<std::uint32_t>(n) ^ kLengthKey);
  const Bytes coded = MoveToFrontCode(plain);
  block.insert(block.end(), coded.begin(), coded.end());
  block.insert(block.end(), padding, 0);
  return block;
}

Bytes MoveToFrontCode(const Bytes& plain) {
  std::array<std::uint8_t, 256> list{};
  std::iota(list.begin(), list.end(), std::uint8_t{0});
  Bytes coded;
  for (std::uint8_t b : plain) {
    const auto k = std::find(list.begin(), list.end(), b) - list.begin();
    coded.push_back(static_cast<std::uint8_t>(k));
    std::copy_backward(list.begin(), list.begin() + k, list.begin() + k + 1);
    list[0] = b;
  }
  return coded;
}

void ContainerWriter::Add(const std::string& name, const Bytes& entry, Storage storage) {
  switch (storage) {
    case Storage::kStored:
      entries_.push_back({name, entry, static_cast<std::uint32_t>(entry.size()), storage});
      return;
    case Storage::kZlib:
      entries_.push_back({name, Deflate(entry), static_cast<std::uint32_t>(entry.size()), storage});
      return;
    case Storage::kRankCoded: {
      const Bytes block = RankCode(entry);
      entries_.push_back({name, Deflate(block), static_cast<std::uint32_t>(block.size()), storage});
      return;
    }
  }
}

Bytes ContainerWriter::Build() const {
  Bytes out(kHeaderSize, 0);
  struct Record {
    std::uint64_t offset;
    const Entry* entry;
  };
  std::vector<Record> records;
  for (const Entry& entry : entries_) {
    records.push_back({out.size(), &entry});
    PutU16(out, 3);
    PutU16(out, 8);
    PutU64(out, 0x01C8BAD1F603C7DBull);
    out.insert(out.end(), entry.stored.begin(), entry.stored.end());
  }
  std::sort(records.begin(), records.end(),
            [](const Record& a, const Record& b) { return EntryKey(a.entry->name) < EntryKey(b.entry->name); });
  const std::size_t blocks = std::max<std::size_t>(1, (records.size() + kRecordsPerBlock - 1) / kRecordsPerBlock);
  const std::uint64_t firstBlock = out.size();
  for (std::size_t block = 0; block < blocks; ++block) {
    const std::uint64_t next = block + 1 < blocks ? out.size() + 12 + kRecordsPerBlock * 34 : 0;
    PutU32(out, kRecordsPerBlock);
    PutU64(out, next);
    for (std::size_t k = 0; k < kRecordsPerBlock; ++k) {
      const std::size_t r = block * kRecordsPerBlock + k;
      if (r >= records.size()) {
        out.insert(out.end(), 34, 0);  // an empty slot
        continue;
      }
      const Entry& entry = *records[r].entry;
      PutU64(out, records[r].offset);
      PutU32(out, kEntryHeaderSize);
      PutU32(out, static_cast<std::uint32_t>(entry.stored.size()));
      PutU32(out, entry.length);
      PutU64(out, EntryKey(entry.name));
      PutU32(out, static_cast<std::uint32_t>(adler32(1, entry.stored.data(), static_cast<uInt>(entry.stored.size()))));
      PutU16(out, static_cast<std::uint16_t>(entry.storage));
    }
  }
  Bytes header = {'M', 'Y', 'P', 0};
  PutU32(header, 5);
  PutU32(header, 0xFD23EC43);
  PutU64(header, firstBlock);
  PutU32(header, kRecordsPerBlock);
  PutU32(header, static_cast<std::uint32_t>(records.size()));
  std::copy(header.begin(), header.end(), out.begin());
  return out;
}

ClientFolder ContainerTwin(const ClientFolder& folder, int multiRecords) {
  ClientFolder twin = folder;
  Bytes index;
  Bytes data;
  if (Take(twin, "artidx.mul", "art.mul", index, data)) {
    ContainerWriter art;
    EachIndexed(index, data, [&](std::uint32_t n, const Bytes& bytes, std::uint32_t) {
      art.Add(Name("build/artlegacymul/%08u.tga", n), bytes, Storage::kStored);
    });
    twin.files["artLegacyMUL.uop"] = art.Build();
  }
  if (Take(twin, "gumpidx.mul", "gumpart.mul", index, data)) {
    ContainerWriter gumps;
    EachIndexed(index, data, [&](std::uint32_t n, const Bytes& bytes, std::uint32_t extra) {
      Bytes entry;
      PutU32(entry, extra >> 16);
      PutU32(entry, extra & 0xFFFF);
      entry.insert(entry.end(), bytes.begin(), bytes.end());
      // Gump 2 goes under the shorter name some shipped gumps have.
      gumps.Add(Name(n == 2 ? "build/gumpartlegacymul/%07u.tga" : "build/gumpartlegacymul/%08u.tga", n), entry,
                Storage::kRankCoded);
    });
    twin.files["gumpartLegacyMUL.uop"] = gumps.Build();
  }
  if (Take(twin, "multi.idx", "multi.mul", index, data)) {
    ContainerWriter multis;
    EachIndexed(index, data, [&](std::uint32_t n, const Bytes& bytes, std::uint32_t) {
      multis.Add(Name("build/multicollection/%06u.bin", n), CollectionEntry(n, bytes, multiRecords), Storage::kZlib);
    });
    twin.files["MultiCollection.uop"] = multis.Build();
  }
  for (int map : {0, 2}) {
    const std::string file = "map" + std::to_string(map) + ".mul";
    if (!twin.files.contains(file)) continue;
    Bytes blocks = twin.files[file];
    twin.files.erase(file);
    blocks.insert(blocks.end(), kBlockSize, 0);  // the empty block past the map's end
    ContainerWriter maps;
    for (std::size_t at = 0, entry = 0; at < blocks.size(); at += kBlocksPerEntry * kBlockSize, ++entry) {
      const std::size_t end = std::min(blocks.size(), at + kBlocksPerEntry * kBlockSize);
      maps.Add("build/map" + std::to_string(map) + Name("legacymul/%08u.dat", static_cast<std::uint32_t>(entry)),
               Bytes(blocks.begin() + static_cast<std::ptrdiff_t>(at), blocks.begin() + static_cast<std::ptrdiff_t>(end)),
               Storage::kStored);
    }
    twin.files["map" + std::to_string(map) + "LegacyMUL.uop"] = maps.Build();
  }
  return twin;
}

}  // namespace tilvo::mkclient
