#include "artcontrol/render/multi.h"

#include <gtest/gtest.h>

#include "testing/tilvo/composite_test_support.h"

namespace tilvo {
namespace {

using namespace tilvo::testing;
using mkclient::kOrange;
using mkclient::kTallCyan;
using mkclient::kTallMagenta;
using mkclient::kWide;
using mkclient::kWideGold;

constexpr std::int32_t kMultis = 2;
constexpr std::uint32_t kMagenta = 0x00FF00FF;
constexpr std::uint32_t kCyan = 0x00FFFF00;
constexpr std::uint32_t kViolet = 0x00FF0083;
constexpr std::uint32_t kGold = 0x0041C5FF;

// In a 160 x 160 picture an item of w x h with tile offsets (x, y, z) has its
// top-left corner at ((160 - w) / 2 + (x - y) * 22, (160 - h) / 2 + (x + y) * 22 - z * 4 - h / 2).
TEST(Multi, ComponentsArePlacedOnTheGridAndDrawnCellByCell) {
  struct Case {
    const char* name;
    std::uint32_t index;
    std::vector<PlacedItem> order;
  } cases[] = {
      {"a component at x = -3; rows of cells, then keys",
       1,
       {{kOrange, 142, 42},        // (2, -1, 5): row -1 comes first
        {kTallMagenta, 8, -46},    // (-3, 0, 0)
        {kWide, 50, 72},           // (0, 0, -2), key 23
        {kWideGold, 50, 64},       // (0, 0, 0), key 32
        {kWide, 6, 64}}},          // (-1, 1, 0): row 1 after row 0 although its column is left of it
      {"components at positive x only", 2, {{kOrange, 98, 62}, {kWide, 94, 104}, {kTallCyan, 96, 130}}},
      {"a negative key sorts after every other", 3, {{kTallCyan, 74, 20}, {kTallMagenta, 74, 60}}},
      {"the file ends after two of five components", 4, {{kOrange, 76, 40}, {kWide, 50, 108}}},
      {"the patch", 5, {{kTallCyan, 74, 20}, {kOrange, 98, 62}}},
      {"absent", 6, {}},
      {"beyond the index", 8181, {}},
  };
  for (const Case& c : cases) {
    ClientCanvas canvas(160, 160);
    canvas.Draw(kMultis, c.index);
    Canvas clean(160, 160);
    EXPECT_EQ(canvas.pixels.bytes, ExpectedItems(clean.pixels, c.order, clean.data->hues).bytes) << c.name;
  }
}

TEST(Multi, OverlapsShowTheDrawingOrder) {
  ClientCanvas one(160, 160);
  one.Draw(kMultis, 1);
  EXPECT_EQ(PixelAt(one.pixels, 55, 75), kViolet);  // the row-1 component over the row-0 one
  EXPECT_EQ(PixelAt(one.pixels, 70, 75), kGold);    // key 32 over key 23 in one cell
  EXPECT_EQ(PixelAt(one.pixels, 70, 85), kViolet);
  EXPECT_EQ(PixelAt(one.pixels, 10, 0), kMagenta);  // two columns left of x = -1
  ClientCanvas three(160, 160);
  three.Draw(kMultis, 3);
  EXPECT_EQ(PixelAt(three.pixels, 80, 70), kMagenta);  // key -6 drawn after key 11
  EXPECT_EQ(PixelAt(three.pixels, 80, 50), kCyan);
}

TEST(Multi, OnlyTheControlsScrollMovesIt) {
  ClientCanvas plain(160, 160);
  DrawContext ctx = plain.Context(3, -2);
  DrawRequest req = plain.Request(kMultis, 3);
  req.xOffset = 40;
  req.yOffset = 40;
  req.hue = 2;
  req.flags = 1;  // no backdrop box either
  DrawObject(ctx, req);
  Canvas clean(160, 160);
  EXPECT_EQ(plain.pixels.bytes,
            ExpectedItems(clean.pixels, {{kTallCyan, 77, 18}, {kTallMagenta, 77, 58}}, clean.data->hues).bytes);
}

TEST(Multi, ComponentsAreCountedBy16BitsAndKeyedByTileDataHeight) {
  const ClientCanvas client(8, 8);
  const TileDataImage& tileData = client.data->tileData;
  const mkclient::Bytes bytes = mkclient::EncodeMulti({{kWide, -3, 2, -7, 0}, {0x4000, 1, 1, 1, 0}, {kOrange, 0, 0, 0, 0}});
  struct Case {
    const char* name;
    std::size_t keep;
    std::uint32_t length;
    std::size_t count;
  } cases[] = {
      {"whole", bytes.size(), 36, 3},
      {"length not a multiple of 12", bytes.size(), 35, 2},
      {"the file holds less", 30, 36, 2},
      {"65536 components are 0", bytes.size(), 65536 * 12, 0},
      {"65537 components are 1", bytes.size(), 65537 * 12, 1},
      {"no bytes", 0, 36, 0},
  };
  for (const Case& c : cases) {
    std::vector<TileComponent> parts = ReadMultiComponents(std::span(bytes.data(), c.keep), c.length, tileData);
    EXPECT_EQ(parts.size(), c.count) << c.name;
  }
  std::vector<TileComponent> parts = ReadMultiComponents(bytes, 36, tileData);
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0].x, -3);
  EXPECT_EQ(parts[0].y, 2);
  EXPECT_EQ(parts[0].z, -7);
  EXPECT_EQ(parts[0].key, -7 + 25);
  EXPECT_EQ(parts[1].key, 1);  // item 0x4000 lies beyond the tile data: height 0
  EXPECT_EQ(parts[2].key, 18);
}

TEST(Multi, TheComponentSizeFollowsTheLengthThenTheTileData) {
  using enum TileDataLayout;
  const struct {
    std::uint32_t length;
    TileDataLayout layout;
    std::uint32_t size;
  } cases[] = {
      {36, kWideFlags, 12},  // only 12 divides it
      {32, kClassic, 16},    // only 16 divides it
      {48, kClassic, 12},    // both: the tile data decides
      {48, kClassicWide, 12}, {48, kWideFlags, 16}, {35, kWideFlags, 16}, {0, kClassic, 12},
  };
  for (const auto& c : cases) EXPECT_EQ(MultiComponentSize(c.length, c.layout), c.size) << c.length;
}

TEST(Multi, AContainersComponentsAreReadWhileWhole) {
  const ClientCanvas client(8, 8);
  // Id, count, then item, x, y, z, flags, n and n words per component.
  auto part = [](mkclient::Bytes& out, std::uint16_t id, std::int16_t x, std::uint32_t words) {
    mkclient::PutU16(out, id);
    for (std::int16_t v : {x, std::int16_t{2}, std::int16_t{-7}}) mkclient::PutU16(out, static_cast<std::uint16_t>(v));
    mkclient::PutU16(out, 1);
    mkclient::PutU32(out, words);
    for (std::uint32_t w = 0; w < words && w < 4; ++w) mkclient::PutU32(out, 0xAAAAAAAA);
  };
  auto entry = [&](std::uint32_t count, std::uint32_t lastWords) {
    mkclient::Bytes out;
    mkclient::PutU32(out, 9000);
    mkclient::PutU32(out, count);
    part(out, mkclient::kWide, -3, 0);
    part(out, mkclient::kOrange, 4, 2);
    part(out, mkclient::kTallCyan, 5, lastWords);
    return out;
  };
  const struct {
    const char* name;
    mkclient::Bytes bytes;
    std::size_t count;
  } cases[] = {
      {"whole", entry(3, 1), 3},
      {"a count past the bytes", entry(7, 1), 3},
      {"a count short of them", entry(2, 1), 2},
      {"more words than the bytes hold", entry(3, 0x40000000), 2},
      {"no header", mkclient::Bytes{1, 2, 3}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<TileComponent> parts = ReadCollectionComponents(c.bytes, client.data->tileData);
    ASSERT_EQ(parts.size(), c.count);
    if (c.count > 1) {
      EXPECT_EQ(parts[1].id, mkclient::kOrange);
      EXPECT_EQ(parts[1].x, 4);
      EXPECT_EQ(parts[1].y, 2);
      EXPECT_EQ(parts[1].key, -7 + 18);
    }
  }
}

}  // namespace
}  // namespace tilvo
