#include "artcontrol/render/character_art.h"

#include <array>

#include "artcontrol/clientdata/byte_reader.h"
#include "artcontrol/render/colour.h"
#include "artcontrol/render/pixel_buffer.h"

namespace tilvo {

namespace {

constexpr std::size_t kPaletteColours = 256;
constexpr std::size_t kFramesStart = 512;
constexpr std::size_t kFrameHeightAt = 6;
constexpr std::size_t kFrameHeaderSize = 8;
constexpr std::uint32_t kEndMark = 0x7FFF;

bool EndsFrame(std::uint32_t header) { return (header & 0xFFFF) == kEndMark || (header >> 16) == kEndMark; }

}  // namespace

void DrawAnimationFrame(DrawContext& ctx, const DrawRequest& req, std::span<const std::uint8_t> entry) {
  ByteReader reader(entry);
  std::array<std::uint16_t, kPaletteColours> palette{};
  for (std::uint16_t& colour : palette) {
    if (!reader.ReadU16(colour)) return;
  }
  std::uint32_t frameCount = 0;
  std::uint32_t position = 0;
  // Only frame 0 is drawn, so only its position is needed from the table.
  if (!reader.ReadU32(frameCount) || frameCount == 0 || !reader.ReadU32(position)) return;
  const std::uint64_t frameAt = kFramesStart + std::uint64_t{position};
  if (frameAt > entry.size() || !reader.Seek(static_cast<std::size_t>(frameAt))) return;
  std::int16_t top = 0;
  std::int16_t height = 0;
  if (!reader.ReadI16(top) || !reader.Skip(kFrameHeightAt - 2) || !reader.ReadI16(height)) return;
  static_assert(kFrameHeightAt + 2 == kFrameHeaderSize);

  const HueEntry* ramp = HueFor(ctx.data.hues, req.hue);
  const std::int64_t middle = BoundsWidth(req) / 2 + ctx.xOffset;
  std::int64_t row = BoundsHeight(req) / 2 + ctx.yOffset - height + top;
  bool first = true;
  std::uint32_t previousTag = 0;
  std::uint32_t header = 0;
  while (reader.ReadU32(header) && !EndsFrame(header)) {
    const std::uint32_t tag = (header >> 12) & 0xF;
    if (!first && tag != previousTag) ++row;
    first = false;
    previousTag = tag;
    const std::int64_t left = middle + (static_cast<std::int32_t>(header) >> 22);
    const std::uint32_t length = header & 0xFFF;
    for (std::uint32_t k = 0; k < length; ++k) {
      std::uint8_t index = 0;
      if (!reader.ReadU8(index)) return;
      PutPixel(ctx.pixels, left + k, row, ApplyRamp(palette[index], ramp), req);
    }
  }
}

void DrawCharacter(DrawContext& ctx, const DrawRequest& req, const IndexedArt& entry) {
  DrawAnimationFrame(ctx, req, entry.bytes);
}

}  // namespace tilvo
