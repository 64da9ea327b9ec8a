#include "artcontrol/render/art_entry.h"

#include "artcontrol/clientdata/byte_reader.h"
#include "artcontrol/render/backdrop_box.h"
#include "artcontrol/render/colour.h"
#include "artcontrol/render/pixel_buffer.h"

namespace tilvo {

namespace {

constexpr std::uint16_t kMaxItemExtent = 1024;
constexpr std::uint32_t kMaxRunSpan = 2048;
constexpr std::size_t kItemHeaderSize = 8;
constexpr int kLandRows = 45;
constexpr int kLandHalf = 22;

bool IsItemHeader(std::uint32_t first) { return first != 0 && first <= 0xFFFF; }

}  // namespace

void DrawArtEntry(DrawContext& ctx, const DrawRequest& req) {
  const std::vector<std::uint8_t>* bytes = GetArt(ctx.artCache, ctx.data, ctx.files, req.index);
  if (bytes == nullptr) return;
  DrawArtBytes(ctx, req, *bytes);
}

void DrawArtBytes(DrawContext& ctx, const DrawRequest& req, std::span<const std::uint8_t> entry) {
  ByteReader reader(entry);
  std::uint32_t first = 0;
  if (!reader.ReadU32(first)) return;
  if (IsItemHeader(first)) {
    DrawItemArt(ctx, req, entry);
  } else {
    DrawLandTile(ctx, req, entry);
  }
}

void DrawItemArt(DrawContext& ctx, const DrawRequest& req, std::span<const std::uint8_t> entry) {
  ByteReader reader(entry);
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  if (!reader.Skip(4) || !reader.ReadU16(width) || !reader.ReadU16(height)) return;
  if (width == 0 || width > kMaxItemExtent || height == 0 || height > kMaxItemExtent) return;
  std::span<const std::uint8_t> rowStarts;
  if (!reader.Take(std::size_t{2} * height, rowStarts)) return;
  const std::size_t runsStart = kItemHeaderSize + std::size_t{2} * height;
  ByteReader table(rowStarts);

  if (req.flags & kFlagBackdrop) DrawBackdropBox(ctx.pixels, req, ctx.xOffset, ctx.yOffset, height);

  const HueEntry* ramp = HueFor(ctx.data.hues, req.hue);
  const std::int64_t left = (BoundsWidth(req) - width) / 2 + ctx.xOffset + RequestXShift(req);
  const std::int64_t top = (BoundsHeight(req) - height) / 2 + ctx.yOffset + RequestYShift(req);
  std::int64_t x = 0;
  for (std::uint32_t y = 0; y < height;) {
    std::uint16_t skip = 0;
    std::uint16_t length = 0;
    if (!reader.ReadU16(skip) || !reader.ReadU16(length)) return;
    const std::uint32_t span = std::uint32_t{skip} + length;
    if (span > kMaxRunSpan) return;
    if (span == 0) {
      ++y;
      x = 0;
      if (y == height) break;
      std::uint16_t start = 0;
      table.Seek(std::size_t{2} * y);
      table.ReadU16(start);
      // A row start beyond the entry leaves the reader where it was; the
      // entry is then cut off here rather than read from the wrong place.
      if (!reader.Seek(runsStart + std::size_t{2} * start)) return;
      continue;
    }
    x += skip;
    for (std::uint16_t j = 0; j < length; ++j) {
      std::uint16_t colour = 0;
      if (!reader.ReadU16(colour)) return;
      PutPixel(ctx.pixels, left + x + j, top + y, ApplyRamp(colour, ramp), req);
    }
    x += length;
  }
}

void DrawLandTile(DrawContext& ctx, const DrawRequest& req, std::span<const std::uint8_t> entry) {
  ByteReader reader(entry);
  // The first two colours of the entry are never drawn. A usual entry of 2024
  // bytes then runs out two pixels early: the diamond's last two pixels stay
  // undrawn rather than be read from beyond it.
  if (!reader.Skip(4)) return;
  const HueEntry* ramp = HueFor(ctx.data.hues, req.hue);
  const std::int64_t left = (BoundsWidth(req) - 44) / 2 + ctx.xOffset + RequestXShift(req);
  const std::int64_t top = BoundsHeight(req) / 2 - kLandHalf + ctx.yOffset + RequestYShift(req);
  for (int i = 0; i < kLandRows; ++i) {
    const int k = i <= kLandHalf ? i : kLandRows - i;
    for (int col = kLandHalf - k; col <= kLandHalf - 1 + k; ++col) {
      std::uint16_t colour = 0;
      if (!reader.ReadU16(colour)) return;
      PutPixel(ctx.pixels, left + col, top + i, ApplyRamp(colour, ramp), req);
    }
  }
}

}  // namespace tilvo
