#include "artcontrol/render/pixel_buffer.h"

#include <gtest/gtest.h>

#include <vector>

namespace tilvo {
namespace {

TEST(PictureSize, RoundsTheBoundsDownToMultiplesOfEight) {
  struct Case {
    Rect bounds;
    std::int32_t w, h;
  } cases[] = {
      {{0, 0, 100, 61}, 96, 56},
      {{10, 20, 110, 81}, 96, 56},     // only the extent counts
      {{0, 0, 7, 100}, 0, 96},         // narrower than 8: width 0
      {{0, 0, 8, 8}, 8, 8},
      {{0, 0, 0, 0}, 0, 0},
      {{0, 0, -13, 40}, 0, 0},         // a negative extent draws nothing
      {{0, 0, 640, -1}, 640, 0},       // -1 less its remainder -1 is 0
      {{0, 0, 8192, 4096}, 8192, 4096},  // the largest picture allocated
      {{0, 0, 8192, 4104}, 0, 0},        // one row of eight more is refused
      {{-2147483647 - 1, 0, 2147483647, 8}, 0, 0},
  };
  for (const Case& c : cases) {
    PictureSize size = PictureSizeFor(c.bounds);
    EXPECT_EQ(size.w, c.w) << c.bounds.right - c.bounds.left;
    EXPECT_EQ(size.h, c.h) << c.bounds.bottom - c.bounds.top;
  }
}

TEST(FillPicture, StoresBlueGreenRedForEveryPixel) {
  PixelBuffer pixels;
  FillPicture(pixels, {16, 8}, 0x000000FF);
  ASSERT_EQ(pixels.bytes.size(), 16u * 8u * 3u);
  for (std::size_t i = 0; i < pixels.bytes.size(); i += 3) {
    ASSERT_EQ(pixels.bytes[i], 0x00);
    ASSERT_EQ(pixels.bytes[i + 1], 0x00);
    ASSERT_EQ(pixels.bytes[i + 2], 0xFF);
  }
  FillPicture(pixels, {8, 8}, 0x00123456);  // reallocated to exactly the new size
  ASSERT_EQ(pixels.bytes.size(), 8u * 8u * 3u);
  EXPECT_EQ(pixels.bytes[0], 0x12);
  EXPECT_EQ(pixels.bytes[1], 0x34);
  EXPECT_EQ(pixels.bytes[2], 0x56);
  FillPicture(pixels, {0, 8}, 0);
  EXPECT_TRUE(pixels.bytes.empty());
}

TEST(PutPixel, ClipsToTheBoundsWithoutWrapping) {
  struct Case {
    std::int64_t x, y;
    bool stored;
  } cases[] = {
      {0, 0, true},   {15, 0, true},  {0, 7, true},   {15, 7, true},
      {16, 0, false},  // x = W would be the next row's first pixel
      {0, 8, false},   // y = H
      {-1, 1, false},  // would be the previous row's last pixel
      {3, -1, false},
      {-100000, 0, false},
      {std::int64_t{1} << 40, 0, false},
      {0, std::int64_t{1} << 40, false},
  };
  DrawRequest bounds;
  bounds.right = 16;
  bounds.bottom = 8;
  for (const Case& c : cases) {
    PixelBuffer pixels;
    FillPicture(pixels, {16, 8}, 0x00FFFFFF);
    PutPixel(pixels, c.x, c.y, 0x00010203, bounds);
    std::vector<std::uint8_t> expected(16 * 8 * 3, 0xFF);
    if (c.stored) {
      std::size_t at = static_cast<std::size_t>(c.y * 16 + c.x) * 3;
      expected[at] = 0x01;
      expected[at + 1] = 0x02;
      expected[at + 2] = 0x03;
    }
    EXPECT_EQ(pixels.bytes, expected) << c.x << "," << c.y;
  }
}

TEST(PutPixel, NeverWritesOutsideThePictureWhateverTheBounds) {
  PixelBuffer pixels;
  FillPicture(pixels, {8, 8}, 0);
  DrawRequest wide;
  wide.right = 64;
  wide.bottom = 64;
  PutPixel(pixels, 8, 0, 0x00FFFFFF, wide);
  PutPixel(pixels, 0, 8, 0x00FFFFFF, wide);
  EXPECT_EQ(pixels.bytes, std::vector<std::uint8_t>(8 * 8 * 3, 0));
}

TEST(LinearPixels, AddressOnlyThePicture) {
  PixelBuffer pixels;
  FillPicture(pixels, {8, 8}, 0x00AABBCC);
  EXPECT_EQ(BlueAtLinear(pixels, 0), 0xAA);
  EXPECT_EQ(BlueAtLinear(pixels, 63), 0xAA);
  EXPECT_EQ(BlueAtLinear(pixels, 64), -1);
  EXPECT_EQ(BlueAtLinear(pixels, -1), -1);
  EXPECT_FALSE(PutLinearPixel(pixels, 64, 0));
  EXPECT_FALSE(PutLinearPixel(pixels, -1, 0));
  EXPECT_TRUE(PutLinearPixel(pixels, 63, 0x00000011));
  EXPECT_EQ(pixels.bytes[63 * 3 + 2], 0x11);
  EXPECT_EQ(BlueAtLinear(pixels, 63), 0);
}

}  // namespace
}  // namespace tilvo
