#include "artcontrol/render/texture.h"

#include <gtest/gtest.h>

#include "testing/tilvo/composite_test_support.h"

namespace tilvo {
namespace {

using namespace tilvo::testing;
using mkclient::StandardTexture;

constexpr std::int32_t kTextures = 5;

TEST(Texture, EdgeFromTheExtraValueOrTheLength) {
  struct Case {
    std::uint32_t extra, length, edge;
  } cases[] = {
      {0, 0x2000, 64},        {0, 0x8000, 128},       {0, 0x1000, 128},       {0, 0x2001, 128},
      {0, 0, 128},            {8, 0x2000, 8},         {0x00010000, 0x2000, 0}, {0x00050010, 0x200, 16},
      {0xFFFFFFFF, 4, 0xFFFF},
  };
  for (const Case& c : cases) EXPECT_EQ(TextureEdge(c.extra, c.length), c.edge) << c.extra << " " << c.length;
}

TEST(Texture, DrawsEachStandardTextureCentred) {
  auto colour = [](std::uint16_t v) { return ToColorRef(v); };
  struct Case {
    const char* name;
    std::uint32_t index;
    std::int32_t w, h, xOffset, yOffset;
    std::size_t drawn;  // values drawn, row after row
    std::int64_t left, top;
  } cases[] = {
      {"0x2000 bytes: 64 x 64", 1, 96, 56, 0, 0, 64 * 64, 16, -4},
      {"0x8000 bytes: 128 x 128", 2, 160, 160, 0, 0, 128 * 128, 16, 16},
      {"scrolled", 2, 160, 160, -20, 9, 128 * 128, -4, 25},
      {"edge 8 from the extra value, colour 0 black", 4, 96, 56, 0, 0, 64, 44, 24},
      {"edge 16 with data for 4 rows", 5, 96, 56, 0, 0, 64, 40, 20},
      {"the patch: 0x2000 bytes, extra 0", 6, 96, 56, 0, 0, 64 * 64, 16, -4},
      {"0x1000 bytes: edge 128 with 16 rows of data", 7, 160, 160, 0, 0, 0x800, 16, 16},
  };
  for (const Case& c : cases) {
    ClientCanvas canvas(c.w, c.h);
    canvas.Draw(kTextures, c.index, c.xOffset, c.yOffset, 3);  // a hue changes nothing
    Canvas clean(c.w, c.h);
    PixelBuffer expected =
        ExpectedSquare(clean.pixels, StandardTexture(static_cast<int>(c.index)), c.drawn, c.left, c.top, colour);
    EXPECT_EQ(canvas.pixels.bytes, expected.bytes) << c.name;
  }
  ClientCanvas black(96, 56);
  black.Draw(kTextures, 4);
  EXPECT_EQ(PixelAt(black.pixels, 44, 24), 0u);
}

TEST(Texture, NothingForEdgeZeroOrNoEntry) {
  for (std::uint32_t index : {3u, 0u, 8u, 0xFFFu}) {
    ClientCanvas canvas(96, 56);
    canvas.Draw(kTextures, index);
    EXPECT_EQ(DrawnPixels(canvas.pixels), 0) << index;
  }
}

}  // namespace
}  // namespace tilvo
