#include "artcontrol/render/indexed_art.h"

#include <gtest/gtest.h>

#include <memory>

#include "testing/temp_folder.h"
#include "testing/tilvo/synthetic_client.h"

namespace tilvo {
namespace {

using mkclient::Bytes;

// Gump files carry the cases: data "gumpart.mul", index "gumpidx.mul", patch file id 12.
constexpr IndexedArtSource kSource{slot::kGumpArt, slot::kGumpIndex, 12};
const Bytes kBase = {1, 2, 3, 4, 5, 6};
const Bytes kPatch = {9, 8, 7};

class IndexedArtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mkclient::IndexedFiles files;
    files.Set(1, kBase, 0x00050006);
    files.Set(2, kBase, 11);
    files.SetRecord(3, 0xFFFFFFFF, 6);
    files.Set(4, {});
    files.SetRecord(5, 3, 100, 12);  // runs past the end of the data file
    files.SetRecord(6, 0xFFFFFFFF, 0);
    mkclient::PatchFile verdata;
    verdata.Add(12, 2, kPatch, 0x00030001);
    verdata.Add(12, 6, kPatch, 7);
    verdata.Add(12, 40, kPatch, 8);  // beyond the index file
    verdata.Add(11, 1, {0xEE}, 1);   // another file id
    folder_.Write("gumpidx.mul", files.Index());
    folder_.Write("gumpart.mul", files.Data());
    folder_.Write("verdata.mul", verdata.Build());
    data_ = std::make_unique<ClientData>();
    LoadClientData(*data_, folder_.Dir());
  }

  testing_support::TempFolder folder_;
  std::unique_ptr<ClientData> data_;
};

TEST_F(IndexedArtTest, EntriesComeFromTheIndexOrFromTheirPatch) {
  struct Case {
    const char* name;
    std::uint32_t n;
    bool found;
    Bytes bytes;
    std::uint32_t length, extra;
  } cases[] = {
      {"base entry with its extra value", 1, true, kBase, 6, 0x00050006},
      {"a patch wins, with its length and extra", 2, true, kPatch, 3, 0x00030001},
      {"absent without a patch", 3, false, {}, 0, 0},
      {"length 0 is handed on empty", 4, true, {}, 0, 0},
      {"past the end of its file: the bytes there are", 5, true, {4, 5, 6, 1, 2, 3, 4, 5, 6}, 100, 12},
      {"absent but patched", 6, true, kPatch, 3, 7},
      {"index too short, patched", 40, true, kPatch, 3, 8},
      {"index too short", 41, false, {}, 0, 0},
      {"a patch of another file does not count", 0, false, {}, 0, 0},
  };
  FileSession files;
  for (const Case& c : cases) {
    std::optional<IndexedArt> art = LoadIndexedArt(files, *data_, kSource, c.n);
    ASSERT_EQ(art.has_value(), c.found) << c.name;
    if (!art) continue;
    EXPECT_EQ(art->bytes, c.bytes) << c.name;
    EXPECT_EQ(art->length, c.length) << c.name;
    EXPECT_EQ(art->extra, c.extra) << c.name;
  }
}

TEST_F(IndexedArtTest, MissingFilesGiveNothingEvenWhenAPatchWouldDo) {
  struct Case {
    const char* name;
    int slot;
    std::uint32_t n;
  } cases[] = {
      {"data file", slot::kGumpArt, 1},
      {"data file, patched entry", slot::kGumpArt, 2},
      {"index file", slot::kGumpIndex, 1},
      {"index file, patched entry", slot::kGumpIndex, 2},
      {"patch file, patched entry", slot::kVerdata, 2},
  };
  for (const Case& c : cases) {
    ClientData& data = *data_;
    const std::string kept = data.files.Path(c.slot);
    ASSERT_TRUE(data.files.SetCustomMulFile(static_cast<std::int16_t>(c.slot), folder_.File("missing.mul")));
    FileSession files;
    EXPECT_FALSE(LoadIndexedArt(files, data, kSource, c.n).has_value()) << c.name;
    ASSERT_TRUE(data.files.SetCustomMulFile(static_cast<std::int16_t>(c.slot), kept));
  }
  // Without the patch file an unpatched entry is still read.
  ASSERT_TRUE(data_->files.SetCustomMulFile(slot::kVerdata, folder_.File("missing.mul")));
  FileSession files;
  EXPECT_TRUE(LoadIndexedArt(files, *data_, kSource, 1).has_value());
}

}  // namespace
}  // namespace tilvo
