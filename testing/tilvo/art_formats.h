#pragma once
// Writers for the client's composite and animated art: gumps, textures,
// lights, multis, map blocks, statics and animation entries. Each picture is
// described as data first, so that a test can work out the pixels it expects
// from the same description the bytes were written from.

#include <array>
#include <cstdint>
#include <vector>

#include "testing/tilvo/synthetic_client.h"

namespace tilvo::mkclient {

// One run of a gump row: a colour repeated count times (colour 0 is transparent).
struct GumpRun {
  std::uint16_t colour = 0;
  std::uint16_t count = 0;
};

// A gump picture: one list of runs per row.
struct Gump {
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::vector<std::vector<GumpRun>> rows;
};

// A gump entry: one 32-bit row start per row (in 4-byte units from the entry's start), then the rows' runs.
Bytes EncodeGump(const Gump& gump);
// The index record's extra value of a gump: width in the high half, height in the low half.
std::uint32_t GumpExtra(const Gump& gump);

// A texture or light square of edge e, described by its values row after row.
struct Square {
  std::uint16_t edge = 0;
  std::vector<std::uint16_t> values;  // client colours for textures, 0 to 255 for lights
};
// A texture entry: the colours in order, 2 bytes each.
Bytes EncodeTexture(const Square& square);
// A light entry: the values in order, one byte each.
Bytes EncodeLight(const Square& square);

// One component of a multi: item id, tile offsets and height, and the flags word.
struct MultiPart {
  std::uint16_t id = 0;
  std::int16_t x = 0;
  std::int16_t y = 0;
  std::int16_t z = 0;
  std::uint32_t flags = 0;
};
// A multi entry: 12 bytes per component (a 32-bit flags word), or 16 (flags and 4 more bytes of them).
Bytes EncodeMulti(const std::vector<MultiPart>& parts, int recordSize = 12);

// One cell of a map block: a land tile (an art entry number) and its height.
struct LandCell {
  std::uint16_t tile = 0;
  std::int8_t z = 0;
};
// 64 cells, cell i at column i % 8 and row i / 8.
using MapBlock = std::array<LandCell, 64>;
// A 196-byte map block: the 4-byte header, then three bytes per cell.
Bytes EncodeMapBlock(const MapBlock& block, std::uint32_t header = 0);

// One static of a block: item id, position within the block, height and hue.
struct StaticItem {
  std::uint16_t id = 0;
  std::uint8_t x = 0;
  std::uint8_t y = 0;
  std::int8_t z = 0;
  std::uint16_t hue = 0;
  bool operator==(const StaticItem&) const = default;
};
// A block's statics: 7 bytes per static.
Bytes EncodeStatics(const std::vector<StaticItem>& statics);

// One chunk of an animation frame: its columns start xShift (-512 to 511)
// from the middle; the 4-bit row tag moves to the next row when it changes.
struct AnimChunk {
  std::int16_t xShift = 0;
  std::uint8_t rowTag = 0;
  std::vector<std::uint8_t> indexes;  // palette indexes, one per pixel (at most 4095)
};

// One frame: top is added to the starting row and height subtracted from it.
struct AnimFrame {
  std::int16_t top = 0;
  std::int16_t height = 0;
  std::vector<AnimChunk> chunks;
  bool endMark = true;  // false leaves the 0x7FFF7FFF end mark out
};

// An animation entry: a palette of 256 client colours and its frames.
struct Animation {
  std::array<std::uint16_t, 256> palette{};
  std::vector<AnimFrame> frames;
};

// The 32-bit header of a chunk: length in bits 0-11, row tag in 12-15, x shift in 22-31.
std::uint32_t ChunkHeader(const AnimChunk& chunk);
// An animation entry: palette, frame count, frame positions counted from byte 512, then the frames.
Bytes EncodeAnimation(const Animation& animation);

}  // namespace tilvo::mkclient
