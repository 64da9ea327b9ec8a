#include "artcontrol/render/art_cache.h"

#include <gtest/gtest.h>

#include <memory>

#include "artcontrol/tests/temp_folder.h"
#include "tools/tilvo-mkclient/synthetic_client.h"

namespace tilvo {
namespace {

// A loader that counts its calls; entries divisible by 7 have no bytes.
struct CountingLoader {
  int calls = 0;
  ArtCache::Loader Get() {
    return [this](std::uint16_t n) -> std::optional<std::vector<std::uint8_t>> {
      ++calls;
      if (n % 7 == 0) return std::nullopt;
      return std::vector<std::uint8_t>{static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8)};
    };
  }
};

TEST(ArtCache, KeepsThe256MostRecentlyUsedEntries) {
  ArtCache cache;
  CountingLoader loader;
  for (std::uint32_t n = 1; n <= 256; ++n) cache.Get(n, loader.Get());
  EXPECT_EQ(loader.calls, 256);
  EXPECT_EQ(cache.Order().size(), 256u);
  EXPECT_EQ(cache.Order().front(), 256);
  EXPECT_EQ(cache.Order().back(), 1);

  cache.Get(257, loader.Get());  // the 257th distinct entry evicts the least recent
  EXPECT_EQ(loader.calls, 257);
  EXPECT_EQ(cache.Order().size(), 256u);
  EXPECT_EQ(cache.Order().front(), 257);
  EXPECT_EQ(cache.Order().back(), 2);

  cache.Get(2, loader.Get());    // a hit: no load, and it becomes the most recent
  EXPECT_EQ(loader.calls, 257);
  EXPECT_EQ(cache.Order().front(), 2);
  EXPECT_EQ(cache.Order().back(), 3);

  cache.Get(258, loader.Get());  // so 3 goes next, not 2
  EXPECT_EQ(cache.Order().back(), 4);
  cache.Get(1, loader.Get());    // evicted entries load again
  EXPECT_EQ(loader.calls, 259);
}

TEST(ArtCache, ReturnsTheBytesAndRemembersEntriesWithout) {
  ArtCache cache;
  CountingLoader loader;
  const std::vector<std::uint8_t>* bytes = cache.Get(0x1234, loader.Get());
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(*bytes, (std::vector<std::uint8_t>{0x34, 0x12}));
  EXPECT_EQ(cache.Get(0x1234, loader.Get()), bytes);  // the same bytes, not a copy
  EXPECT_EQ(cache.Get(14, loader.Get()), nullptr);
  EXPECT_EQ(cache.Get(14, loader.Get()), nullptr);
  EXPECT_EQ(loader.calls, 2);
  // Numbers are taken modulo 65536.
  EXPECT_EQ(cache.Get(0x11234, loader.Get()), bytes);
  EXPECT_EQ(loader.calls, 2);
  EXPECT_EQ(cache.Order(), (std::vector<std::uint16_t>{0x1234, 14}));
}

class GetArtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(mkclient::StandardClient().Write(folder_.Path(), error)) << error;
    LoadClientData(*data_, folder_.Dir());
  }
  testing::TempFolder folder_;
  std::unique_ptr<ClientData> data_ = std::make_unique<ClientData>();
  ArtCache cache_;
  FileSession files_;
};

TEST_F(GetArtTest, TakesPatchesFirstThenTheArtFiles) {
  using mkclient::EncodeItemArt;
  using mkclient::EncodeLandTile;
  struct Case {
    std::uint32_t entry;
    std::optional<mkclient::Bytes> bytes;
  } cases[] = {
      {1, EncodeLandTile(mkclient::StandardLandColors(1))},
      {0x4001, EncodeItemArt(mkclient::StandardItem(1))},
      {0x4003, EncodeItemArt([] {  // two patches: the first in the table wins
         mkclient::ItemArt green{4, 4, {}};
         for (int y = 0; y < 4; ++y) green.rows.push_back({{0, std::vector<std::uint16_t>(4, mkclient::Client(0, 31, 0))}});
         return green;
       }())},
      {0x4004, std::nullopt},  // offset 0xFFFFFFFF
      {0x4005, std::nullopt},  // length 0
      {0x4100, std::nullopt},  // never written
  };
  for (const Case& c : cases) {
    const std::vector<std::uint8_t>* bytes = GetArt(cache_, *data_, files_, c.entry);
    if (!c.bytes) {
      EXPECT_EQ(bytes, nullptr) << std::hex << c.entry;
    } else {
      ASSERT_NE(bytes, nullptr) << std::hex << c.entry;
      EXPECT_EQ(*bytes, *c.bytes) << std::hex << c.entry;
    }
  }
}

TEST_F(GetArtTest, CachedEntriesOutliveAChangeOfPaths) {
  const std::vector<std::uint8_t>* before = GetArt(cache_, *data_, files_, 0x4001);
  ASSERT_NE(before, nullptr);
  data_->files.SetMulPath(folder_.File("elsewhere"));
  EXPECT_EQ(GetArt(cache_, *data_, files_, 0x4001), before);
  EXPECT_EQ(GetArt(cache_, *data_, files_, 0x4002), nullptr);  // new entries come from the new, empty place
}

}  // namespace
}  // namespace tilvo
