#include "artcontrol/render/map_block.h"

#include <gtest/gtest.h>

#include "testing/tilvo/composite_test_support.h"

namespace tilvo {
namespace {

using namespace tilvo::testing;
using mkclient::kOrange;
using mkclient::kTallCyan;
using mkclient::kTallMagenta;
using mkclient::kWide;

constexpr std::int32_t kMapBlock = 8;
constexpr std::uint32_t kLand = 0x10;
constexpr std::uint32_t kStatics = 0x20;
constexpr std::uint32_t kPreview = 0x40;
constexpr std::uint32_t kFacet2 = 0x200;

// Block 0 of facet 0 in a 320 x 480 picture: the statics in drawing order.
// An item of w x h at (x, y, z) has its corner at
// ((320 - w) / 2 + (x - y) * 22, (480 - h) / 2 + (x + y) * 22 - z * 4 - h / 2).
const PlacedItem kHued{kTallMagenta, 264, 334, 3};  // (6, 1, 0), hue 3
const PlacedItem kKey3{kTallCyan, 132, 322};        // (2, 3, -8): tile-data height 11
const PlacedItem kKey5{kTallMagenta, 132, 286};     // (2, 3, 1): height 4, after key 3 though first in the file
const PlacedItem kUnderLand{kOrange, 156, 404};     // (5, 5, 4) on land at z 10
const PlacedItem kWideOne{kWide, 20, 378};          // (1, 6, 0); (9, 1) is skipped
const PlacedItem kPreviewItem{kOrange, 156, 412};   // the preview item at (3, 3, -20)

// The land tiles' colours as drawn: tile 2 comes from its patch.
std::vector<std::uint16_t> LandColours(std::uint16_t tile) {
  if (tile == 2) return std::vector<std::uint16_t>(1012, mkclient::Client(0, 0, 31));
  return mkclient::StandardLandColors(tile);
}

// The land of a block, cell by cell, in a w x h picture with the block's offsets.
PixelBuffer ExpectedLand(PixelBuffer picture, const mkclient::MapBlock& land, std::int64_t ox, std::int64_t oy) {
  HueTable none;
  for (std::size_t i = 0; i < land.size(); ++i) {
    const auto col = static_cast<std::int64_t>(i % 8);
    const auto row = static_cast<std::int64_t>(i / 8);
    picture = testing::ExpectedLand(picture, LandColours(land[i].tile), (picture.w - 44) / 2 + (col - row) * 22 + ox,
                                    picture.h / 2 - 22 + (col + row) * 22 - land[i].z * 4 - 22 + oy, 0, none);
  }
  return picture;
}

PreviewItem PreviewAt33() { return {kOrange, 3, 3, static_cast<std::uint8_t>(-20), 0, 0}; }

TEST(MapBlock, StaticsAreDrawnCellByCellAndByKeyWithinACell) {
  struct Case {
    const char* name;
    std::uint32_t flags;
    std::vector<PlacedItem> order;
  } cases[] = {
      {"statics; preview items need their bit", kStatics, {kHued, kKey3, kKey5, kUnderLand, kWideOne}},
      {"with the preview item below the land, land layer off", kStatics | kPreview,
       {kHued, kKey3, kKey5, kPreviewItem, kUnderLand, kWideOne}},
      {"nothing without the statics bit", kPreview, {}},
  };
  for (const Case& c : cases) {
    ClientCanvas canvas(320, 480);
    canvas.previewItems = {PreviewAt33(), std::nullopt};
    canvas.Draw(kMapBlock, 0, 0, 0, 0, c.flags);
    Canvas clean(320, 480);
    EXPECT_EQ(canvas.pixels.bytes, ExpectedItems(clean.pixels, c.order, canvas.data->hues).bytes) << c.name;
  }
  ClientCanvas canvas(320, 480);
  canvas.Draw(kMapBlock, 0, 0, 0, 0, kStatics);
  EXPECT_EQ(PixelAt(canvas.pixels, 135, 330), 0x00FF00FFu);  // key 5 over key 3
}

TEST(MapBlock, TheLandLayerHidesWhatLiesBelowIt) {
  ClientCanvas landOnly(320, 480);
  landOnly.Draw(kMapBlock, 0, 0, 0, 0, kLand);
  Canvas clean(320, 480);
  ASSERT_EQ(landOnly.pixels.bytes, ExpectedLand(clean.pixels, mkclient::StandardLand(0, 0), 0, 0).bytes);
  // Key 3 (z -8) and the static at z 4 on land at z 10 are under the ground,
  // and so is the preview item at z -20.
  const PixelBuffer expected = ExpectedItems(landOnly.pixels, {kHued, kKey5, kWideOne}, landOnly.data->hues);
  for (std::uint32_t flags : {kLand | kStatics, kLand | kStatics | kPreview}) {
    ClientCanvas canvas(320, 480);
    canvas.previewItems = {PreviewAt33()};
    canvas.Draw(kMapBlock, 0, 0, 0, 0, flags);
    EXPECT_EQ(canvas.pixels.bytes, expected.bytes) << flags;
  }
}

TEST(MapBlock, HiddenStaticsAreMatchedByAllSevenBytesAndTheBlock) {
  const HiddenStatic hued{kTallMagenta, 6, 1, 0, 3, 0};
  struct Case {
    const char* name;
    HiddenStatic hidden;
    std::vector<PlacedItem> order;
  } cases[] = {
      {"hidden", hued, {kKey3, kKey5, kPreviewItem, kUnderLand, kWideOne}},
      {"another block", {kTallMagenta, 6, 1, 0, 3, 1}, {kHued, kKey3, kKey5, kPreviewItem, kUnderLand, kWideOne}},
      {"another hue", {kTallMagenta, 6, 1, 0, 4, 0}, {kHued, kKey3, kKey5, kPreviewItem, kUnderLand, kWideOne}},
      {"another z", {kTallMagenta, 6, 1, 1, 3, 0}, {kHued, kKey3, kKey5, kPreviewItem, kUnderLand, kWideOne}},
      {"a negative z as its low byte", {kTallCyan, 2, 3, 0xF8, 0, 0}, {kHued, kKey5, kPreviewItem, kUnderLand, kWideOne}},
      {"preview items are never hidden", {kOrange, 3, 3, 0xEC, 0, 0},
       {kHued, kKey3, kKey5, kPreviewItem, kUnderLand, kWideOne}},
  };
  for (const Case& c : cases) {
    ClientCanvas canvas(320, 480);
    canvas.previewItems = {PreviewAt33()};
    canvas.hiddenStatics = {std::nullopt, c.hidden};
    canvas.Draw(kMapBlock, 0, 0, 0, 0, kStatics | kPreview);
    Canvas clean(320, 480);
    EXPECT_EQ(canvas.pixels.bytes, ExpectedItems(clean.pixels, c.order, canvas.data->hues).bytes) << c.name;
  }
}

TEST(MapBlock, RecordsOutsideTheBlockAreSkipped) {
  ClientCanvas canvas(320, 480);
  // Preview items from negative map positions hold x or y above 7.
  canvas.previewItems = {PreviewItem{kWide, 0xFF, 0, 0, 0, 0}, PreviewItem{kWide, 0, 8, 0, 0, 0}};
  canvas.Draw(kMapBlock, 0, 0, 0, 0, kLand | kStatics | kPreview);
  ClientCanvas without(320, 480);
  without.Draw(kMapBlock, 0, 0, 0, 0, kLand | kStatics);
  EXPECT_EQ(canvas.pixels.bytes, without.pixels.bytes);
}

TEST(MapBlock, OffsetsMoveTheWholeBlockAndUseTheirLow16Bits) {
  ClientCanvas canvas(320, 480);
  DrawContext ctx = canvas.Context(2, -1);
  DrawRequest req = canvas.Request(kMapBlock, 0);
  req.xOffset = 0x10000 - 30;  // -30
  req.yOffset = 40;
  req.flags = kLand | kStatics;
  DrawObject(ctx, req);
  Canvas clean(320, 480);
  PixelBuffer expected = ExpectedLand(clean.pixels, mkclient::StandardLand(0, 0), -28, 39);
  auto moved = [](PlacedItem item) { return PlacedItem{item.id, item.left - 28, item.top + 39, item.hue}; };
  expected = ExpectedItems(expected, {moved(kHued), moved(kKey5), moved(kWideOne)}, canvas.data->hues);
  EXPECT_EQ(canvas.pixels.bytes, expected.bytes);
}

TEST(MapBlock, LandComesFromTheDiffFileWhenTheListNamesTheBlock) {
  struct Case {
    const char* name;
    int facet;
    std::uint32_t block;
    bool found;
  } cases[] = {
      {"base", 0, 0, true},
      {"diff", 0, 1, true},
      {"last block of the file", 0, 3 * 512 - 1, true},
      {"past the end of the map file", 0, 3 * 512, false},
      {"diff beyond the map file", 0, 767 * 512, true},
      {"second diff", 0, 766 * 512 + 2, true},
      {"facet 2 base", 2, 5, true},
      {"facet 2 diff", 2, 2, true},
      {"facet 2 past its end", 2, 2 * 512, false},
  };
  ClientCanvas client(8, 8);
  for (const Case& c : cases) {
    const MapFacetFiles* facet = FindMapFacet(c.facet == 2 ? kFacet2 : 0);
    ASSERT_NE(facet, nullptr);
    std::optional<LandBlock> land = ReadLandBlock(client.files, *client.data, *facet, c.block);
    ASSERT_EQ(land.has_value(), c.found) << c.name;
    if (!land) continue;
    const mkclient::MapBlock expected = mkclient::StandardLand(c.facet, c.block);
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(land->tiles[i], expected[i].tile) << c.name << " cell " << i;
      EXPECT_EQ(land->z[i], expected[i].z) << c.name << " cell " << i;
    }
  }
}

TEST(MapBlock, StaticsComeFromTheDiffFilesThenVerdataThenTheIndex) {
  struct Case {
    const char* name;
    int facet;
    std::uint32_t block;
  } cases[] = {
      {"base", 0, 0},
      {"base, one static", 0, 1},
      {"verdata patch", 0, 2},
      {"length -1", 0, mkclient::kNoStaticsBlock},
      {"diff", 0, 513},
      {"file shorter than the record", 0, mkclient::kShortStaticsBlock},
      {"diff beyond the statics index", 0, 767 * 512},
      {"beyond the statics index", 0, 766 * 512},
      {"facet 2 base", 2, 0},
      {"facet 2 verdata patch", 2, 1},
      {"facet 2 without its statics list", 2, 3},
  };
  ClientCanvas client(8, 8);
  for (const Case& c : cases) {
    const MapFacetFiles* facet = FindMapFacet(c.facet == 2 ? kFacet2 : 0);
    ASSERT_NE(facet, nullptr);
    // Facet 2's statics list has no default name: its diff is not used here.
    const std::vector<mkclient::StaticItem> expected =
        c.facet == 2 ? (c.block == 1 ? mkclient::StandardStatics(2, 1) : mkclient::BaseStatics(2, c.block))
                     : mkclient::StandardStatics(c.facet, c.block);
    std::vector<mkclient::StaticItem> read;
    for (const StaticRecord& r : ReadStatics(client.files, *client.data, *facet, c.block)) read.push_back({r.id, r.x, r.y, r.z, r.hue});
    EXPECT_EQ(read, expected) << c.name;
  }
  // Once the host names facet 2's statics list, block 3 comes from its diff files.
  ASSERT_TRUE(client.data->files.SetCustomMulFile(78, StandardClientFolder().File("stadifl2.mul")));
  std::vector<mkclient::StaticItem> read;
  for (const StaticRecord& r : ReadStatics(client.files, *client.data, *FindMapFacet(kFacet2), 3)) read.push_back({r.id, r.x, r.y, r.z, r.hue});
  EXPECT_EQ(read, mkclient::StandardStatics(2, 3));
}

TEST(MapBlock, FacetsZeroAndTwoOnly) {
  for (std::uint32_t selector = 0; selector < 256; ++selector) {
    const MapFacetFiles* facet = FindMapFacet(selector << 8 | 0x70);
    if (selector == 0 || selector == 2) {
      ASSERT_NE(facet, nullptr);
      EXPECT_EQ(facet->facet, static_cast<int>(selector));
    } else {
      EXPECT_EQ(facet, nullptr) << selector;
    }
  }
  ClientCanvas canvas(320, 480);
  canvas.Draw(kMapBlock, 0, 0, 0, 0, 0x0100 | kLand | kStatics);
  EXPECT_EQ(DrawnPixels(canvas.pixels), 0);
}

TEST(MapBlock, MissingFilesDrawNothingForTheirLayer) {
  struct Case {
    const char* name;
    int slot;
    std::uint32_t flags;
    bool landDrawn, staticsDrawn;
  } cases[] = {
      {"no map file", slot::kMap0, kLand | kStatics, false, true},
      {"no statics index", slot::kStaticsIndex0, kLand | kStatics, true, false},
      {"no statics data", slot::kStatics0, kLand | kStatics, true, false},
  };
  for (const Case& c : cases) {
    ClientCanvas canvas(320, 480);
    ASSERT_TRUE(canvas.data->files.SetCustomMulFile(static_cast<std::int16_t>(c.slot), "/nonexistent/file.mul"));
    canvas.Draw(kMapBlock, 0, 0, 0, 0, c.flags);
    Canvas clean(320, 480);
    PixelBuffer expected = c.landDrawn ? ExpectedLand(clean.pixels, mkclient::StandardLand(0, 0), 0, 0) : clean.pixels;
    // Without land nothing lies under it, so key 3 and the static at z 4 show.
    const std::vector<PlacedItem> statics =
        c.landDrawn ? std::vector<PlacedItem>{kHued, kKey5, kWideOne}
                    : std::vector<PlacedItem>{kHued, kKey3, kKey5, kUnderLand, kWideOne};
    if (c.staticsDrawn) expected = ExpectedItems(expected, statics, canvas.data->hues);
    EXPECT_EQ(canvas.pixels.bytes, expected.bytes) << c.name;
  }
}

}  // namespace
}  // namespace tilvo
