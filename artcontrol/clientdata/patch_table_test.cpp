#include "artcontrol/clientdata/patch_table.h"

#include <gtest/gtest.h>

#include "testing/temp_folder.h"
#include "testing/tilvo/synthetic_client.h"

namespace tilvo {
namespace {

using mkclient::Bytes;
using mkclient::PutU32;

// A table whose header says count and which holds the given records, then extraBytes of a cut record.
Bytes Table(std::uint32_t count, const std::vector<PatchEntry>& records, std::size_t extraBytes = 0) {
  Bytes out;
  PutU32(out, count);
  for (const PatchEntry& r : records) {
    PutU32(out, r.fileId);
    PutU32(out, r.block);
    PutU32(out, r.offset);
    PutU32(out, r.length);
    PutU32(out, r.extra);
  }
  for (std::size_t i = 0; i < extraBytes; ++i) out.push_back(static_cast<std::uint8_t>(0x11 * (i + 1)));
  return out;
}

const PatchEntry kA{4, 0x4003, 100, 20, 7};
const PatchEntry kB{32, 2, 200, 1220, 0};
const PatchEntry kC{4, 0x4003, 300, 30, 8};

struct ParseCase {
  const char* name;
  Bytes file;
  std::size_t records;
};

TEST(PatchTable, CountIsHonouredOnlyWhileTheBytesLast) {
  const ParseCase cases[] = {
      {"whole table", Table(3, {kA, kB, kC}), 3},
      {"count smaller than the records", Table(1, {kA, kB}), 1},
      {"count zero", Table(0, {kA}), 0},
      {"count larger than the file holds", Table(5, {kA, kB}), 2},
      {"huge count, tiny file", Table(0xFFFFFFFF, {kA}), 1},
      {"last record cut short", Table(3, {kA, kB}, 6), 3},
      {"no whole count", Bytes{1, 0, 0}, 0},
      {"empty file", Bytes{}, 0},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ParsePatchTable(c.file).entries.size(), c.records);
  }
}

TEST(PatchTable, ACutRecordReadsItsMissingFieldsAsZero) {
  const PatchTable table = ParsePatchTable(Table(2, {kA}, 6));
  ASSERT_EQ(table.entries.size(), 2u);
  EXPECT_EQ(table.entries[1].fileId, 0x44332211u);
  EXPECT_EQ(table.entries[1].block, 0x6655u);
  EXPECT_EQ(table.entries[1].offset, 0u);
  EXPECT_EQ(table.entries[1].extra, 0u);
}

TEST(PatchTable, FindPatchGivesTheFirstMatchInFileOrder) {
  const PatchTable table = ParsePatchTable(Table(3, {kA, kB, kC}));
  const struct {
    std::uint32_t fileId, block;
    std::int64_t position;
  } cases[] = {
      {4, 0x4003, 0}, {32, 2, 1}, {32, 0x4003, -1}, {4, 2, -1}, {5, 0x4003, -1}, {0, 0, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.block);
    EXPECT_EQ(FindPatch(table, c.fileId, c.block), c.position);
  }
  EXPECT_EQ(FindPatch(PatchTable{}, 4, 0x4003), -1);
}

TEST(PatchTable, LoadReadsTheFileAndAMissingFileGivesAnEmptyTable) {
  testing_support::TempFolder folder;
  const PatchTable table = LoadPatchTable(folder.Write("verdata.mul", Table(3, {kA, kB, kC})));
  ASSERT_EQ(table.entries.size(), 3u);
  EXPECT_EQ(table.entries[2].offset, 300u);
  EXPECT_EQ(table.entries[2].extra, 8u);
  EXPECT_TRUE(LoadPatchTable(folder.File("missing.mul")).entries.empty());
  EXPECT_TRUE(LoadPatchTable(folder.Write("huge.mul", Table(0xFFFFFFFF, {kA, kB}))).entries.size() == 2);
  EXPECT_TRUE(LoadPatchTable(folder.Write("short.mul", Bytes{7})).entries.empty());
}

}  // namespace
}  // namespace tilvo
