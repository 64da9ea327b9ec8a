#include "artcontrol/render/backdrop_box.h"

#include <gtest/gtest.h>

#include "artcontrol/render/art_entry.h"
#include "testing/tilvo/render_test_support.h"

namespace tilvo {
namespace {

using namespace tilvo::testing;

constexpr std::uint32_t kBlack = 0;
constexpr std::uint32_t kFloor = 0xEAEDEE;
constexpr std::uint32_t kLeftWall = 0x656D6F;
constexpr std::uint32_t kRightWall = 0xAAAAAA;

// The backdrop drawn the slow way: every step over its whole range, each
// pixel addressed by y * W + x and kept when inside the picture.
void ReferenceBackdrop(PixelBuffer& p, std::int64_t xOffset, std::int64_t yOffset, std::int64_t h) {
  const std::int64_t W = p.w, H = p.h, count = W * H;
  const std::int64_t cx = W / 2 + xOffset, cy = H / 2 + yOffset + h / 2;
  auto inside = [&](std::int64_t x, std::int64_t y) { return y * W + x >= 0 && 3 * (y * W + x) < count * 3 - 1; };
  auto put = [&](std::int64_t x, std::int64_t y, std::uint32_t c) {
    if (!inside(x, y)) return;
    std::size_t at = static_cast<std::size_t>(y * W + x) * 3;
    p.bytes[at] = static_cast<std::uint8_t>(c >> 16);
    p.bytes[at + 1] = static_cast<std::uint8_t>(c >> 8);
    p.bytes[at + 2] = static_cast<std::uint8_t>(c);
  };
  auto blue = [&](std::int64_t x, std::int64_t y) { return p.bytes[static_cast<std::size_t>(y * W + x) * 3]; };
  if (cx > 0) {
    for (std::int64_t x = 0; x <= cx; ++x) {
      put(x, cy + (x * W) / (2 * cx) - W / 2, kBlack);
      put(x, cy - 44 + W / 2 - (x * W) / (2 * cx), kBlack);
    }
  }
  for (std::int64_t x = cx; x <= W - 1; ++x) {
    put(x, cy + W / 2 + (x * W) / (2 * (cx - W)), kBlack);
    put(x, cy - 44 - W / 2 + (x * W) / (2 * (W - cx)), kBlack);
  }
  if (cy - 22 > 0) {
    for (std::int64_t y = 0; y <= cy - 23; ++y) {
      put(cx - 22, y, kBlack);
      put(cx + 22, y, kBlack);
    }
  }
  if (cy - 44 > 0) {
    for (std::int64_t y = 0; y <= cy - 45; ++y) put(cx, y, kBlack);
  }
  for (std::int64_t x = cx - 22; x <= cx + 22; ++x) put(x, 0, kBlack);
  for (std::int64_t x = cx - 22; x <= cx + 22; ++x) {
    bool stop = false;
    for (std::int64_t k = 0; k <= H / 2 - 1 && !stop; ++k) {
      for (std::int64_t y : {cy - 22 - k, cy - 22 + k}) {
        if (!inside(x, y)) continue;
        if (blue(x, y) == 0) {
          stop = true;
          break;
        }
        put(x, y, kFloor);
      }
    }
  }
  auto wall = [&](std::int64_t from, std::int64_t to, std::uint32_t colour) {
    for (std::int64_t x = from; x <= to; ++x) {
      for (std::int64_t y = 1; y <= cy - 1; ++y) {
        if (!inside(x, y)) continue;
        if (blue(x, y) == 0) break;
        put(x, y, colour);
      }
    }
  };
  wall(cx - 22, cx - 1, kLeftWall);
  wall(cx + 1, cx + 21, kRightWall);
}

TEST(BackdropBox, MatchesTheStepByStepDrawingAtAnyScroll) {
  struct Case {
    std::int32_t w, h, xOffset, yOffset, itemHeight;
  } cases[] = {
      {96, 56, 0, 0, 30},   {96, 56, 0, 0, 1},     {320, 240, 0, 0, 60},  {320, 240, 17, -9, 44},
      {96, 56, -48, 0, 30}, {96, 56, 48, 0, 30},   {96, 56, 47, 3, 30},   {96, 56, 49, 3, 30},
      {96, 56, 300, 0, 30}, {96, 56, -300, 0, 30}, {96, 56, 0, 200, 30},  {96, 56, 0, -200, 30},
      {64, 48, 2500, -40, 10}, {64, 48, -2500, 60, 10}, {8, 8, 0, 0, 1024}, {8, 64, 3, 0, 5},
      {640, 480, -5, 7, 100},
      // Far enough that the lines only reach the picture by wrapping from row to row.
      {64, 48, -200000, 300000, 10}, {64, 48, 150000, -2372, 10}, {64, 48, -100000, 3125, 10},
      {64, 48, 3100, -77, 10},
  };
  for (const Case& c : cases) {
    Canvas canvas(c.w, c.h);
    DrawBackdropBox(canvas.pixels, canvas.Request(), c.xOffset, c.yOffset, c.itemHeight);
    Canvas reference(c.w, c.h);
    ReferenceBackdrop(reference.pixels, c.xOffset, c.yOffset, c.itemHeight);
    EXPECT_EQ(canvas.pixels.bytes, reference.pixels.bytes)
        << c.w << "x" << c.h << " offsets " << c.xOffset << "," << c.yOffset << " height " << c.itemHeight;
  }
}

TEST(BackdropBox, DrawsTheRoomCornerAroundTheTile) {
  Canvas canvas(96, 120);
  DrawBackdropBox(canvas.pixels, canvas.Request(), 0, 0, 30);
  const int cx = 48, cy = 60 + 15;  // the item's middle column and bottom row
  struct Case {
    const char* what;
    int x, y;
    std::uint32_t colour;
  } cases[] = {
      {"floor lines meet below", cx, cy, kBlack},
      {"floor lines meet above", cx, cy - 44, kBlack},
      {"left corner", cx - 22, cy - 22, kBlack},
      {"right corner", cx + 22, cy - 22, kBlack},
      {"tile centre", cx, cy - 22, kFloor},
      {"floor near the lower corner", cx, cy - 1, kFloor},
      {"below the lower corner", cx, cy + 1, kBackground},
      {"top edge", cx - 22, 0, kBlack},
      {"top edge end", cx + 22, 0, kBlack},
      {"left wall", cx - 10, 1, kLeftWall},
      {"right wall", cx + 10, 1, kRightWall},
      {"back corner line", cx, 0, kBlack},
      {"outside the walls", cx - 30, 1, kBackground},
  };
  for (const Case& c : cases) EXPECT_EQ(PixelAt(canvas.pixels, c.x, c.y), c.colour) << c.what;
}

TEST(BackdropBox, DrawsNothingIntoAnEmptyPictureAndSurvivesExtremeScrolls) {
  Canvas empty(0, 0);
  DrawBackdropBox(empty.pixels, empty.Request(), 0, 0, 30);
  EXPECT_TRUE(empty.pixels.bytes.empty());
  // Scrolled this far the loops must neither take forever nor overflow; what
  // wraps into the picture is still only backdrop colours.
  const std::int32_t extremes[] = {2147483647, -2147483647 - 1};
  for (std::int32_t x : extremes) {
    for (std::int32_t y : extremes) {
      Canvas canvas(64, 48);
      DrawBackdropBox(canvas.pixels, canvas.Request(), x, y, 1024);
      for (int py = 0; py < 48; ++py) {
        for (int px = 0; px < 64; ++px) {
          std::uint32_t c = PixelAt(canvas.pixels, px, py);
          EXPECT_TRUE(c == kBackground || c == kBlack || c == kFloor || c == kLeftWall || c == kRightWall)
              << x << "," << y;
        }
      }
    }
  }
}

TEST(BackdropBox, OnlyItemArtAsksForIt) {
  Canvas item(96, 56);
  DrawContext ctx = item.Context();
  DrawRequest req = item.Request();
  req.flags = kFlagBackdrop;
  mkclient::ItemArt art = mkclient::StandardItem(1);
  DrawArtBytes(ctx, req, mkclient::EncodeItemArt(art));
  Canvas expected(96, 56);
  DrawBackdropBox(expected.pixels, expected.Request(), 0, 0, 30);
  PixelBuffer withItem = ExpectedItem(expected.pixels, art, 38, 13, 0, expected.data->hues);
  EXPECT_EQ(item.pixels.bytes, withItem.bytes);

  Canvas land(96, 56);
  DrawContext landCtx = land.Context();
  DrawArtBytes(landCtx, req, mkclient::EncodeLandTile(mkclient::StandardLandColors(1)));
  Canvas plain(96, 56);
  DrawContext plainCtx = plain.Context();
  DrawArtBytes(plainCtx, plain.Request(), mkclient::EncodeLandTile(mkclient::StandardLandColors(1)));
  EXPECT_EQ(land.pixels.bytes, plain.pixels.bytes);
}

}  // namespace
}  // namespace tilvo
