#include "artcontrol/render/backdrop_box.h"

#include <algorithm>

#include "artcontrol/render/pixel_buffer.h"

namespace tilvo {

namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kFloor = 0xEAEDEE;      // red 238, green 237, blue 234
constexpr std::uint32_t kLeftWall = 0x656D6F;   // red 111, green 109, blue 101
constexpr std::uint32_t kRightWall = 0xAAAAAA;  // red, green and blue 170

// Rows further than this from the picture can never address a pixel inside
// it (columns stay within about 2^32 of it), and keeping y below it keeps
// y * W inside 64 bits.
constexpr std::int64_t kFarRow = std::int64_t{1} << 36;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

// The backdrop's geometry and its linear addressing of the picture.
struct Box {
  PixelBuffer& pixels;
  std::int64_t W;
  std::int64_t H;
  std::int64_t count;  // pixels in the picture
  std::int64_t cx;     // the item's middle column
  std::int64_t cy;     // the item's bottom row

  // Linear number of (x, y), or -1 when it cannot be inside the picture.
  std::int64_t Linear(std::int64_t x, std::int64_t y) const {
    if (y < -kFarRow || y > kFarRow) return -1;
    return y * W + x;
  }
  void Plot(std::int64_t x, std::int64_t y, std::uint32_t colour) { PutLinearPixel(pixels, Linear(x, y), colour); }

  // The rows of column x whose linear number lies inside the picture; empty
  // when first > last. Loops only visit these, so a far scroll costs nothing.
  struct Rows {
    std::int64_t first;
    std::int64_t last;
  };
  Rows RowsInside(std::int64_t x) const { return {-FloorDiv(x, W), FloorDiv(count - 1 - x, W)}; }

  // The columns from x0 to x1 at which a line whose rows stay within ymin to
  // ymax can reach the picture.
  void ClipColumns(std::int64_t& x0, std::int64_t& x1, std::int64_t ymin, std::int64_t ymax) const {
    ymin = std::clamp(ymin, -kFarRow, kFarRow);
    ymax = std::clamp(ymax, -kFarRow, kFarRow);
    x0 = std::max(x0, -ymax * W);
    x1 = std::min(x1, count - 1 - ymin * W);
  }

  // Draws a vertical black line in column x from row 0 to row last.
  void VerticalLine(std::int64_t x, std::int64_t last) {
    Rows rows = RowsInside(x);
    for (std::int64_t y = std::max<std::int64_t>(0, rows.first); y <= std::min(last, rows.last); ++y) {
      Plot(x, y, kBlack);
    }
  }

  // Paints column x downward from row 1 to row cy - 1, stopping at the first
  // pixel inside the picture whose blue byte is 0.
  void FillWallColumn(std::int64_t x, std::uint32_t colour) {
    Rows rows = RowsInside(x);
    for (std::int64_t y = std::max<std::int64_t>(1, rows.first); y <= std::min(cy - 1, rows.last); ++y) {
      std::int64_t p = Linear(x, y);
      if (BlueAtLinear(pixels, p) == 0) return;
      PutLinearPixel(pixels, p, colour);
    }
  }

  // One pixel of the floor fill: false when the column must stop here.
  bool FillFloorPixel(std::int64_t x, std::int64_t y) {
    std::int64_t p = Linear(x, y);
    int blue = BlueAtLinear(pixels, p);
    if (blue < 0) return true;
    if (blue == 0) return false;
    PutLinearPixel(pixels, p, kFloor);
    return true;
  }
};

}  // namespace

void DrawBackdropBox(PixelBuffer& pixels, const DrawRequest& bounds, std::int32_t xOffset, std::int32_t yOffset,
                     std::int32_t itemHeight) {
  Box box{pixels, BoundsWidth(bounds), BoundsHeight(bounds), std::int64_t{pixels.w} * pixels.h, 0, 0};
  const std::int64_t W = box.W;
  if (W <= 0 || box.H <= 0 || box.count <= 0) return;
  const std::int64_t cx = W / 2 + xOffset;
  const std::int64_t cy = box.H / 2 + yOffset + itemHeight / 2;
  box.cx = cx;
  box.cy = cy;

  // Left floor lines, from the left edge to the middle column.
  if (cx > 0) {
    // (x * W) / (2 * cx) grows from 0 to W / 2 over the loop.
    std::int64_t x0 = 0;
    std::int64_t x1 = cx;
    box.ClipColumns(x0, x1, std::min(cy - W / 2, cy - 44), std::max(cy, cy - 44 + W / 2));
    for (std::int64_t x = x0; x <= x1; ++x) {
      std::int64_t q = (x * W) / (2 * cx);
      box.Plot(x, cy + q - W / 2, kBlack);
      box.Plot(x, cy - 44 + W / 2 - q, kBlack);
    }
  }
  // Right floor lines, from the middle column to the right edge; the loop is
  // empty when cx >= W, so the divisors are never 0.
  if (cx <= W - 1) {
    std::int64_t x0 = cx;
    std::int64_t x1 = W - 1;
    // Both quotients are monotonic in x, so their ends bound the rows.
    std::int64_t lowA = (x1 * W) / (2 * (cx - W));
    std::int64_t highA = (x0 * W) / (2 * (cx - W));
    std::int64_t lowB = (x0 * W) / (2 * (W - cx));
    std::int64_t highB = (x1 * W) / (2 * (W - cx));
    box.ClipColumns(x0, x1, std::min(cy + W / 2 + lowA, cy - 44 - W / 2 + lowB),
                    std::max(cy + W / 2 + highA, cy - 44 - W / 2 + highB));
    for (std::int64_t x = x0; x <= x1; ++x) {
      box.Plot(x, cy + W / 2 + (x * W) / (2 * (cx - W)), kBlack);
      box.Plot(x, cy - 44 - W / 2 + (x * W) / (2 * (W - cx)), kBlack);
    }
  }
  // Vertical lines from row 0: the two side corners of the tile and its middle.
  if (cy - 22 > 0) {
    box.VerticalLine(cx - 22, cy - 23);
    box.VerticalLine(cx + 22, cy - 23);
  }
  if (cy - 44 > 0) box.VerticalLine(cx, cy - 45);
  // The top edge on row 0.
  for (std::int64_t x = cx - 22; x <= cx + 22; ++x) box.Plot(x, 0, kBlack);

  // The floor spreads up and down from the tile's centre row in every column
  // until it meets a black line.
  for (std::int64_t x = cx - 22; x <= cx + 22; ++x) {
    for (std::int64_t k = 0; k <= box.H / 2 - 1; ++k) {
      if (!box.FillFloorPixel(x, cy - 22 - k)) break;
      if (!box.FillFloorPixel(x, cy - 22 + k)) break;
    }
  }
  // The walls fill down from row 1 until they meet the floor's upper lines.
  for (std::int64_t x = cx - 22; x <= cx - 1; ++x) box.FillWallColumn(x, kLeftWall);
  for (std::int64_t x = cx + 1; x <= cx + 21; ++x) box.FillWallColumn(x, kRightWall);
}

}  // namespace tilvo
