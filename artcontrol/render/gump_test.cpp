#include "artcontrol/render/gump.h"

#include <gtest/gtest.h>

#include "testing/tilvo/composite_test_support.h"

namespace tilvo {
namespace {

using namespace tilvo::testing;
using mkclient::Bytes;
using mkclient::Client;
using mkclient::EncodeGump;
using mkclient::Gump;
using mkclient::GumpExtra;
using mkclient::StandardGump;

constexpr std::int32_t kGumps = 3;

TEST(Gump, DrawsEachStandardGumpAtItsPlace) {
  Gump withoutRow2 = StandardGump(4);
  withoutRow2.rows[2].clear();
  struct Case {
    const char* name;
    std::uint32_t index;
    std::int32_t w, h, xOffset, yOffset;
    Gump expected;
    std::int64_t left, top;
  } cases[] = {
      {"12 x 6 runs", 1, 96, 56, 0, 0, StandardGump(1), 42, 25},
      {"scrolled", 1, 96, 56, 5, -3, StandardGump(1), 47, 22},
      {"200 x 100: only the middle shows", 2, 96, 56, 0, 0, StandardGump(2), -52, -22},
      {"the patch and its extra value", 3, 96, 56, 0, 0, StandardGump(3), 45, 27},
      {"a row starting beyond the entry is left out", 4, 96, 56, 0, 0, withoutRow2, 45, 26},
      {"absent, but in the patch file; odd sizes halve apart", 6, 96, 56, 0, 0, StandardGump(6), 47, 27},
  };
  for (const Case& c : cases) {
    ClientCanvas canvas(c.w, c.h);
    canvas.Draw(kGumps, c.index, c.xOffset, c.yOffset);
    Canvas clean(c.w, c.h);
    EXPECT_EQ(canvas.pixels.bytes, ExpectedGump(clean.pixels, c.expected, c.left, c.top).bytes) << c.name;
  }
}

TEST(Gump, ColourZeroLeavesTheBackgroundAndAdvances) {
  ClientCanvas canvas(96, 56);
  canvas.Draw(kGumps, 1);
  // Row 0: red at 42 and 43, five transparent columns, blue from 49, green from 52.
  EXPECT_EQ(PixelAt(canvas.pixels, 42, 25), 0x000000FFu);
  EXPECT_EQ(PixelAt(canvas.pixels, 43, 25), 0x000000FFu);
  for (int x = 44; x <= 48; ++x) EXPECT_EQ(PixelAt(canvas.pixels, x, 25), kBackground) << x;
  EXPECT_EQ(PixelAt(canvas.pixels, 49, 25), 0x00FF0000u);
  EXPECT_EQ(PixelAt(canvas.pixels, 52, 25), 0x0000FF00u);
  EXPECT_EQ(PixelAt(canvas.pixels, 53, 25), 0x0000FF00u);
  EXPECT_EQ(PixelAt(canvas.pixels, 54, 25), kBackground);
  EXPECT_EQ(PixelAt(canvas.pixels, 2 * 5 + 49, 26), kBackground);
}

TEST(Gump, NeitherHuedNorMovedByTheRequest) {
  ClientCanvas plain(96, 56);
  plain.Draw(kGumps, 1);
  ClientCanvas other(96, 56);
  DrawContext ctx = other.Context();
  DrawRequest req = other.Request(kGumps, 1);
  req.hue = 1;
  req.xOffset = 7;
  req.yOffset = 3;
  req.flags = 0xFFFF;
  DrawObject(ctx, req);
  EXPECT_EQ(other.pixels.bytes, plain.pixels.bytes);
}

TEST(Gump, NothingForAnEmptyHeightOrACutTable) {
  for (std::uint32_t index : {5u, 7u, 0xFFFFu}) {
    ClientCanvas canvas(96, 56);
    canvas.Draw(kGumps, index);
    EXPECT_EQ(DrawnPixels(canvas.pixels), 0) << index;
  }
  Gump gump = StandardGump(1);
  const Bytes bytes = EncodeGump(gump);
  struct Case {
    const char* name;
    std::size_t keep;
    std::uint32_t extra;
  } cases[] = {
      {"height 0", bytes.size(), 12u << 16},
      {"table cut short", 6 * 4 - 1, GumpExtra(gump)},
      {"no bytes", 0, GumpExtra(gump)},
  };
  for (const Case& c : cases) {
    Canvas canvas(96, 56);
    DrawContext ctx = canvas.Context();
    DrawGump(ctx, canvas.Request(kGumps), {Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(c.keep)),
                                           static_cast<std::uint32_t>(c.keep), c.extra});
    EXPECT_EQ(DrawnPixels(canvas.pixels), 0) << c.name;
  }
}

TEST(Gump, RowsStopAtTheEntrysEnd) {
  Gump gump = StandardGump(1);
  const Bytes bytes = EncodeGump(gump);
  // Cut inside row 5 (after its first run): rows 0 to 4 whole, row 5's first run.
  const std::size_t keep = bytes.size() - 4 * 4;
  Gump drawn = gump;
  drawn.rows[5].resize(1);
  struct Case {
    const char* name;
    std::uint32_t length;
  } cases[] = {
      {"file shorter than the index says", static_cast<std::uint32_t>(bytes.size())},
      {"a length beyond 16 bits counts by its low half", 0x40000 + static_cast<std::uint32_t>(bytes.size())},
  };
  for (const Case& c : cases) {
    Canvas canvas(96, 56);
    DrawContext ctx = canvas.Context();
    DrawGump(ctx, canvas.Request(kGumps),
             {Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(keep)), c.length, GumpExtra(gump)});
    Canvas clean(96, 56);
    EXPECT_EQ(canvas.pixels.bytes, ExpectedGump(clean.pixels, drawn, 42, 25).bytes) << c.name;
  }
}

TEST(Gump, RunsFarOutsideThePictureAreClipped) {
  // One row of 65535-pixel runs (the count says 65535 runs; the entry ends
  // after three), placed far right of the picture and then at its left edge.
  Gump gump{0xFFFF, 1, {{}}};
  Bytes bytes;
  mkclient::PutU32(bytes, 1);
  for (int k = 0; k < 3; ++k) {
    mkclient::PutU16(bytes, Client(31, 0, 0));
    mkclient::PutU16(bytes, 0xFFFF);
  }
  Canvas canvas(16, 8);
  DrawContext ctx = canvas.Context(0x7FFF0000, 0);
  DrawGump(ctx, canvas.Request(kGumps), {bytes, 0x00040000u, GumpExtra(gump)});
  EXPECT_EQ(DrawnPixels(canvas.pixels), 0);
  Canvas near(16, 8);
  DrawContext nearCtx = near.Context(32767 - 8, 0);  // the row's first column lands at x = 0
  DrawGump(nearCtx, near.Request(kGumps), {bytes, 4 + 12, GumpExtra(gump)});
  EXPECT_EQ(DrawnPixels(near.pixels), 16);
}

}  // namespace
}  // namespace tilvo
