#include "artcontrol/render/light.h"

#include <gtest/gtest.h>

#include "testing/tilvo/composite_test_support.h"

namespace tilvo {
namespace {

using namespace tilvo::testing;
using mkclient::StandardLight;

constexpr std::int32_t kLights = 7;

std::uint32_t LightColour(std::uint16_t v) { return ToColorRef(static_cast<std::uint16_t>(v << 8)); }

TEST(Light, ByteLandsInTheUpperHalfOfAClientColour) {
  struct Case {
    std::uint16_t v;
    std::uint32_t colour;
  } cases[] = {
      {0xFF, 0x0000C5FF},  // red 255, green 24 * 255 / 31 = 197
      {0x04, 0x00000008},  // red 1 * 255 / 31 = 8
      {0x00, 0x00000000},
      {0x03, 0x0000C500},  // green only
      {0x7C, 0x000000FF},  // red only
      {0x80, 0x00000000},  // only bit 15, which is ignored
  };
  for (const Case& c : cases) EXPECT_EQ(LightColour(c.v), c.colour) << c.v;
}

TEST(Light, DrawsEachStandardLightCentred) {
  struct Case {
    const char* name;
    std::uint32_t index;
    std::int32_t w, h;
    std::size_t drawn;
    std::int64_t left, top;
  } cases[] = {
      {"4 x 4", 1, 16, 16, 16, 6, 6},
      {"edge 8 with data for 2 rows", 2, 16, 16, 16, 4, 4},
      {"the patch with its extra value", 3, 16, 16, 9, 7, 7},
  };
  for (const Case& c : cases) {
    ClientCanvas canvas(c.w, c.h);
    canvas.Draw(kLights, c.index, 0, 0, 2);  // a hue changes nothing
    Canvas clean(c.w, c.h);
    PixelBuffer expected =
        ExpectedSquare(clean.pixels, StandardLight(static_cast<int>(c.index)), c.drawn, c.left, c.top, LightColour);
    EXPECT_EQ(canvas.pixels.bytes, expected.bytes) << c.name;
  }
  ClientCanvas canvas(16, 16);
  canvas.Draw(kLights, 1);
  EXPECT_EQ(PixelAt(canvas.pixels, 6, 6), 0x0000C5FFu);
  EXPECT_EQ(PixelAt(canvas.pixels, 7, 6), 0x00000008u);
  EXPECT_EQ(PixelAt(canvas.pixels, 8, 6), 0u);
}

TEST(Light, NothingForEdgeZeroOrNoBytes) {
  Canvas canvas(16, 16);
  DrawContext ctx = canvas.Context();
  DrawLight(ctx, canvas.Request(kLights), {{1, 2, 3, 4}, 4, 0x00020000});
  DrawLight(ctx, canvas.Request(kLights), {{}, 0, 2});
  EXPECT_EQ(DrawnPixels(canvas.pixels), 0);
  ClientCanvas absent(16, 16);
  absent.Draw(kLights, 4);
  EXPECT_EQ(DrawnPixels(absent.pixels), 0);
}

}  // namespace
}  // namespace tilvo
