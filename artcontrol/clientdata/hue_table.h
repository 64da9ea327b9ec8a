#pragma once
// HueTable: the client's colour ramps from "hues.mul", with the hue patches of
// "verdata.mul" folded in. "hues.mul" is a sequence of 708-byte blocks, each a
// 4-byte header and eight 88-byte HueEntry records (32 16-bit colours, then 24
// bytes carried unread). A hue patch (file id 32, block = block number) is a
// 1220-byte block: a header and eight 152-byte entries, of which the first 88
// bytes of each have the HueEntry layout.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "artcontrol/clientdata/patch_table.h"
#include "tilvo/hue_record.h"

namespace tilvo {

inline constexpr std::size_t kHueBlockSize = 708;
inline constexpr std::size_t kHueEntrySize = 88;
inline constexpr std::size_t kHuePatchSize = 1220;
inline constexpr std::size_t kHuePatchEntryStride = 152;
inline constexpr std::uint32_t kHuePatchFileId = 32;
// Hue numbers are 16-bit, so blocks past this many are never selectable and are not read.
inline constexpr std::size_t kHueBlockLimit = 8193;

// One colour ramp: 32 client colours (red bits 10-14, green 5-9, blue 0-4).
struct HueEntry {
  std::array<std::uint16_t, 32> colors{};
  std::array<std::uint8_t, 24> rest{};  // table start, end and name; never drawn (see ReadHueLabel)
};

// Eight ramps under a header that is carried, never interpreted.
struct HueBlock {
  std::uint32_t header = 0;
  std::array<HueEntry, 8> entries{};
};

// The loaded blocks in file order; N = blocks.size().
struct HueTable {
  std::vector<HueBlock> blocks;
};

// The blocks of a "hues.mul" held in memory; a short final block is kept, its missing bytes reading as zero.
HueTable ParseHueFile(std::span<const std::uint8_t> bytes);

// Folds one hue patch's bytes into block b: the header and the first 88 bytes
// of each of the eight 152-byte entries. A patch cut short gives only the parts
// it holds whole; a block not below N is left alone (the table never grows).
void ApplyHuePatch(HueTable& table, std::uint32_t block, std::span<const std::uint8_t> patch);

// LoadHueTable: reads "hues.mul", then applies every file id 32 record of the
// patch table in file order (the later of two patches to one block remains),
// reading 1220 bytes at the record's offset in the patch file.
HueTable LoadHueTable(const std::string& huesPath, const std::string& patchPath, const PatchTable& patches);

// The ramp for hue number h (entry h − 1: block (h − 1) / 8, slot (h − 1) mod 8),
// or nullptr for no hue: h is 0 or above 8 × N − 8 (the last block is never used).
const HueEntry* SelectHue(const HueTable& table, std::uint16_t h);

// The words and the name an entry keeps after its colours (the name up to its
// first zero byte); the record's colours are left for the caller to convert.
HueRecord ReadHueLabel(const HueEntry& entry);

}  // namespace tilvo
