#include "artcontrol/clientdata/client_data.h"

#include <gtest/gtest.h>

#include <memory>

#include "artcontrol/clientdata/indexed_entry.h"
#include "testing/temp_folder.h"
#include "testing/tilvo/synthetic_client.h"

namespace tilvo {
namespace {

class ClientDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(mkclient::StandardClient().Write(folder_.Path(), error)) << error;
  }
  testing_support::TempFolder folder_;
};

TEST_F(ClientDataTest, TheStandardClientLoadsWithItsPatches) {
  auto data = std::make_unique<ClientData>();
  LoadClientData(*data, folder_.Dir());
  EXPECT_EQ(data->files.Path(slot::kArt), folder_.Dir() + "art.mul");
  ASSERT_EQ(data->patches.entries.size(), 17u);
  ASSERT_EQ(data->hues.blocks.size(), 4u);
  for (int h = 1; h <= 24; ++h) {
    SCOPED_TRACE(h);
    ASSERT_NE(SelectHue(data->hues, static_cast<std::uint16_t>(h)), nullptr);
    EXPECT_EQ(SelectHue(data->hues, static_cast<std::uint16_t>(h))->colors, mkclient::PatchedHueRamp(h));
  }
  EXPECT_EQ(SelectHue(data->hues, 25), nullptr);
  for (std::uint32_t b = 0; b < 4; ++b) EXPECT_EQ(data->hues.blocks[b].header, mkclient::PatchedHueHeader(b));
  EXPECT_EQ(StaticHeight(data->tileData, 1234), mkclient::StandardStaticHeight(1234));
}

TEST_F(ClientDataTest, ArtPatchesWinOverTheBaseFilesAndTheFirstPatchWins) {
  auto data = std::make_unique<ClientData>();
  LoadClientData(*data, folder_.Dir());
  const auto load = [&](std::uint16_t n) {
    const std::int64_t at = FindPatch(data->patches, 4, n);
    const PatchEntry* patch = at >= 0 ? &data->patches.entries[static_cast<std::size_t>(at)] : nullptr;
    FileSession files;
    return LoadIndexedEntry(files, n, data->files.Path(slot::kVerdata), data->files.Path(slot::kArtIndex),
                            data->files.Path(slot::kArt), patch);
  };
  const std::uint16_t green = mkclient::Client(0, 31, 0);
  const auto item3 = load(0x4003);
  ASSERT_TRUE(item3.has_value());
  ASSERT_GT(item3->size(), 18u);
  // Header, width, height, four row starts, then the first run: skip, length, first colour.
  EXPECT_EQ((*item3)[20] | ((*item3)[21] << 8), green);
  const auto land2 = load(2);
  ASSERT_TRUE(land2.has_value());
  EXPECT_EQ((*land2)[0] | ((*land2)[1] << 8), mkclient::Client(0, 0, 31));
  EXPECT_FALSE(load(0x4004).has_value());
  EXPECT_FALSE(load(0x4005).has_value());
  EXPECT_EQ(load(1)->size(), 2024u);
}

TEST_F(ClientDataTest, TablesAreNotReloadedWhenPathsChangeLater) {
  auto data = std::make_unique<ClientData>();
  LoadClientData(*data, folder_.Dir());
  data->files.SetMulPath("/nowhere");
  EXPECT_EQ(data->patches.entries.size(), 17u);
  EXPECT_EQ(data->hues.blocks.size(), 4u);
}

TEST(ClientData, AFolderWithoutFilesLoadsEmptyTables) {
  testing_support::TempFolder empty;
  auto data = std::make_unique<ClientData>();
  LoadClientData(*data, empty.Dir());
  EXPECT_TRUE(data->patches.entries.empty());
  EXPECT_TRUE(data->hues.blocks.empty());
  EXPECT_EQ(SelectHue(data->hues, 1), nullptr);
  EXPECT_EQ(StaticHeight(data->tileData, 0), 0);
}

}  // namespace
}  // namespace tilvo
