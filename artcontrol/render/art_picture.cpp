#include "artcontrol/render/art_picture.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "artcontrol/clientdata/byte_reader.h"
#include "artcontrol/render/colour.h"

namespace tilvo {

namespace {

constexpr std::uint16_t kMaxItemExtent = 1024;
constexpr std::uint32_t kMaxRunSpan = 2048;
constexpr std::size_t kItemHeaderSize = 8;
constexpr int kLandRows = 45;
constexpr int kLandHalf = 22;
constexpr std::uint16_t kLandExtent = 44;

bool IsItemHeader(std::uint32_t first) { return first != 0 && first <= 0xFFFF; }

// Appends spans and their pixels to a picture.
class SpanWriter {
 public:
  explicit SpanWriter(ArtPicture& art) : art_(art) {}
  void Begin(std::int64_t x, std::uint32_t row) { art_.spans.push_back({x, row, 0, art_.shades.size()}); }
  void Add(std::uint16_t colour) {
    const std::uint32_t value = ToColorRef(colour);
    art_.colours.insert(art_.colours.end(), {static_cast<std::uint8_t>(value >> 16),
                                             static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
    art_.shades.push_back(static_cast<std::uint8_t>(Shade(colour)));
    ++art_.spans.back().count;
  }
  // Drops spans that got no pixel (the entry ended first), works out the
  // reach, and gives back spare capacity: the cache counts what is held.
  void Finish() {
    std::erase_if(art_.spans, [](const ArtSpan& s) { return s.count == 0; });
    art_.spans.shrink_to_fit();
    art_.colours.shrink_to_fit();
    art_.shades.shrink_to_fit();
    if (art_.spans.empty()) return;
    art_.left = art_.spans.front().x;
    art_.right = art_.left;
    for (const ArtSpan& s : art_.spans) {
      art_.left = std::min(art_.left, s.x);
      art_.right = std::max(art_.right, s.x + s.count);
      art_.rows = std::max(art_.rows, s.row + 1);
    }
  }

 private:
  ArtPicture& art_;
};

void DecodeItem(std::span<const std::uint8_t> entry, ArtPicture& art) {
  ByteReader reader(entry);
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  if (!reader.Skip(4) || !reader.ReadU16(width) || !reader.ReadU16(height)) return;
  if (width == 0 || width > kMaxItemExtent || height == 0 || height > kMaxItemExtent) return;
  std::span<const std::uint8_t> rowStarts;
  if (!reader.Take(std::size_t{2} * height, rowStarts)) return;
  art.kind = ArtKind::kItem;
  art.width = width;
  art.height = height;
  const std::size_t runsStart = kItemHeaderSize + std::size_t{2} * height;
  ByteReader table(rowStarts);
  SpanWriter out(art);
  std::int64_t x = 0;
  for (std::uint32_t y = 0; y < height;) {
    std::uint16_t skip = 0;
    std::uint16_t length = 0;
    if (!reader.ReadU16(skip) || !reader.ReadU16(length)) break;
    const std::uint32_t span = std::uint32_t{skip} + length;
    if (span > kMaxRunSpan) break;
    if (span == 0) {
      ++y;
      x = 0;
      if (y == height) break;
      std::uint16_t start = 0;
      table.Seek(std::size_t{2} * y);
      table.ReadU16(start);
      // A row start beyond the entry leaves the reader where it was; the
      // entry is then cut off here rather than read from the wrong place.
      if (!reader.Seek(runsStart + std::size_t{2} * start)) break;
      continue;
    }
    x += skip;
    if (length > 0) out.Begin(x, y);
    bool whole = true;
    for (std::uint16_t j = 0; j < length && whole; ++j) {
      std::uint16_t colour = 0;
      whole = reader.ReadU16(colour);
      if (whole) out.Add(colour);
    }
    if (!whole) break;
    x += length;
  }
  out.Finish();
}

void DecodeLand(std::span<const std::uint8_t> entry, ArtPicture& art) {
  ByteReader reader(entry);
  // The first two colours of the entry are never drawn. A usual entry of 2024
  // bytes then runs out two pixels early: the diamond's last two pixels stay
  // undrawn rather than be read from beyond it.
  reader.Skip(4);
  art.kind = ArtKind::kLand;
  art.width = kLandExtent;
  art.height = kLandExtent;
  SpanWriter out(art);
  bool more = true;
  for (int i = 0; i < kLandRows && more; ++i) {
    const int k = i <= kLandHalf ? i : kLandRows - i;
    if (k > 0) out.Begin(kLandHalf - k, static_cast<std::uint32_t>(i));
    for (int col = kLandHalf - k; col <= kLandHalf - 1 + k && more; ++col) {
      std::uint16_t colour = 0;
      more = reader.ReadU16(colour);
      if (more) out.Add(colour);
    }
  }
  out.Finish();
}

}  // namespace

std::size_t ArtPicture::MemoryBytes() const {
  return sizeof(ArtPicture) + spans.capacity() * sizeof(ArtSpan) + colours.capacity() + shades.capacity();
}

ArtPicture DecodeArtPicture(std::span<const std::uint8_t> entry) {
  ArtPicture art;
  ByteReader reader(entry);
  std::uint32_t first = 0;
  if (!reader.ReadU32(first)) return art;
  if (IsItemHeader(first)) {
    DecodeItem(entry, art);
  } else {
    DecodeLand(entry, art);
  }
  return art;
}

void DrawArtSpans(PixelBuffer& pixels, const DrawRequest& bounds, const ArtPicture& art, std::int64_t left,
                  std::int64_t top, const HueEntry* ramp) {
  // PutPixel's clip: inside the request's bounds and inside the picture.
  const std::int64_t right = std::min<std::int64_t>(BoundsWidth(bounds), pixels.w);
  const std::int64_t bottom = std::min<std::int64_t>(BoundsHeight(bounds), pixels.h);
  // A picture wholly outside (most land tiles of a large map preview) costs one test.
  if (art.spans.empty() || left + art.right <= 0 || left + art.left >= right || top + art.rows <= 0 ||
      top >= bottom) {
    return;
  }
  std::array<std::array<std::uint8_t, 3>, 32> hued{};
  if (ramp != nullptr) {
    for (std::size_t i = 0; i < hued.size(); ++i) {
      const std::uint32_t value = ToColorRef(ramp->colors[i]);
      hued[i] = {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
                 static_cast<std::uint8_t>(value)};
    }
  }
  const auto rowBytes = static_cast<std::size_t>(pixels.w) * 3;
  for (const ArtSpan& s : art.spans) {
    const std::int64_t y = top + s.row;
    if (y < 0 || y >= bottom) continue;
    const std::int64_t x0 = left + s.x;
    const std::int64_t from = std::max<std::int64_t>(x0, 0);
    const std::int64_t to = std::min<std::int64_t>(x0 + s.count, right);
    if (from >= to) continue;
    std::uint8_t* out = pixels.bytes.data() + static_cast<std::size_t>(y) * rowBytes + static_cast<std::size_t>(from) * 3;
    const std::size_t at = s.first + static_cast<std::size_t>(from - x0);
    const auto n = static_cast<std::size_t>(to - from);
    if (ramp == nullptr) {
      std::memcpy(out, art.colours.data() + at * 3, n * 3);
    } else {
      for (std::size_t i = 0; i < n; ++i) std::memcpy(out + i * 3, hued[art.shades[at + i]].data(), 3);
    }
  }
}

}  // namespace tilvo
