#include "testing/tilvo/art_formats.h"

namespace tilvo::mkclient {

namespace {

constexpr std::uint32_t kFrameEnd = 0x7FFF7FFF;
// The two header words the frame decoder never reads; odd values show it.
constexpr std::uint16_t kUnusedFrameWord1 = 0x1357;
constexpr std::uint16_t kUnusedFrameWord2 = 0x2468;

}  // namespace

Bytes EncodeGump(const Gump& gump) {
  Bytes runs;
  std::vector<std::uint32_t> starts;
  const auto tableWords = static_cast<std::uint32_t>(gump.rows.size());
  for (const auto& row : gump.rows) {
    starts.push_back(tableWords + static_cast<std::uint32_t>(runs.size() / 4));
    for (const GumpRun& run : row) {
      PutU16(runs, run.colour);
      PutU16(runs, run.count);
    }
  }
  Bytes out;
  for (std::uint32_t start : starts) PutU32(out, start);
  out.insert(out.end(), runs.begin(), runs.end());
  return out;
}

std::uint32_t GumpExtra(const Gump& gump) {
  return static_cast<std::uint32_t>(gump.width) << 16 | gump.height;
}

Bytes EncodeTexture(const Square& square) {
  Bytes out;
  for (std::uint16_t colour : square.values) PutU16(out, colour);
  return out;
}

Bytes EncodeLight(const Square& square) {
  Bytes out;
  for (std::uint16_t value : square.values) out.push_back(static_cast<std::uint8_t>(value));
  return out;
}

Bytes EncodeMulti(const std::vector<MultiPart>& parts, int recordSize) {
  Bytes out;
  for (const MultiPart& part : parts) {
    PutU16(out, part.id);
    PutU16(out, static_cast<std::uint16_t>(part.x));
    PutU16(out, static_cast<std::uint16_t>(part.y));
    PutU16(out, static_cast<std::uint16_t>(part.z));
    PutU32(out, part.flags);
    if (recordSize == 16) PutU32(out, 0x00C0FFEE);
  }
  return out;
}

Bytes EncodeMapBlock(const MapBlock& block, std::uint32_t header) {
  Bytes out;
  PutU32(out, header);
  for (const LandCell& cell : block) {
    PutU16(out, cell.tile);
    out.push_back(static_cast<std::uint8_t>(cell.z));
  }
  return out;
}

Bytes EncodeStatics(const std::vector<StaticItem>& statics) {
  Bytes out;
  for (const StaticItem& item : statics) {
    PutU16(out, item.id);
    out.push_back(item.x);
    out.push_back(item.y);
    out.push_back(static_cast<std::uint8_t>(item.z));
    PutU16(out, item.hue);
  }
  return out;
}

std::uint32_t ChunkHeader(const AnimChunk& chunk) {
  const auto shift = static_cast<std::uint32_t>(static_cast<std::int32_t>(chunk.xShift)) & 0x3FF;
  return shift << 22 | static_cast<std::uint32_t>(chunk.rowTag & 0xF) << 12 |
         static_cast<std::uint32_t>(chunk.indexes.size() & 0xFFF);
}

Bytes EncodeAnimation(const Animation& animation) {
  Bytes frames;
  std::vector<std::uint32_t> positions;
  const auto table = static_cast<std::uint32_t>(4 + 4 * animation.frames.size());
  for (const AnimFrame& frame : animation.frames) {
    positions.push_back(table + static_cast<std::uint32_t>(frames.size()));
    PutU16(frames, static_cast<std::uint16_t>(frame.top));
    PutU16(frames, kUnusedFrameWord1);
    PutU16(frames, kUnusedFrameWord2);
    PutU16(frames, static_cast<std::uint16_t>(frame.height));
    for (const AnimChunk& chunk : frame.chunks) {
      PutU32(frames, ChunkHeader(chunk));
      frames.insert(frames.end(), chunk.indexes.begin(), chunk.indexes.end());
    }
    if (frame.endMark) PutU32(frames, kFrameEnd);
  }
  Bytes out;
  for (std::uint16_t colour : animation.palette) PutU16(out, colour);
  PutU32(out, static_cast<std::uint32_t>(animation.frames.size()));
  for (std::uint32_t position : positions) PutU32(out, position);
  out.insert(out.end(), frames.begin(), frames.end());
  return out;
}

}  // namespace tilvo::mkclient
