#pragma once
// Writers for the game client's art, index, patch, hue and tile data files, and
// the small synthetic client that `tilvo-mkclient` writes and the tests use as
// their fixture. The pictures are described here as data (ItemArt, land tile
// colour lists) so that a test can work out the exact pixels it expects from
// the same description the files were written from.
//
// The standard synthetic client (StandardClient):
//   art entries (artidx.mul holds 0x14000 records, as current clients' do; the rest are absent)
//     land 1       gradient tile: client-order colour (r, c) = Client(r & 31, c & 31, 8 + 2 * (r >> 5) + (c >> 5))
//     land 2       base tile all pure red; verdata replaces it with pure blue
//     land 3       first two colours 0 (first word 0, still a land tile), the rest pure green
//     item 1       20 x 30: two runs per row (see StandardItem), colours Client(x, y, 16) but pixel (0, 0) colour 0
//     item 2       32 x 1 grey ramp: column x has red = green = blue = x
//     item 3       base 4 x 4 pure red; verdata holds two patches for it, pure green first (it wins), then pure blue
//     item 4       absent: offset 0xFFFFFFFF with a non-zero length
//     item 5       absent: valid offset, length 0
//     item 6       4 x 2 whose row 0 is one 10-pixel run (wider than the item)
//     item 7       8 x 3 whose row 1 has a run with skip + length above 2048 (rows 1 and 2 are not drawn)
//     item 8       width 1025: not drawn
//     item 9       1 x 60, colour Client(0, y & 31, 31) at row y
//     item 16      holds a copy of land 1 (first word above 0xFFFF: drawn as a land tile)
//     char test 1  (entry 0x8001) 8 x 8 solid Client(31, 31, 0)
//     item 0x4005  (entry 0x8005) 10 x 6 solid Client(0, 16, 31): past the classic item range
//     item 0xFFF0  (entry 0x13FF0) 6 x 12 solid Client(31, 8, 16): the highest items current clients have
//   hues.mul       4 blocks (hues 1 to 24 selectable); HueRamp gives every colour
//   verdata.mul    patches in this order: art (4, 2), art (4, 0x4003) green, hue (32, 1),
//                  art (4, 0x4003) blue, hue (32, 2) first, hue (32, 2) second, hue (32, 9) past the table
//   tiledata.mul   the classic layout (or the one ClientOptions names); item t has height (t × 7 + 1) & 0xFF;
//                  the records of StandardTileNames have names and flags
// and the gumps, textures, lights, multis, maps, statics and animations of
// standard_art.h, whose patches follow the seven above in "verdata.mul".

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tilvo::mkclient {

using Bytes = std::vector<std::uint8_t>;

// A 16-bit client colour from 5-bit channels (red bits 10-14, green 5-9, blue 0-4).
constexpr std::uint16_t Client(unsigned red, unsigned green, unsigned blue) {
  return static_cast<std::uint16_t>(((red & 31) << 10) | ((green & 31) << 5) | (blue & 31));
}

// Little-endian appenders.
void PutU16(Bytes& out, std::uint16_t value);
void PutU32(Bytes& out, std::uint32_t value);

// One run of an item art row: a column skip, then the run's colours.
struct ArtRun {
  std::uint16_t skip = 0;
  std::vector<std::uint16_t> colors;
};

// An item picture: one list of runs per row (rows.size() is normally height).
struct ItemArt {
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::vector<std::vector<ArtRun>> rows;
};

// An item art entry: header, width, height, the row-start table (in 16-bit words from its end), then each row's runs closed by a (0, 0) run.
Bytes EncodeItemArt(const ItemArt& art, std::uint32_t header = 1);

// A land tile entry as the client stores it: the given colours (1012 for a whole tile) in order, 2 bytes each.
Bytes EncodeLandTile(const std::vector<std::uint16_t>& colors);

// A patch list ("mapdifl0.mul" and its kin): the block numbers in order.
Bytes EncodePatchList(const std::vector<std::uint32_t>& blocks);

// An index file and its data file built entry by entry.
class IndexedFiles {
 public:
  // Stores the entry's bytes in the data file and points record n at them.
  void Set(std::uint32_t n, const Bytes& bytes, std::uint32_t extra = 0);
  // Writes record n as given, whatever the data file holds (for absent or damaged records).
  void SetRecord(std::uint32_t n, std::uint32_t offset, std::uint32_t length, std::uint32_t extra = 0);
  // Whether record n has been set.
  bool Has(std::uint32_t n) const;
  // The index file with at least recordCount records (missing ones absent: offset 0xFFFFFFFF, length 0).
  Bytes Index(std::uint32_t recordCount = 0) const;
  // The data file.
  const Bytes& Data() const { return data_; }

 private:
  struct Record {
    std::uint32_t offset, length, extra;
  };
  std::map<std::uint32_t, Record> records_;
  Bytes data_;
};

// A "verdata.mul" built patch by patch, records in the order added.
class PatchFile {
 public:
  // Adds a record for (fileId, block) whose data is bytes.
  void Add(std::uint32_t fileId, std::uint32_t block, const Bytes& bytes, std::uint32_t extra = 0);
  // The file: count, records, then the data of each record in order.
  Bytes Build() const;

 private:
  struct Patch {
    std::uint32_t fileId, block, extra;
    Bytes bytes;
  };
  std::vector<Patch> patches_;
};

// 32 colours of one ramp.
using HueRamp = std::array<std::uint16_t, 32>;

// One 708-byte "hues.mul" block: header and eight ramps. The 24 trailing bytes
// of each entry hold the ramp's first and last colour and the name "hue N",
// N counted from the block that the header's low byte numbers (so in the
// standard client hue h is named "hue h").
Bytes EncodeHueBlock(std::uint32_t header, const std::array<HueRamp, 8>& ramps);
// One 1220-byte hue patch: header and eight 152-byte entries (88 used, 64 filled with 0xEE).
Bytes EncodeHuePatch(std::uint32_t header, const std::array<HueRamp, 8>& ramps);

// A folder of client files: file name -> contents.
struct ClientFolder {
  std::map<std::string, Bytes> files;
  // Creates dir (and its parents) and writes every file; false with a reason in error on failure.
  bool Write(const std::string& dir, std::string& error) const;
};

// --- the standard synthetic client -----------------------------------------

// Item n of the standard client (1, 2, 3 base, 6, 7, 9), as drawn from the base art file.
ItemArt StandardItem(int item);
// Land tile n of the standard client (1, 2 base, 3) in the client's order.
std::vector<std::uint16_t> StandardLandColors(int tile);
// Ramp of hue number h (1 to 32) in the standard "hues.mul", before patches.
HueRamp StandardHueRamp(int h);
// Ramp of hue number h after the standard patches (blocks 1 and 2 are patched).
HueRamp PatchedHueRamp(int h);
// Header of hue block b in the standard "hues.mul" after the patches.
std::uint32_t PatchedHueHeader(std::uint32_t block);
// Height of static item t in the standard "tiledata.mul".
std::uint8_t StandardStaticHeight(std::uint32_t t);
// The standard "hues.mul" before patches: 4 blocks, ramps as StandardHueRamp gives them.
Bytes StandardHues();
// The layouts of "tiledata.mul": classic (1,036,288 bytes, 0x4000 items, 32-bit
// flags), classic wide (1,644,544 bytes, 0x8000 items) and wide flags
// (3,188,736 bytes, 0x10000 items, 64-bit flags, so the height is byte 20 of a
// 41-byte item record instead of byte 16 of 37).
enum class TileLayout { kClassic, kClassicWide, kWideFlags };
// A tile data record's name and flags.
struct NamedTile {
  bool land = false;        // a land tile's record rather than an item's
  std::uint32_t id = 0;
  std::uint64_t flags = 0;  // the high 32 bits only in the wide-flags layout
  std::string name;
};
// The named records of the standard "tiledata.mul" (items past the layout's count are left out).
std::vector<NamedTile> StandardTileNames();
// A whole "tiledata.mul" of that layout whose item t has height heightOf(t),
// with the names and flags given, everything else 0.
Bytes EncodeTileData(std::uint8_t (*heightOf)(std::uint32_t), TileLayout layout = TileLayout::kClassic,
                     const std::vector<NamedTile>& names = {});

// The items past the classic range that the standard client holds.
inline constexpr std::uint16_t kHighItems[] = {0x4005, 0xFFF0};

// How the standard client is written (the options of tilvo-mkclient).
struct ClientOptions {
  TileLayout tileLayout = TileLayout::kClassic;  // --tiledata-layout
  int multiRecords = 12;                          // --multi-records: bytes of a multi.mul component, 12 or 16
  bool containers = false;                        // --uop: art, gumps, maps and multis in containers
  bool allItems = false;                          // --all-items: see AllItemsClient
};

// The name --all-items gives item t: two words from short lists, such as "wooden chair".
std::string AllItemsName(std::uint32_t t);

// The files of the standard client: art, index, hues, tile data, verdata and the art of standard_art.h.
// With allItems, every item from 0 to 0xFFFF that the standard client leaves
// empty holds a small solid picture (8 + t % 20 wide, 8 + t % 28 high), and
// every item record the layout holds past the standard names is named
// AllItemsName(t), every seventh one with the wearable flag: a client of the
// size of current ones, for benchmarks.
ClientFolder StandardClient(const ClientOptions& options = {});

}  // namespace tilvo::mkclient
