#include "artcontrol/clientdata/indexed_entry.h"

#include <gtest/gtest.h>

#include "testing/temp_folder.h"
#include "testing/tilvo/synthetic_client.h"

namespace tilvo {
namespace {

using mkclient::Bytes;

const Bytes kEntry = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
const Bytes kPatched = {0xA, 0xB, 0xC};

// An index whose record 2 names kEntry and whose other records are damaged in the ways below.
class IndexedEntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mkclient::IndexedFiles files;
    files.Set(0, Bytes{0xEE});  // keeps kEntry off offset 0
    files.Set(2, kEntry, 99);
    files.SetRecord(3, 0xFFFFFFFF, 10);   // absent, non-zero length
    files.SetRecord(4, 1, 0);             // valid offset, length 0
    files.SetRecord(5, 5, 100);           // runs past the data file
    files.SetRecord(6, 1000, 4);          // starts past the data file
    files.SetRecord(7, 1, 0x80000000);    // implausible length
    files.SetRecord(8, 0xFFFFFFFE, 0xFFFFFFFF);
    files.SetRecord(9, 1, 10);            // ends exactly at the data file's end
    index_ = files.Index();
    data_ = files.Data();
    indexPath_ = folder_.Write("idx.mul", index_);
    dataPath_ = folder_.Write("data.mul", data_);
    mkclient::PatchFile patches;
    patches.Add(4, 2, kPatched);
    patchPath_ = folder_.Write("verdata.mul", patches.Build());
  }

  testing_support::TempFolder folder_;
  Bytes index_, data_;
  std::string indexPath_, dataPath_, patchPath_;
  FileSession files_;
};

TEST_F(IndexedEntryTest, EntriesThatAreAbsentOrDamagedGiveNoData) {
  const struct {
    const char* name;
    std::uint16_t n;
    bool present;
  } cases[] = {
      {"valid record", 2, true},
      {"offset 0xFFFFFFFF with a length", 3, false},
      {"length 0", 4, false},
      {"runs past the data file", 5, false},
      {"starts past the data file", 6, false},
      {"high-bit length", 7, false},
      {"both fields at the top", 8, false},
      {"ends exactly at the end of the data", 9, true},
      {"record beyond the index file", 10, false},
      {"last entry number", 0xFFFF, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto bytes = LoadIndexedEntry(files_, c.n, patchPath_, indexPath_, dataPath_, nullptr);
    EXPECT_EQ(bytes.has_value(), c.present);
  }
  EXPECT_EQ(*LoadIndexedEntry(files_, 2, patchPath_, indexPath_, dataPath_, nullptr), kEntry);
}

TEST_F(IndexedEntryTest, APatchRecordTakesPrecedenceAndLeavesTheBaseFilesAlone) {
  const PatchTable table = LoadPatchTable(patchPath_);
  ASSERT_EQ(table.entries.size(), 1u);
  const PatchEntry& patch = table.entries[0];
  EXPECT_EQ(*LoadIndexedEntry(files_, 2, patchPath_, indexPath_, dataPath_, &patch), kPatched);
  // The index and data files are not needed for a patched entry.
  EXPECT_EQ(*LoadIndexedEntry(files_, 2, patchPath_, folder_.File("none"), folder_.File("none"), &patch), kPatched);

  const struct {
    const char* name;
    PatchEntry patch;
    std::string path;
  } damaged[] = {
      {"patch file missing", patch, folder_.File("missing.mul")},
      {"length 0", {4, 2, patch.offset, 0, 0}, patchPath_},
      {"runs past the patch file", {4, 2, patch.offset, 4, 0}, patchPath_},
      {"starts past the patch file", {4, 2, 0x7FFFFFFF, 3, 0}, patchPath_},
      {"implausible length", {4, 2, 0, 0xFFFFFFFF, 0}, patchPath_},
  };
  for (const auto& c : damaged) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(LoadIndexedEntry(files_, 2, c.path, indexPath_, dataPath_, &c.patch).has_value());
  }
}

TEST_F(IndexedEntryTest, MissingIndexOrDataFileGivesNoData) {
  EXPECT_FALSE(LoadIndexedEntry(files_, 2, patchPath_, folder_.File("missing"), dataPath_, nullptr).has_value());
  EXPECT_FALSE(LoadIndexedEntry(files_, 2, patchPath_, indexPath_, folder_.File("missing"), nullptr).has_value());
  EXPECT_FALSE(LoadIndexedEntry(files_, 2, patchPath_, "", "", nullptr).has_value());
}

TEST_F(IndexedEntryTest, RecordsAreReadAtNTimesTwelve) {
  const auto record = ReadIndexEntry(files_, indexPath_, 2);
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->offset, 1u);
  EXPECT_EQ(record->length, kEntry.size());
  EXPECT_EQ(record->extra, 99u);
  EXPECT_TRUE(IsPresent(*record));
  EXPECT_FALSE(ReadIndexEntry(files_, indexPath_, 10).has_value());
  EXPECT_FALSE(ReadIndexEntry(files_, indexPath_, 0xFFFFFFFF).has_value());

  // In memory: a record cut short at the end is no record.
  EXPECT_EQ(ParseIndexEntry(index_, 9)->length, 10u);
  const Bytes cut(index_.begin(), index_.end() - 1);
  EXPECT_FALSE(ParseIndexEntry(cut, 9).has_value());
  EXPECT_TRUE(ParseIndexEntry(cut, 8).has_value());
  EXPECT_FALSE(ParseIndexEntry(index_, 0xFFFFFFFF).has_value());
  EXPECT_FALSE(IsPresent(*ParseIndexEntry(index_, 3)));
  EXPECT_FALSE(IsPresent(*ParseIndexEntry(index_, 4)));
}

TEST_F(IndexedEntryTest, ReadEntryBytesNeverReturnsPartOfAnEntry) {
  EXPECT_EQ(ReadEntryBytes(files_, dataPath_, 0, static_cast<std::uint32_t>(data_.size()))->size(), data_.size());
  EXPECT_FALSE(ReadEntryBytes(files_, dataPath_, 0, static_cast<std::uint32_t>(data_.size() + 1)).has_value());
  EXPECT_FALSE(ReadEntryBytes(files_, dataPath_, 0xFFFFFFFF, 1).has_value());
  EXPECT_TRUE(ReadEntryBytes(files_, dataPath_, static_cast<std::uint32_t>(data_.size()), 0)->empty());
}

}  // namespace
}  // namespace tilvo
