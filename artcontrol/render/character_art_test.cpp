#include "artcontrol/render/character_art.h"

#include <gtest/gtest.h>

#include "testing/tilvo/composite_test_support.h"
#include "tilvo/headless_site.h"
#include "tilvo/tilvo.h"

namespace tilvo {
namespace {

using namespace tilvo::testing;
using mkclient::Animation;
using mkclient::StandardAnimation;

TEST(CharacterArt, FrameZeroOfEachStandardEntry) {
  struct Case {
    const char* name;
    std::int32_t type;  // 1, 9 or 10
    int set;
    std::uint32_t entry;
  } cases[] = {
      {"first set", 1, 1, 111},
      {"first set, patched", 1, 1, 221},
      {"first set, 22001", 1, 1, 22001},
      {"first set, 35001", 1, 1, 35001},
      {"second set, patched", 9, 2, 111},
      {"second set", 9, 2, 22001},
      {"third set", 10, 3, 33001},
      {"third set, 128626", 10, 3, 128626},
      {"third set, only in verdata", 10, 3, 33111},
      {"a frame without its end mark", 1, 1, mkclient::kAnimNoEndMark},
      {"a chunk longer than the entry", 1, 1, mkclient::kAnimChunkBeyond},
  };
  for (const Case& c : cases) {
    const std::optional<Animation> animation = StandardAnimation(c.set, c.entry);
    ASSERT_TRUE(animation.has_value()) << c.name;
    ClientCanvas canvas(64, 32);
    canvas.Draw(c.type, c.entry);
    Canvas clean(64, 32);
    EXPECT_EQ(canvas.pixels.bytes, ExpectedFrame(clean.pixels, *animation, 0, 0, 0, clean.data->hues).bytes) << c.name;
  }
}

TEST(CharacterArt, RowsAreCountedByTagChangesAndColourZeroIsDrawn) {
  ClientCanvas canvas(64, 32);
  canvas.Draw(1, 111);
  // First row 16 - 5 + 2 = 13; the first chunk starts 6 left of the middle with palette colour 0.
  EXPECT_EQ(PixelAt(canvas.pixels, 26, 13), 0u);
  EXPECT_EQ(PixelAt(canvas.pixels, 25, 13), kBackground);
  // Tags 0, 0, 1, 3, 4, 4: four rows, 13 to 16, nothing below.
  for (int x = 0; x < 64; ++x) {
    EXPECT_EQ(PixelAt(canvas.pixels, x, 12), kBackground) << x;
    EXPECT_EQ(PixelAt(canvas.pixels, x, 17), kBackground) << x;
  }
  EXPECT_NE(PixelAt(canvas.pixels, 28, 15), kBackground);  // tag 3 after tag 1: the third row
  EXPECT_NE(PixelAt(canvas.pixels, 20, 16), kBackground);
  EXPECT_EQ(DrawnPixels(canvas.pixels), 8 + 3 + 10 + 6 + 2 + 1);
}

TEST(CharacterArt, HueScrollAndTheRequestsOwnOffsets) {
  const Animation animation = *StandardAnimation(1, 111);
  ClientCanvas canvas(64, 32);
  DrawContext ctx = canvas.Context(-7, 5);
  DrawRequest req = canvas.Request(1, 111);
  req.hue = 2;
  req.xOffset = 11;  // not used
  req.yOffset = -9;
  DrawObject(ctx, req);
  Canvas clean(64, 32);
  EXPECT_EQ(canvas.pixels.bytes, ExpectedFrame(clean.pixels, animation, -7, 5, 2, canvas.data->hues).bytes);
  EXPECT_NE(canvas.pixels.bytes, ExpectedFrame(clean.pixels, animation, -7, 5, 0, canvas.data->hues).bytes);
}

TEST(CharacterArt, DamagedOrMissingEntriesDrawNothing) {
  struct Case {
    const char* name;
    std::int32_t type;
    std::uint32_t entry;
  } cases[] = {
      {"frame count 0", 1, mkclient::kAnimNoFrames},
      {"frame position beyond the entry", 1, mkclient::kAnimFrameBeyond},
      {"palette only", 1, mkclient::kAnimPaletteOnly},
      {"absent", 1, 5},
      {"beyond the index", 1, 900000},
      {"absent in the second set", 9, 111 + 110},
      {"third set, absent", 10, 33002},
  };
  for (const Case& c : cases) {
    ClientCanvas canvas(64, 32);
    canvas.Draw(c.type, c.entry);
    EXPECT_EQ(DrawnPixels(canvas.pixels), 0) << c.name;
  }
}

TEST(CharacterArt, ChunkHeadersAtTheirLimits) {
  mkclient::Animation animation{};
  for (unsigned i = 0; i < 256; ++i) animation.palette[i] = static_cast<std::uint16_t>(i | 0x400);
  mkclient::AnimFrame frame{0, 0, {}, true};
  frame.chunks.push_back({-512, 0, {1, 2}});
  frame.chunks.push_back({511, 15, {3}});
  frame.chunks.push_back({0, 0, std::vector<std::uint8_t>(4095, 4)});
  animation.frames.push_back(frame);
  const mkclient::Bytes bytes = mkclient::EncodeAnimation(animation);
  Canvas canvas(1040, 8);
  DrawContext ctx = canvas.Context();
  DrawAnimationFrame(ctx, canvas.Request(1), bytes);
  Canvas clean(1040, 8);
  EXPECT_EQ(canvas.pixels.bytes, ExpectedFrame(clean.pixels, animation, 0, 0, 0, clean.data->hues).bytes);
  EXPECT_EQ(PixelAt(canvas.pixels, 8, 4), ToColorRef(0x401));
  EXPECT_EQ(PixelAt(canvas.pixels, 1031, 5), ToColorRef(0x403));
  // Cut anywhere, the entry draws a prefix of that picture and never more.
  for (std::size_t keep = 0; keep < bytes.size(); keep += 97) {
    Canvas cut(1040, 8);
    DrawContext cutCtx = cut.Context();
    DrawAnimationFrame(cutCtx, cut.Request(1), std::span(bytes.data(), keep));
    for (int y = 0; y < cut.pixels.h; ++y) {
      for (int x = 0; x < cut.pixels.w; ++x) {
        const std::uint32_t colour = PixelAt(cut.pixels, x, y);
        if (colour != kBackground) {
          ASSERT_EQ(colour, PixelAt(canvas.pixels, x, y)) << keep;
        }
      }
    }
  }
}

TEST(CharacterArt, TheControlRecordsTheSetAndASecondSetNpcLosesItsHue) {
  struct Case {
    const char* name;
    std::int32_t body;
    std::int16_t typeAfter;
    int set;
    std::uint32_t entry;
    bool huedAgain;
  } cases[] = {
      {"first set keeps its hue", 1, 1, 1, 111, true},
      {"185 is drawn as 400", 185, 1, 1, 35001, true},
      {"122 in the second set", 122, 9, 2, 22001, false},
      {"300 in the third set", 300, 10, 3, 33001, false},
      {"935 in the third set", 935, 10, 3, 128626, false},
  };
  for (const Case& c : cases) {
    HeadlessSite site;
    CTilvoCtrl ctrl(site, StandardClientFolder().Path());
    ctrl.SetBkColor(static_cast<std::int32_t>(kBackground), 0);
    ctrl.SetObject(1, c.body);
    ctrl.SetArtColor(2);
    ctrl.OnDraw(Rect{0, 0, 64, 32});
    EXPECT_EQ(ctrl.GetArtType(), c.typeAfter) << c.name;
    Canvas clean(64, 32);
    ClientCanvas hues(8, 8);
    const Animation animation = *StandardAnimation(c.set, c.entry);
    EXPECT_EQ(ctrl.Picture().bytes, ExpectedFrame(clean.pixels, animation, 0, 0, 2, hues.data->hues).bytes) << c.name;
    ctrl.RedrawControl();
    ctrl.OnDraw(Rect{0, 0, 64, 32});
    EXPECT_EQ(ctrl.GetArtColor(), c.huedAgain ? 2 : 0) << c.name;
    EXPECT_EQ(ctrl.Picture().bytes,
              ExpectedFrame(clean.pixels, animation, 0, 0, c.huedAgain ? 2 : 0, hues.data->hues).bytes)
        << c.name;
  }
}

}  // namespace
}  // namespace tilvo
