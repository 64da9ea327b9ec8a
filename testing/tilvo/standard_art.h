#pragma once
// The gumps, textures, lights, multis, maps, statics and animations of the
// standard synthetic client, described as data. AddStandardArt writes them
// into the client folder beside the art of synthetic_client.h.
//
//   gumps (gumpidx.mul, gumpart.mul; patch file id 12)
//     1  12 x 6: per row a run of 2, a transparent run of 5, a run of count 0, runs of 3 and 2
//     2  200 x 100: ten 20-pixel runs per row
//     3  base 4 x 4 red; verdata holds a 6 x 2 green gump with its own extra value
//     4  6 x 4 whose row 2 starts beyond the entry (high half of its start set)
//     5  extra says 10 rows; the entry holds only 3 row starts (nothing drawn)
//     6  absent                                         9000  past the classic range, with item 0xFFF0 in the index; verdata holds a 3 x 3 blue gump
//   textures (texidx.mul, texmaps.mul; patch file id 10)
//     1  0x2000 bytes, extra 0: 64 x 64          2  0x8000 bytes, extra 0: 128 x 128
//     3  0x2000 bytes, extra 0x00010000: edge 0  4  extra 8: 8 x 8, colour 0 at (0, 0)
//     5  extra 16 but 64 colours (4 rows)        6  base extra 8 red; verdata 0x2000 bytes blue, extra 0
//     7  0x1000 bytes, extra 0: edge 128, 16 rows of data
//   lights (lightidx.mul, light.mul; patch file id 18)
//     1  4 x 4 with 0xFF, 0x04 and 0 in row 0     2  extra 8 but 16 bytes (2 rows)
//     3  base 2 x 2; verdata 3 x 3 with extra 3
//   multis (multi.idx, multi.mul; patch file id 14); items 37 to 41 (art below)
//     1  components down to x = -3 in several cells   2  components at positive x only
//     3  two components in one cell, one with a negative key (sorts last)
//     4  index says 5 components, multi.mul ends after 2 (last entry of the file)
//     5  base one component; verdata another       6  absent
//   items added to art.mul: 37 12 x 60, 38 12 x 60, 39 8 x 40, 40 and 41 60 x 16, all solid
//   maps and statics, see StandardLand and StandardStatics; facet 2's statics
//     patch list is written as "stadifl2.mul", which only SetCustomMulFile(78) reads
//   animations (anim, anim2, anim3; patch file ids 6, 40, 51), see StandardAnimation:
//     set 1: 111, 221 (patched), 22001, 35001, damaged 331, 441, 551, 661, 771
//     set 2: 111 (patched), 22001      set 3: 33001, 128626, 33111 (only in verdata)

#include <cstdint>
#include <optional>
#include <vector>

#include "testing/tilvo/art_formats.h"
#include "testing/tilvo/synthetic_client.h"

namespace tilvo::mkclient {

// Gump n as drawn (from verdata where it is patched); gump 4 is described whole, though row 2 is not drawn.
Gump StandardGump(int n);
// Texture n as drawn (from verdata where patched); its edge is what the entry's extra value or length gives.
Square StandardTexture(int n);
// Light n as drawn (from verdata where patched).
Square StandardLight(int n);
// Multi n as drawn: the components the entry holds (multi 4: the two in the file).
std::vector<MultiPart> StandardMulti(int n);

// The items 37 to 41 that multis and statics are built of.
inline constexpr std::uint16_t kTallMagenta = 37;  // 12 x 60, tile data height 4
inline constexpr std::uint16_t kTallCyan = 38;     // 12 x 60, height 11
inline constexpr std::uint16_t kOrange = 39;       // 8 x 40, height 18
inline constexpr std::uint16_t kWide = 40;         // 60 x 16, height 25
inline constexpr std::uint16_t kWideGold = 41;     // 60 x 16, height 32
// The picture of one of those items.
ItemArt StandardComponentItem(std::uint16_t id);

// Map blocks: facet 0 holds columns 0 to 2, facet 2 columns 0 and 1; the files end there.
inline constexpr std::uint32_t kMapColumns0 = 3;
inline constexpr std::uint32_t kMapColumns2 = 2;
// Land block b of facet 0 or 2 as drawn: from the land diff file where the list names it.
MapBlock StandardLand(int facet, std::uint32_t block);
// The blocks of each facet's land patch list, in list order.
std::vector<std::uint32_t> LandPatchBlocks(int facet);

// The statics of block b as the base statics files hold them (block 514 whole, though the file ends after its first two).
std::vector<StaticItem> BaseStatics(int facet, std::uint32_t block);
// The statics of block b as drawn, in file order (diff files and verdata
// first, as the control chooses them); none when the block has none.
std::vector<StaticItem> StandardStatics(int facet, std::uint32_t block);
// Facet 0 block 514: its index record counts 4 statics, the file ends after 2.
inline constexpr std::uint32_t kShortStaticsBlock = 514;
// Facet 0 block 512: its index record has length -1.
inline constexpr std::uint32_t kNoStaticsBlock = 512;

// Animation entry n of set 1, 2 or 3 as drawn (from verdata where patched); none when absent.
std::optional<Animation> StandardAnimation(int set, std::uint32_t n);
// The damaged entries of set 1 (bodies 3 to 7): frame count 0, frame position
// beyond the entry, no end mark, a chunk longer than the entry, palette only.
inline constexpr std::uint32_t kAnimNoFrames = 331;
inline constexpr std::uint32_t kAnimFrameBeyond = 441;
inline constexpr std::uint32_t kAnimNoEndMark = 551;
inline constexpr std::uint32_t kAnimChunkBeyond = 661;
inline constexpr std::uint32_t kAnimPaletteOnly = 771;

// The highest multi of the standard client, past the classic range of 8182.
inline constexpr std::uint32_t kHighMulti = 9000;

// Writes every file above into folder, the component items into art and the
// patches into verdata (after those already there); multi.mul's components
// take multiRecords bytes (12, or 16 as with the wide tile data).
void AddStandardArt(ClientFolder& folder, IndexedFiles& art, PatchFile& verdata, int multiRecords = 12);

}  // namespace tilvo::mkclient
