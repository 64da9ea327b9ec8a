#include "artcontrol/clientdata/container.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "artcontrol/clientdata/container_codec.h"
#include "artcontrol/clientdata/container_hash.h"
#include "artcontrol/clientdata/file_session.h"
#include "testing/temp_folder.h"
#include "testing/tilvo/container_writer.h"

namespace tilvo {
namespace {

using mkclient::Bytes;

TEST(Container, NamesHashToThePublishedKeys) {
  const struct {
    const char* name;
    std::uint64_t key;
  } cases[] = {
      {"build/multicollection/housing.bin", 0x126D1E99DDEDEE0A},
      {"build/map4legacymul/00000000.dat", 0xDEA39C8655BA717C},
      {"build/gumpartlegacymul/0009834.tga", 0x906142EFE9FDB38A},
      {"BUILD/Map4LegacyMUL/00000000.dat", 0xDEA39C8655BA717C},  // the name is taken in lower case
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ContainerNameHash(c.name), c.key);
  }
}

// The entry 7, 9, 7, 7 rank coded by hand. Counts: 7 three times, 9 once, so
// 7's run comes first: its place 0 in the starting list [7, 9], then its
// codes 1 (after the first 7, the 9 comes before the next 7) and 0 (the next
// byte is 7 again); then 9's run, its place 1. Ranks: 0 1 0 1.
Bytes HandPlain() {
  Bytes plain(1024, 0);
  plain[7 * 4] = 3;
  plain[9 * 4] = 1;
  plain.insert(plain.end(), {0, 1, 0, 1});
  return plain;
}

// The same after move-to-front coding, worked by hand: the 3 of count 7 is
// place 3 of [0 1 2 3 ...], the 0 after it place 1 of [3 0 1 2 ...]; the 1 of
// count 9 is place 2 of [0 3 1 2 ...] and its 0 place 1 of [1 0 3 ...]; the
// ranks then alternate between 0 and 1 at places 0, 1, 1, 1.
Bytes HandBlock(std::uint32_t lengthWord = 4 ^ 0x8E2C9A3D, std::size_t padding = 3) {
  Bytes coded(1028, 0);
  coded[28] = 3;
  coded[29] = 1;
  coded[36] = 2;
  coded[37] = 1;
  coded[1025] = 1;
  coded[1026] = 1;
  coded[1027] = 1;
  Bytes block;
  mkclient::PutU32(block, lengthWord);
  block.insert(block.end(), coded.begin(), coded.end());
  block.insert(block.end(), padding, 0xAA);
  return block;
}

TEST(Container, ARankCodedBlockWorkedByHandDecodes) {
  const Bytes block = HandBlock();
  EXPECT_EQ(mkclient::MoveToFrontCode(HandPlain()), Bytes(block.begin() + 4, block.end() - 3));
  EXPECT_EQ(DecodeRankCoding(HandBlock()), (Bytes{7, 9, 7, 7}));
  // The last byte of the ranks is decoded like the others, padding or not.
  EXPECT_EQ(DecodeRankCoding(HandBlock(4 ^ 0x8E2C9A3D, 0)), (Bytes{7, 9, 7, 7}));
}

TEST(Container, AnInconsistentRankCodedBlockGivesNothing) {
  const auto withPlain = [](const std::function<void(Bytes&)>& edit) {
    Bytes plain = HandPlain();
    edit(plain);
    Bytes block;
    mkclient::PutU32(block, static_cast<std::uint32_t>(plain.size() - 1024) ^ 0x8E2C9A3D);
    const Bytes coded = mkclient::MoveToFrontCode(plain);
    block.insert(block.end(), coded.begin(), coded.end());
    return block;
  };
  const Bytes whole = HandBlock();
  const struct {
    const char* name;
    Bytes block;
  } cases[] = {
      {"a length word the counts disagree with", HandBlock(5 ^ 0x8E2C9A3D, 1)},
      {"a length word past the block", HandBlock(6 ^ 0x8E2C9A3D, 1)},
      {"a block without its count table", Bytes(whole.begin(), whole.begin() + 1000)},
      {"a place outside the list", withPlain([](Bytes& p) { p[1024] = 2; })},
      {"two values in one place", withPlain([](Bytes& p) { p[1027] = 0; })},
      {"a code outside the list", withPlain([](Bytes& p) { p[1025] = 2; })},
      {"a negative count", withPlain([](Bytes& p) { p[7 * 4 + 3] = 0x80; })},
      {"no bytes", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(DecodeRankCoding(c.block));
  }
}

TEST(Container, EntriesDecodeByTheirCompressionWord) {
  Bytes entry;
  for (int i = 0; i < 3000; ++i) entry.push_back(static_cast<std::uint8_t>((i * i) % 251));
  const Bytes deflated = mkclient::Deflate(entry);
  const Bytes block = mkclient::RankCode(entry);
  const Bytes coded = mkclient::Deflate(block);
  Bytes damaged = deflated;
  damaged[damaged.size() / 2] ^= 0x55;
  const auto size = static_cast<std::uint32_t>(entry.size());
  const auto blockSize = static_cast<std::uint32_t>(block.size());
  const struct {
    const char* name;
    std::uint16_t compression;
    const Bytes& stored;
    std::uint32_t length;
    bool decodes;
  } cases[] = {
      {"stored", kStoredEntry, entry, 0, true},
      {"zlib", kZlibEntry, deflated, size, true},
      {"zlib, a length one short", kZlibEntry, deflated, size - 1, false},
      {"zlib, a length one long", kZlibEntry, deflated, size + 1, false},
      {"zlib, a length no stream could give", kZlibEntry, deflated, 0x7FFFFFFF, false},
      {"zlib, damaged", kZlibEntry, damaged, size, false},
      {"rank coded", kRankCodedEntry, coded, blockSize, true},
      {"rank coded, the entry's length instead of the block's", kRankCodedEntry, coded, size, false},
      {"rank coded without zlib", kRankCodedEntry, block, blockSize, false},
      {"an unknown compression", 2, deflated, size, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<Bytes> decoded = DecodeContainerEntry(c.compression, c.stored, c.length);
    ASSERT_EQ(decoded.has_value(), c.decodes);
    if (c.decodes) {
      EXPECT_EQ(*decoded, entry);
    }
  }
}

// A container of three entries, and where the fields of its records lie.
struct Fixture {
  Bytes file;
  std::uint64_t Get(std::size_t at, int width) const {
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = value << 8 | file[at + static_cast<std::size_t>(i)];
    return value;
  }
  void Put(std::size_t at, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) file[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  std::size_t Block() const { return static_cast<std::size_t>(Get(12, 8)); }
  // Where the table record of an entry lies.
  std::size_t RecordOf(const std::string& name) const {
    for (std::size_t at = Block() + 12; at + 34 <= file.size(); at += 34) {
      if (Get(at + 20, 8) == mkclient::EntryKey(name)) return at;
    }
    return 0;
  }
  // Where an entry's stored bytes end.
  std::size_t EndOf(const std::string& name) const {
    const std::size_t record = RecordOf(name);
    return static_cast<std::size_t>(Get(record, 8) + Get(record + 8, 4) + Get(record + 12, 4));
  }
};

const std::vector<std::pair<std::string, Bytes>>& Entries() {
  static const std::vector<std::pair<std::string, Bytes>> entries = {
      {"build/test/stored.dat", Bytes(300, 0x11)},
      {"build/test/zlib.dat", Bytes(500, 0x22)},
      {"build/test/ranked.dat", {1, 2, 3, 2, 1, 7, 7, 7}},
  };
  return entries;
}

Fixture Container() {
  mkclient::ContainerWriter writer;
  writer.Add(Entries()[0].first, Entries()[0].second, mkclient::Storage::kStored);
  writer.Add(Entries()[1].first, Entries()[1].second, mkclient::Storage::kZlib);
  writer.Add(Entries()[2].first, Entries()[2].second, mkclient::Storage::kRankCoded);
  return {writer.Build()};
}

TEST(Container, TheTableGivesEveryEntryItCanAndNoOther) {
  const Fixture whole = Container();
  const std::string stored = Entries()[0].first;
  const std::string zlib = Entries()[1].first;
  const std::string ranked = Entries()[2].first;
  const struct {
    const char* name;
    std::function<void(Fixture&)> damage;
    std::vector<std::string> lost;
  } cases[] = {
      {"whole", [](Fixture&) {}, {}},
      {"cut short in its table", [](Fixture& f) { f.file.resize(f.Block() + 12 + 33); }, {stored, zlib, ranked}},
      {"cut short in its header", [](Fixture& f) { f.file.resize(20); }, {stored, zlib, ranked}},
      {"a chain that loops", [](Fixture& f) { f.Put(f.Block() + 4, f.Block(), 8); }, {}},
      {"a first block past the end", [](Fixture& f) { f.Put(12, f.file.size() + 5, 8); }, {stored, zlib, ranked}},
      {"an entry past the end", [&](Fixture& f) { f.Put(f.RecordOf(zlib), f.file.size(), 8); }, {zlib}},
      {"a stored length past the end", [&](Fixture& f) { f.Put(f.RecordOf(stored) + 12, f.file.size(), 4); }, {stored}},
      {"a negative header length", [&](Fixture& f) { f.Put(f.RecordOf(stored) + 8, 0xFFFFFFF0, 4); }, {stored}},
      {"a wrong key", [&](Fixture& f) { f.file[f.RecordOf(ranked) + 20] ^= 1; }, {ranked}},
      {"a lying decompressed length", [&](Fixture& f) { f.Put(f.RecordOf(zlib) + 16, 501, 4); }, {zlib}},
      {"bad zlib", [&](Fixture& f) { f.file[f.EndOf(zlib) - 1] ^= 0xFF; }, {zlib}},
      {"bad rank coding", [&](Fixture& f) { f.file[f.EndOf(ranked) - 1] ^= 0xFF; }, {ranked}},
      {"a negative record count", [](Fixture& f) { f.Put(f.Block(), 0xFFFFFFFF, 4); }, {stored, zlib, ranked}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture damaged = whole;
    c.damage(damaged);
    testing_support::TempFolder folder;
    const std::string path = folder.Write("test.uop", damaged.file);
    FileSession session;
    const ContainerTable* table = session.Container(path);
    ASSERT_NE(table, nullptr);
    for (const auto& [name, bytes] : Entries()) {
      const bool lost = std::find(c.lost.begin(), c.lost.end(), name) != c.lost.end();
      const ContainerRecord* record = FindContainerEntry(*table, name);
      const std::optional<Bytes> entry = record ? session.ContainerEntry(path, *record) : std::nullopt;
      EXPECT_EQ(entry, lost ? std::nullopt : std::optional<Bytes>(bytes)) << name;
    }
  }
}

}  // namespace
}  // namespace tilvo
