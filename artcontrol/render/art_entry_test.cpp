#include "artcontrol/render/art_entry.h"

#include <gtest/gtest.h>

#include "testing/tilvo/render_test_support.h"

namespace tilvo {
namespace {

using namespace tilvo::testing;
using mkclient::Bytes;
using mkclient::Client;
using mkclient::EncodeItemArt;
using mkclient::EncodeLandTile;
using mkclient::ItemArt;
using mkclient::StandardItem;
using mkclient::StandardLandColors;

TEST(ItemArt, TopLeftCornerOfA20By30ItemIn96By56) {
  Canvas canvas(96, 56);
  DrawContext ctx = canvas.Context();
  DrawArtBytes(ctx, canvas.Request(), EncodeItemArt(StandardItem(1)));
  EXPECT_EQ(PixelAt(canvas.pixels, 38, 13), 0u);  // colour 0 inside a run is drawn black
  EXPECT_EQ(PixelAt(canvas.pixels, 37, 13), kBackground);
  EXPECT_EQ(PixelAt(canvas.pixels, 38, 12), kBackground);
}

TEST(ItemArt, PlacementFollowsTheBoundsAndBothOffsets) {
  struct Case {
    const char* name;
    std::int32_t w, h;
    std::int32_t xOffset, yOffset;       // the control's scroll
    std::int32_t reqX, reqY;             // the request's own shift (low 16 bits, signed)
    std::int64_t left, top;
  } cases[] = {
      {"centred", 96, 56, 0, 0, 0, 0, 38, 13},
      {"scrolled", 96, 56, 5, -7, 0, 0, 43, 6},
      {"request shift", 96, 56, 0, 0, 3, 2, 41, 15},
      {"request shift uses 16 bits", 96, 56, 0, 0, 0x10003, 0x2FFFF, 41, 12},
      {"both", 96, 56, -40, 30, -1, 1, -3, 44},
      {"smaller than the item", 8, 8, 0, 0, 0, 0, -6, -11},  // (8 - 20) / 2 truncates to -6
      {"odd halving", 16, 24, 0, 0, 0, 0, -2, -3},
      {"far scroll", 96, 56, 2147483647, -2147483647 - 1, 0, 0, 2147483685, -2147483635},
  };
  ItemArt art = StandardItem(1);
  Bytes bytes = EncodeItemArt(art);
  for (const Case& c : cases) {
    Canvas canvas(c.w, c.h);
    DrawContext ctx = canvas.Context(c.xOffset, c.yOffset);
    DrawRequest req = canvas.Request();
    req.xOffset = c.reqX;
    req.yOffset = c.reqY;
    DrawArtBytes(ctx, req, bytes);
    Canvas clean(c.w, c.h);
    PixelBuffer expected = ExpectedItem(clean.pixels, art, c.left, c.top, 0, clean.data->hues);
    EXPECT_EQ(canvas.pixels.bytes, expected.bytes) << c.name;
  }
}

TEST(ItemArt, RunsWiderThanTheItemAreDrawnAsStoredAndClippedAtTheEdge) {
  ItemArt art = StandardItem(6);  // 4 x 2, row 0 one 10-pixel run
  Canvas canvas(8, 8);
  DrawContext ctx = canvas.Context();
  DrawArtBytes(ctx, canvas.Request(), EncodeItemArt(art));
  Canvas clean(8, 8);
  PixelBuffer expected = ExpectedItem(clean.pixels, art, 2, 3, 0, clean.data->hues);
  EXPECT_EQ(canvas.pixels.bytes, expected.bytes);
  // Columns 2 to 7 of row 3 are drawn; nothing spills into row 4.
  EXPECT_EQ(PixelAt(canvas.pixels, 7, 3), ToColorRef(Client(5, 0, 31)));
  EXPECT_EQ(PixelAt(canvas.pixels, 0, 4), kBackground);
  EXPECT_EQ(PixelAt(canvas.pixels, 1, 4), kBackground);
}

TEST(ItemArt, EveryPixelIsRecolouredByTheHue) {
  HueTable hues;
  hues.blocks.resize(3);
  for (auto& block : hues.blocks) {
    for (auto& entry : block.entries) {
      for (unsigned i = 0; i < 32; ++i) entry.colors[i] = Client(31 - i, i, 7);
    }
  }
  ItemArt art = StandardItem(2);  // grey ramp
  for (std::uint32_t hue : {0u, 1u, 16u, 17u}) {  // 17 is above 8 x 3 - 8
    Canvas canvas(48, 8);
    canvas.data->hues = hues;
    DrawContext ctx = canvas.Context();
    DrawRequest req = canvas.Request();
    req.hue = hue;
    DrawArtBytes(ctx, req, EncodeItemArt(art));
    Canvas clean(48, 8);
    PixelBuffer expected = ExpectedItem(clean.pixels, art, 8, 3, hue, hues);
    EXPECT_EQ(canvas.pixels.bytes, expected.bytes) << hue;
    EXPECT_EQ(PixelAt(canvas.pixels, 8 + 31, 3),
              hue == 0 || hue == 17 ? 0x00FFFFFFu : ToColorRef(Client(0, 31, 7)))
        << hue;
  }
}

TEST(LandTile, FillsTheDiamondFromTheThirdColourOn) {
  std::vector<std::uint16_t> colours = StandardLandColors(1);
  Canvas canvas(96, 56);
  DrawContext ctx = canvas.Context();
  DrawArtBytes(ctx, canvas.Request(4, 1), EncodeLandTile(colours));
  Canvas clean(96, 56);
  PixelBuffer expected = ExpectedLand(clean.pixels, colours, 26, 6, 0, clean.data->hues);
  EXPECT_EQ(canvas.pixels.bytes, expected.bytes);
  // Rows 7 to 50; the widest rows 22 and 23 (28 and 29 here) span columns 26 to 69.
  EXPECT_EQ(DrawnPixels(canvas.pixels), 1010);  // the last two pixels lie past a 2024-byte entry
  EXPECT_NE(PixelAt(canvas.pixels, 47, 7), kBackground);
  EXPECT_NE(PixelAt(canvas.pixels, 48, 7), kBackground);
  EXPECT_EQ(PixelAt(canvas.pixels, 46, 7), kBackground);
  for (int y : {28, 29}) {
    EXPECT_NE(PixelAt(canvas.pixels, 26, y), kBackground);
    EXPECT_NE(PixelAt(canvas.pixels, 69, y), kBackground);
    EXPECT_EQ(PixelAt(canvas.pixels, 25, y), kBackground);
    EXPECT_EQ(PixelAt(canvas.pixels, 70, y), kBackground);
  }
  for (int x = 0; x < 96; ++x) {
    EXPECT_EQ(PixelAt(canvas.pixels, x, 6), kBackground);
    EXPECT_EQ(PixelAt(canvas.pixels, x, 51), kBackground);
  }
}

TEST(LandTile, ColourZeroIsBlackAndTheFirstWordDecidesTheFormat) {
  struct Case {
    const char* name;
    std::vector<std::uint16_t> colours;
  } cases[] = {
      {"first word 0", StandardLandColors(3)},
      {"a whole tile plus the two colours drawing reaches", [] {
         std::vector<std::uint16_t> c = StandardLandColors(1);
         c.push_back(Client(1, 2, 3));
         c.push_back(0);
         return c;
       }()},
  };
  for (const Case& c : cases) {
    Canvas canvas(96, 56);
    DrawContext ctx = canvas.Context(3, -4);
    DrawRequest req = canvas.Request(0, 0);
    req.flags = kFlagBackdrop;  // no backdrop for land
    DrawArtBytes(ctx, req, EncodeLandTile(c.colours));
    Canvas clean(96, 56);
    PixelBuffer expected = ExpectedLand(clean.pixels, c.colours, 29, 2, 0, clean.data->hues);
    EXPECT_EQ(canvas.pixels.bytes, expected.bytes) << c.name;
  }
}

// Damaged item entries: whatever is drawn is part of the intact picture, and
// nothing is read or written outside the entry and the picture.
TEST(DamagedArt, DrawsNothingOrAPrefixOfTheIntactPicture) {
  const ItemArt art = StandardItem(1);
  const Bytes intact = EncodeItemArt(art);
  const std::size_t tableEnd = 8 + 2 * 30;
  auto cut = [&](std::size_t n) { return Bytes(intact.begin(), intact.begin() + static_cast<std::ptrdiff_t>(n)); };
  auto patched = [&](std::size_t at, std::uint16_t value) {
    Bytes b = intact;
    b[at] = static_cast<std::uint8_t>(value);
    b[at + 1] = static_cast<std::uint8_t>(value >> 8);
    return b;
  };
  struct Case {
    const char* name;
    Bytes entry;
    int minDrawn, maxDrawn;  // how many pixels may differ from the background
  } cases[] = {
      {"empty", {}, 0, 0},
      {"three bytes", {1, 0, 0}, 0, 0},
      {"header only", cut(4), 0, 0},
      {"no height", cut(6), 0, 0},
      {"row table cut short", cut(tableEnd - 1), 0, 0},
      {"width 0", patched(4, 0), 0, 0},
      {"height 0", patched(6, 0), 0, 0},
      {"width 1025", patched(4, 1025), 0, 0},
      {"height 1025", patched(6, 1025), 0, 0},
      {"no runs", cut(tableEnd), 0, 0},
      {"cut inside the first run's header", cut(tableEnd + 3), 0, 0},
      {"cut inside the first run", cut(tableEnd + 4 + 2 * 3), 3, 3},
      {"cut in the middle", cut(intact.size() / 2), 100, 509},
      {"last end-of-row missing", cut(intact.size() - 4), 510, 510},
      {"row 1 starts past the entry", patched(8 + 2, 0xFFFF), 5 + 13, 5 + 13},
      {"run longer than the entry", patched(tableEnd + 2, 2000), 58, 58},  // columns 38 to 95 of its row
  };
  Canvas clean(96, 56);
  const PixelBuffer whole = ExpectedItem(clean.pixels, art, 38, 13, 0, clean.data->hues);
  for (const Case& c : cases) {
    Canvas canvas(96, 56);
    DrawContext ctx = canvas.Context();
    DrawArtBytes(ctx, canvas.Request(), c.entry);
    int drawn = DrawnPixels(canvas.pixels);
    EXPECT_GE(drawn, c.minDrawn) << c.name;
    EXPECT_LE(drawn, c.maxDrawn) << c.name;
    if (std::string(c.name) == "run longer than the entry") continue;  // reads colours from later rows
    for (std::size_t i = 0; i < canvas.pixels.bytes.size(); i += 3) {
      bool background = canvas.pixels.bytes[i] == 0xF0 && canvas.pixels.bytes[i + 1] == 0xF0 &&
                        canvas.pixels.bytes[i + 2] == 0xF0;
      if (background) continue;
      ASSERT_TRUE(std::equal(canvas.pixels.bytes.begin() + static_cast<std::ptrdiff_t>(i),
                             canvas.pixels.bytes.begin() + static_cast<std::ptrdiff_t>(i) + 3,
                             whole.bytes.begin() + static_cast<std::ptrdiff_t>(i)))
          << c.name << " pixel " << i / 3;
    }
  }
}

TEST(DamagedArt, ARunSpanningMoreThan2048EndsThePicture) {
  ItemArt art = StandardItem(7);  // row 1 holds a run with skip 2000 and length 100
  Canvas canvas(16, 8);
  DrawContext ctx = canvas.Context();
  DrawArtBytes(ctx, canvas.Request(), EncodeItemArt(art));
  Canvas clean(16, 8);
  PixelBuffer expected = ExpectedItem(clean.pixels, art, 4, 2, 0, clean.data->hues, 1);
  EXPECT_EQ(canvas.pixels.bytes, expected.bytes);
  EXPECT_EQ(DrawnPixels(canvas.pixels), 8);
}

TEST(DamagedArt, ShortLandTilesDrawTheColoursThereAre) {
  struct Case {
    std::size_t bytes;
    int drawn;
  } cases[] = {{4, 0}, {5, 0}, {6, 1}, {7, 1}, {100, 48}, {2023, 1009}};
  const Bytes tile = EncodeLandTile(StandardLandColors(2));
  for (const Case& c : cases) {
    Canvas canvas(96, 56);
    DrawContext ctx = canvas.Context();
    DrawArtBytes(ctx, canvas.Request(4, 2), Bytes(tile.begin(), tile.begin() + static_cast<std::ptrdiff_t>(c.bytes)));
    EXPECT_EQ(DrawnPixels(canvas.pixels), c.drawn) << c.bytes;
  }
}

}  // namespace
}  // namespace tilvo
