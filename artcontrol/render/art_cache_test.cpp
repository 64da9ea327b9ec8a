#include "artcontrol/render/art_cache.h"

#include <gtest/gtest.h>

#include <memory>

#include "testing/temp_folder.h"
#include "testing/tilvo/synthetic_client.h"

namespace tilvo {
namespace {

// A loader that counts its calls; every entry is two bytes.
struct CountingLoader {
  int calls = 0;
  ArtCache::Loader Get() {
    return [this](std::uint32_t n) -> std::optional<std::vector<std::uint8_t>> {
      ++calls;
      return std::vector<std::uint8_t>{static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8)};
    };
  }
};

TEST(ArtCache, KeepsTheMostRecentlyUsedEntriesWithinItsMemoryLimit) {
  CountingLoader loader;
  ArtCache cache;
  const std::size_t each = cache.Get(1, loader.Get()).cost;  // every entry of this loader costs the same
  EXPECT_GT(each, kArtCacheEntryOverhead);
  cache.SetLimit(3 * each);
  const struct {
    std::uint32_t n;
    int calls;
    std::vector<std::uint32_t> order;
  } steps[] = {
      {2, 2, {2, 1}},
      {3, 3, {3, 2, 1}},
      {4, 4, {4, 3, 2}},  // over the limit: the least recently used goes
      {2, 4, {2, 4, 3}},  // a hit loads nothing and becomes the most recent
      {5, 5, {5, 2, 4}},  // so 3 goes next, not 2
      {1, 6, {1, 5, 2}},  // a dropped entry loads again
  };
  for (const auto& step : steps) {
    cache.Get(step.n, loader.Get());
    EXPECT_EQ(loader.calls, step.calls) << step.n;
    EXPECT_EQ(cache.Order(), step.order) << step.n;
    EXPECT_EQ(cache.BytesHeld(), step.order.size() * each) << step.n;
  }
  cache.SetLimit(each);
  EXPECT_EQ(cache.Order(), (std::vector<std::uint32_t>{1}));
  // An entry larger than the limit is still kept while it is the most recent.
  cache.SetLimit(0);
  EXPECT_TRUE(cache.Order().empty());
  cache.Get(8, loader.Get());
  EXPECT_EQ(cache.Order(), (std::vector<std::uint32_t>{8}));
  cache.Clear();
  EXPECT_EQ(cache.BytesHeld(), 0u);
  EXPECT_TRUE(cache.Order().empty());
}

TEST(ArtCache, KeepsTheBytesDecodedAndRemembersEntriesWithout) {
  int calls = 0;
  const ArtCache::Loader load = [&calls](std::uint32_t n) -> std::optional<std::vector<std::uint8_t>> {
    ++calls;
    if (n % 7 == 0) return std::nullopt;
    return mkclient::EncodeItemArt(mkclient::StandardItem(2));
  };
  ArtCache cache;
  const ArtCache::Entry* entry = &cache.Get(0x1234, load);
  ASSERT_TRUE(entry->bytes.has_value());
  EXPECT_EQ(*entry->bytes, mkclient::EncodeItemArt(mkclient::StandardItem(2)));
  EXPECT_EQ(entry->picture.kind, ArtKind::kItem);
  EXPECT_EQ(entry->picture.width, 32);
  EXPECT_EQ(&cache.Get(0x1234, load), entry);  // the same entry, not a copy
  EXPECT_FALSE(cache.Get(14, load).bytes.has_value());
  EXPECT_EQ(cache.Get(14, load).picture.kind, ArtKind::kNone);
  EXPECT_EQ(calls, 2);
  // Entries go up to 0x13FFF; a number past them names none and loads nothing.
  EXPECT_TRUE(cache.Get(0x11235, load).bytes.has_value());
  EXPECT_FALSE(cache.Get(0x14000 + 0x1234, load).bytes.has_value());
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(cache.Order(), (std::vector<std::uint32_t>{0x11235, 14, 0x1234}));
}

class GetArtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(mkclient::StandardClient().Write(folder_.Path(), error)) << error;
    LoadClientData(*data_, folder_.Dir());
  }
  testing_support::TempFolder folder_;
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

}  // namespace
}  // namespace tilvo
