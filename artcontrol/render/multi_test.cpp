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

}  // namespace
}  // namespace tilvo
