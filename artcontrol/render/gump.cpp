#include "artcontrol/render/gump.h"

#include <algorithm>

#include "artcontrol/clientdata/byte_reader.h"
#include "artcontrol/render/centred_picture.h"
#include "artcontrol/render/colour.h"
#include "artcontrol/render/pixel_buffer.h"

namespace tilvo {

namespace {

constexpr std::size_t kRowStartSize = 4;
constexpr std::size_t kContainerHeaderSize = 8;

std::uint32_t RowStart(ByteReader& table, std::uint32_t y) {
  std::uint32_t start = 0;
  table.Seek(std::size_t{y} * kRowStartSize);
  table.ReadU32(start);
  return start;
}

// One row's runs from column 0. A run is stored only where it can be seen:
// a damaged count can make a row billions of pixels wide, and the columns
// past the bounds change nothing but the column itself.
void DrawRow(DrawContext& ctx, const DrawRequest& req, ByteReader& runs, std::uint16_t count, std::int64_t left,
             std::int64_t py) {
  const std::int64_t firstVisible = -left;
  const std::int64_t endVisible = BoundsWidth(req) - left;
  std::int64_t col = 0;
  for (std::uint32_t k = 0; k < count; ++k) {
    std::uint16_t colour = 0;
    std::uint16_t repeat = 0;
    if (!runs.ReadU16(colour) || !runs.ReadU16(repeat)) return;
    if (repeat == 0) continue;
    if (colour != 0) {
      const std::uint32_t value = ToColorRef(colour);
      const std::int64_t from = std::max(col, firstVisible);
      const std::int64_t to = std::min(col + repeat, endVisible);
      for (std::int64_t x = from; x < to; ++x) PutPixel(ctx.pixels, left + x, py, value, req);
    }
    col += repeat;
  }
}

// A gump of width x height whose entry (in gumpart.mul's layout) is bytes, of the stated length.
void DrawRows(DrawContext& ctx, const DrawRequest& req, std::span<const std::uint8_t> bytes, std::uint32_t length,
              std::uint32_t width, std::uint32_t height) {
  if (height == 0 || bytes.size() < std::size_t{height} * kRowStartSize) return;
  ByteReader table(bytes);
  const PictureOrigin origin = CentredOrigin(ctx, req, width, height);
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::int64_t py = origin.top + y;
    // Rows above or below the bounds draw nothing and affect no other row.
    if (py < 0 || py >= BoundsHeight(req)) continue;
    const std::uint32_t start = RowStart(table, y);
    const std::uint32_t next = y + 1 < height ? RowStart(table, y + 1) : length / 4;
    const auto count = static_cast<std::uint16_t>((next & 0xFFFF) - (start & 0xFFFF));
    ByteReader runs(bytes);
    if (!runs.Seek(std::size_t{start} * kRowStartSize)) continue;
    DrawRow(ctx, req, runs, count, origin.left, py);
  }
}

}  // namespace

void DrawGump(DrawContext& ctx, const DrawRequest& req, const IndexedArt& entry) {
  if (!entry.fromContainer) {
    DrawRows(ctx, req, entry.bytes, entry.length, entry.extra >> 16, entry.extra & 0xFFFF);
    return;
  }
  // A container's gump begins with its width and height, which gumpidx.mul
  // keeps in the extra value instead; a size no extra value could hold is damage.
  ByteReader header(entry.bytes);
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  if (!header.ReadU32(width) || !header.ReadU32(height) || width > 0xFFFF || height > 0xFFFF) return;
  const std::span<const std::uint8_t> rows = std::span(entry.bytes).subspan(kContainerHeaderSize);
  DrawRows(ctx, req, rows, static_cast<std::uint32_t>(rows.size()), width, height);
}

}  // namespace tilvo
