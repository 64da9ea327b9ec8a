#include "testing/tilvo/standard_art.h"

#include <string>

namespace tilvo::mkclient {

namespace {

constexpr std::uint32_t kItemBase = 0x4000;
constexpr std::uint32_t kBlocksPerColumn = 512;
constexpr std::uint32_t kAbsent = 0xFFFFFFFF;

constexpr std::uint16_t kRed = Client(31, 0, 0);
constexpr std::uint16_t kGreen = Client(0, 31, 0);
constexpr std::uint16_t kBlue = Client(0, 0, 31);

// Patch file ids, which are the slot numbers of the patched data files.
constexpr std::uint32_t kGumpPatches = 12;
constexpr std::uint32_t kTexturePatches = 10;
constexpr std::uint32_t kLightPatches = 18;
constexpr std::uint32_t kMultiPatches = 14;
constexpr std::uint32_t kStatics0Patches = 2;
constexpr std::uint32_t kStatics2Patches = 39;
constexpr std::uint32_t kAnimPatches[] = {6, 40, 51};

constexpr std::uint32_t Block(std::uint32_t column, std::uint32_t row) { return column * kBlocksPerColumn + row; }

std::uint16_t Level(int value) { return static_cast<std::uint16_t>(value); }

Gump SolidGump(std::uint16_t width, std::uint16_t height, std::uint16_t colour) {
  Gump gump{width, height, {}};
  for (int y = 0; y < height; ++y) gump.rows.push_back({{colour, width}});
  return gump;
}

Square SquareOf(std::uint16_t edge, std::size_t count, std::uint16_t (*value)(int row, int column)) {
  Square square{edge, {}};
  for (std::size_t i = 0; i < count; ++i) {
    square.values.push_back(value(static_cast<int>(i / edge), static_cast<int>(i % edge)));
  }
  return square;
}

// The extra value each texture's index record (or patch) carries.
struct TextureRecord {
  int n;
  std::uint32_t extra;
};
constexpr TextureRecord kTextureExtras[] = {{1, 0}, {2, 0}, {3, 0x00010000}, {4, 8}, {5, 16}, {6, 0}, {7, 0}};

// Land: the base layout of a facet's map file, and the blocks its diff file replaces.
MapBlock BaseLand(int facet, std::uint32_t block) {
  MapBlock land{};
  for (std::uint32_t i = 0; i < land.size(); ++i) {
    const std::uint32_t turn = (i + block) % 3;
    land[i].tile = static_cast<std::uint16_t>(facet == 0 ? 1 + turn : 3 - turn);
    land[i].z = i == 45 ? std::int8_t{10} : i == 0 ? std::int8_t{-3} : std::int8_t{0};
  }
  return land;
}

MapBlock DiffLand(std::size_t position) {
  MapBlock land{};
  for (LandCell& cell : land) cell = {3, static_cast<std::int8_t>(2 + position)};
  return land;
}

// The statics diff lists and what their diff files hold, block by block.
struct StaticsDiff {
  int facet;
  std::uint32_t block;
  std::vector<StaticItem> statics;
};
const std::vector<StaticsDiff>& StaticsDiffs() {
  static const std::vector<StaticsDiff> diffs = {
      {0, Block(1, 1), {{kTallCyan, 4, 4, 0, 0}, {kOrange, 4, 4, 2, 0}}},
      {0, Block(767, 0), {{kOrange, 1, 1, 0, 0}}},
      {2, 3, {{kWide, 2, 2, 5, 0}}},
  };
  return diffs;
}

// The statics patches of "verdata.mul".
struct StaticsPatch {
  int facet;
  std::uint32_t block;
  std::vector<StaticItem> statics;
};
const std::vector<StaticsPatch>& StaticsPatches() {
  static const std::vector<StaticsPatch> patches = {
      {0, 2, {{kWide, 3, 3, 0, 0}}},
      {2, 1, {{kTallCyan, 1, 1, 0, 0}}},
  };
  return patches;
}

// Animations: a palette whose colour 0 is black, and a frame of six chunks
// over four rows (the row tag skips 2, which closes the rows up).
std::array<std::uint16_t, 256> Palette(int variant) {
  std::array<std::uint16_t, 256> palette{};
  for (unsigned i = 0; i < 256; ++i) {
    palette[i] = Client(i & 31, ((i >> 5) * 4 + static_cast<unsigned>(variant)) & 31, 31 - (i & 31));
  }
  palette[0] = 0;
  return palette;
}

AnimFrame Frame(std::uint32_t seed) {
  struct Shape {
    std::int16_t xShift;
    std::uint8_t tag;
    int length;
  };
  constexpr Shape kShapes[] = {{-6, 0, 8}, {4, 0, 3}, {-5, 1, 10}, {-4, 3, 6}, {-12, 4, 2}, {8, 4, 1}};
  AnimFrame frame{2, 5, {}, true};
  for (std::size_t c = 0; c < std::size(kShapes); ++c) {
    AnimChunk chunk{kShapes[c].xShift, kShapes[c].tag, {}};
    for (int k = 0; k < kShapes[c].length; ++k) {
      chunk.indexes.push_back(static_cast<std::uint8_t>((static_cast<std::uint32_t>(k) * 7 + seed + c * 13) & 0xFF));
    }
    frame.chunks.push_back(std::move(chunk));
  }
  frame.chunks[0].indexes[0] = 0;  // palette colour 0 is drawn too
  return frame;
}

Animation StandardEntry(std::uint32_t n, int variant) {
  Animation animation{Palette(variant), {}};
  animation.frames.push_back(Frame(n));
  AnimFrame second{0, 1, {{0, 0, std::vector<std::uint8_t>(4, 200)}}, true};
  animation.frames.push_back(second);
  return animation;
}

// Where each animation entry comes from: the set, the entry and the palette
// variant of its base and patch (-1: none).
struct AnimationRecord {
  int set;
  std::uint32_t n;
  int baseVariant;
  int patchVariant;
};
constexpr AnimationRecord kAnimations[] = {
    {1, 111, 0, -1},   {1, 221, 0, 7},   {1, 22001, 1, -1}, {1, 35001, 2, -1},
    {2, 111, 0, 9},    {2, 22001, 4, -1}, {3, 33001, 5, -1}, {3, 128626, 6, -1},
    {3, 33111, -1, 3},
};

// The damaged entry that stops inside its last chunk: the header says 200 pixels, 5 are there.
constexpr std::size_t kCutChunkDeclared = 200;
constexpr std::size_t kCutChunkKept = 5;

Animation CutChunkEntry(std::size_t lastChunkLength) {
  Animation animation = StandardEntry(kAnimChunkBeyond, 0);
  animation.frames.resize(1);
  animation.frames[0].chunks.back().indexes.assign(lastChunkLength, 77);
  return animation;
}

void WriteIndexed(ClientFolder& folder, const std::string& index, const std::string& data, const IndexedFiles& files,
                  std::uint32_t records = 0) {
  folder.files[index] = files.Index(records);
  folder.files[data] = files.Data();
}

void AddGumpsTexturesLights(ClientFolder& folder, PatchFile& verdata) {
  IndexedFiles gumps;
  for (int n : {1, 2, 4}) {
    Gump gump = StandardGump(n);
    Bytes bytes = EncodeGump(gump);
    if (n == 4) bytes[2 * 4 + 2] = 1;  // row 2's start gains 0x10000: beyond the entry
    gumps.Set(static_cast<std::uint32_t>(n), bytes, GumpExtra(gump));
  }
  Gump base3 = SolidGump(4, 4, kRed);
  gumps.Set(3, EncodeGump(base3), GumpExtra(base3));
  Gump short5 = StandardGump(5);
  gumps.Set(5, EncodeGump(short5), GumpExtra(short5));
  for (int n : {3, 6}) {
    Gump gump = StandardGump(n);
    verdata.Add(kGumpPatches, static_cast<std::uint32_t>(n), EncodeGump(gump), GumpExtra(gump));
  }
  WriteIndexed(folder, "gumpidx.mul", "gumpart.mul", gumps, 8);

  IndexedFiles textures;
  for (const TextureRecord& record : kTextureExtras) {
    const auto n = static_cast<std::uint32_t>(record.n);
    if (record.n == 6) {
      textures.Set(n, EncodeTexture(SquareOf(8, 64, [](int, int) { return kRed; })), 8);
      verdata.Add(kTexturePatches, n, EncodeTexture(StandardTexture(6)), record.extra);
    } else {
      textures.Set(n, EncodeTexture(StandardTexture(record.n)), record.extra);
    }
  }
  WriteIndexed(folder, "texidx.mul", "texmaps.mul", textures);

  IndexedFiles lights;
  lights.Set(1, EncodeLight(StandardLight(1)), 4);
  lights.Set(2, EncodeLight(StandardLight(2)), 8);
  lights.Set(3, EncodeLight(SquareOf(2, 4, [](int, int) { return Level(0xF0); })), 2);
  verdata.Add(kLightPatches, 3, EncodeLight(StandardLight(3)), 3);
  WriteIndexed(folder, "lightidx.mul", "light.mul", lights);
}

void AddMultis(ClientFolder& folder, IndexedFiles& art, PatchFile& verdata, int records) {
  for (std::uint16_t id = kTallMagenta; id <= kWideGold; ++id) art.Set(kItemBase + id, EncodeItemArt(StandardComponentItem(id)));
  IndexedFiles multis;
  for (int n : {1, 2, 3}) multis.Set(static_cast<std::uint32_t>(n), EncodeMulti(StandardMulti(n), records));
  multis.Set(kHighMulti, EncodeMulti(StandardMulti(static_cast<int>(kHighMulti)), records));
  multis.Set(5, EncodeMulti({{kOrange, 0, 0, 0, 0}}, records));
  verdata.Add(kMultiPatches, 5, EncodeMulti(StandardMulti(5), records));
  // Last in the file, so that the file ends inside it.
  const auto offset = static_cast<std::uint32_t>(multis.Data().size());
  multis.Set(4, EncodeMulti(StandardMulti(4), records));
  multis.SetRecord(4, offset, 5 * static_cast<std::uint32_t>(records));
  WriteIndexed(folder, "multi.idx", "multi.mul", multis, 8);
}

void AddFacet(ClientFolder& folder, PatchFile& verdata, int facet) {
  const std::string f = std::to_string(facet);
  const std::uint32_t columns = facet == 0 ? kMapColumns0 : kMapColumns2;
  Bytes map;
  for (std::uint32_t b = 0; b < columns * kBlocksPerColumn; ++b) {
    const Bytes block = EncodeMapBlock(BaseLand(facet, b), 0xA5A5A5A5);
    map.insert(map.end(), block.begin(), block.end());
  }
  folder.files["map" + f + ".mul"] = map;
  Bytes landDiffs;
  const std::vector<std::uint32_t> landList = LandPatchBlocks(facet);
  for (std::size_t k = 0; k < landList.size(); ++k) {
    const Bytes block = EncodeMapBlock(DiffLand(k));
    landDiffs.insert(landDiffs.end(), block.begin(), block.end());
  }
  folder.files["mapdif" + f + ".mul"] = landDiffs;
  folder.files["mapdifl" + f + ".mul"] = EncodePatchList(landList);

  IndexedFiles statics;
  for (std::uint32_t b = 0; b < columns * kBlocksPerColumn; ++b) {
    if (facet == 0 && b == kShortStaticsBlock) continue;
    const std::vector<StaticItem> items = BaseStatics(facet, b);
    if (!items.empty()) statics.Set(b, EncodeStatics(items));
  }
  if (facet == 0) {
    statics.SetRecord(kNoStaticsBlock, kAbsent, kAbsent);
    // Last in the file: the record counts four statics, the file ends after two.
    const auto offset = static_cast<std::uint32_t>(statics.Data().size());
    statics.Set(kShortStaticsBlock, EncodeStatics(StandardStatics(0, kShortStaticsBlock)));
    statics.SetRecord(kShortStaticsBlock, offset, 4 * 7);
  }
  WriteIndexed(folder, "staidx" + f + ".mul", "statics" + f + ".mul", statics, columns * kBlocksPerColumn);

  IndexedFiles diffs;
  std::vector<std::uint32_t> staticsList;
  for (const StaticsDiff& diff : StaticsDiffs()) {
    if (diff.facet != facet) continue;
    diffs.Set(static_cast<std::uint32_t>(staticsList.size()), EncodeStatics(diff.statics));
    staticsList.push_back(diff.block);
  }
  WriteIndexed(folder, "stadifi" + f + ".mul", "stadif" + f + ".mul", diffs);
  folder.files["stadifl" + f + ".mul"] = EncodePatchList(staticsList);

  for (const StaticsPatch& patch : StaticsPatches()) {
    if (patch.facet == facet) {
      verdata.Add(facet == 0 ? kStatics0Patches : kStatics2Patches, patch.block, EncodeStatics(patch.statics));
    }
  }
}

void AddAnimations(ClientFolder& folder, PatchFile& verdata) {
  IndexedFiles sets[3];
  for (const AnimationRecord& record : kAnimations) {
    IndexedFiles& files = sets[record.set - 1];
    if (record.baseVariant >= 0) files.Set(record.n, EncodeAnimation(StandardEntry(record.n, record.baseVariant)));
    if (record.patchVariant >= 0) {
      verdata.Add(kAnimPatches[record.set - 1], record.n, EncodeAnimation(StandardEntry(record.n, record.patchVariant)));
    }
  }
  IndexedFiles& first = sets[0];
  Bytes palette;
  for (std::uint16_t colour : Palette(0)) PutU16(palette, colour);
  first.Set(kAnimPaletteOnly, palette);
  Bytes noFrames = palette;
  PutU32(noFrames, 0);
  first.Set(kAnimNoFrames, noFrames);
  Bytes beyond = palette;
  PutU32(beyond, 1);
  PutU32(beyond, 0x10000);
  first.Set(kAnimFrameBeyond, beyond);
  first.Set(kAnimNoEndMark, EncodeAnimation(*StandardAnimation(1, kAnimNoEndMark)));
  Bytes cut = EncodeAnimation(CutChunkEntry(kCutChunkDeclared));
  cut.resize(cut.size() - (kCutChunkDeclared - kCutChunkKept) - 4);  // no end mark either
  first.Set(kAnimChunkBeyond, cut);

  WriteIndexed(folder, "anim.idx", "anim.mul", sets[0]);
  WriteIndexed(folder, "anim2.idx", "anim2.mul", sets[1]);
  WriteIndexed(folder, "anim3.idx", "anim3.mul", sets[2]);
}

}  // namespace

Gump StandardGump(int n) {
  switch (n) {
    case 1: {
      Gump gump{12, 6, {}};
      for (int y = 0; y < 6; ++y) {
        const auto level = static_cast<unsigned>(y * 5);
        gump.rows.push_back({{Client(31, level, 0), 2},
                             {0, 5},
                             {Client(9, 9, 9), 0},
                             {Client(0, level, 31), 3},
                             {Client(level, 31, 0), 2}});
      }
      return gump;
    }
    case 2: {
      Gump gump{200, 100, {}};
      for (int y = 0; y < 100; ++y) {
        std::vector<GumpRun> row;
        for (int k = 0; k < 10; ++k) {
          row.push_back({Client(static_cast<unsigned>(k * 3), static_cast<unsigned>(y & 31),
                                static_cast<unsigned>((y >> 5) * 8 + 1)),
                         20});
        }
        gump.rows.push_back(std::move(row));
      }
      return gump;
    }
    case 3:
      return SolidGump(6, 2, kGreen);
    case 4: {
      Gump gump{6, 4, {}};
      for (int y = 0; y < 4; ++y) gump.rows.push_back({{Client(static_cast<unsigned>(y * 8), 0, 31), 6}});
      return gump;
    }
    case 5: {
      Gump gump = SolidGump(5, 3, kRed);
      gump.height = 10;
      return gump;
    }
    case 6:
      return SolidGump(3, 3, kBlue);
    default:
      return {};
  }
}

Square StandardTexture(int n) {
  switch (n) {
    case 1:
      return SquareOf(64, 64 * 64, [](int r, int c) {
        return Client(static_cast<unsigned>(c), static_cast<unsigned>(r), static_cast<unsigned>(1 + (r >> 5) * 2 + (c >> 5)));
      });
    case 2:
      return SquareOf(128, 128 * 128, [](int r, int c) {
        return Client(static_cast<unsigned>(c), static_cast<unsigned>(r), static_cast<unsigned>(8 + (r >> 5) * 4 + (c >> 5)));
      });
    case 3: {
      Square square = SquareOf(64, 0x1000, [](int, int) { return Client(31, 31, 31); });
      square.edge = 0;  // the extra value 0x00010000 gives edge 0
      return square;
    }
    case 4: {
      Square square = SquareOf(8, 64, [](int r, int c) {
        return Client(static_cast<unsigned>(c * 4), static_cast<unsigned>(r * 4), 31);
      });
      square.values[0] = 0;
      return square;
    }
    case 5:
      return SquareOf(16, 64, [](int r, int c) {
        return Client(static_cast<unsigned>(c * 2), static_cast<unsigned>(r * 8), 16);
      });
    case 6:
      return SquareOf(64, 64 * 64, [](int, int) { return kBlue; });
    case 7:
      return SquareOf(128, 0x800, [](int r, int c) {
        return Client(static_cast<unsigned>(c), static_cast<unsigned>(r), 4);
      });
    default:
      return {};
  }
}

Square StandardLight(int n) {
  switch (n) {
    case 1:
      return {4, {0xFF, 0x04, 0x00, 0x80, 0x01, 0x02, 0x03, 0x7C, 0x10, 0x20, 0x40, 0xFE, 0x55, 0xAA, 0x33, 0xCC}};
    case 2:
      return SquareOf(8, 16, [](int r, int c) { return Level(r * 128 + c * 16 + 8); });
    case 3:
      return SquareOf(3, 9, [](int r, int c) { return Level(0x30 + (r * 3 + c) * 0x11); });
    default:
      return {};
  }
}

std::vector<MultiPart> StandardMulti(int n) {
  constexpr std::uint32_t kFlags = 0xDEADBEEF;  // replaced by the tile-data height, never read
  switch (n) {
    case 1:
      return {{kWideGold, 0, 0, 0, kFlags}, {kTallMagenta, -3, 0, 0, kFlags}, {kWide, -1, 1, 0, kFlags},
              {kOrange, 2, -1, 5, kFlags},   {kWide, 0, 0, -2, kFlags}};
    case 2:
      return {{kOrange, 1, 0, 0, kFlags}, {kTallCyan, 3, 2, 0, kFlags}, {kWide, 2, 0, 1, kFlags}};
    case 3:
      return {{kTallMagenta, 0, 0, -10, kFlags}, {kTallCyan, 0, 0, 0, kFlags}};
    case 4:
      return {{kOrange, 0, 0, 0, kFlags}, {kWide, 1, 1, 0, kFlags}};
    case 5:
      return {{kTallCyan, 0, 0, 0, kFlags}, {kOrange, 1, 0, 0, kFlags}};
    case static_cast<int>(kHighMulti):
      return {{kHighItems[1], 0, 0, 0, kFlags}, {kOrange, -1, 1, 3, kFlags}, {kHighItems[0], 1, 0, 0, kFlags}};
    default:
      return {};
  }
}

ItemArt StandardComponentItem(std::uint16_t id) {
  struct Row {
    std::uint16_t id, width, height, colour;
  };
  constexpr Row kItems[] = {
      {kTallMagenta, 12, 60, Client(31, 0, 31)},
      {kTallCyan, 12, 60, Client(0, 31, 31)},
      {kOrange, 8, 40, Client(31, 16, 0)},
      {kWide, 60, 16, Client(16, 0, 31)},
      {kWideGold, 60, 16, Client(31, 24, 8)},
  };
  for (const Row& row : kItems) {
    if (row.id != id) continue;
    ItemArt art{row.width, row.height, {}};
    for (int y = 0; y < row.height; ++y) art.rows.push_back({{0, std::vector<std::uint16_t>(row.width, row.colour)}});
    return art;
  }
  return {};
}

MapBlock StandardLand(int facet, std::uint32_t block) {
  const std::vector<std::uint32_t> list = LandPatchBlocks(facet);
  for (std::size_t k = 0; k < list.size(); ++k) {
    if (list[k] == block) return DiffLand(k);
  }
  return BaseLand(facet, block);
}

std::vector<std::uint32_t> LandPatchBlocks(int facet) {
  if (facet == 0) return {1, Block(767, 0), Block(766, 2)};
  if (facet == 2) return {2};
  return {};
}

std::vector<StaticItem> BaseStatics(int facet, std::uint32_t block) {
  if (facet == 0) {
    switch (block) {
      case 0:
        return {{kTallMagenta, 2, 3, 1, 0},  {kTallCyan, 2, 3, -8, 0}, {kOrange, 5, 5, 4, 0},
                {kWide, 9, 1, 0, 0},         {kTallMagenta, 6, 1, 0, 3}, {kWide, 1, 6, 0, 0}};
      case 1:
        return {{kTallCyan, 1, 1, 0, 0}};
      case 2:
        return {{kOrange, 0, 0, 0, 0}};
      case Block(1, 1):
        return {{kTallMagenta, 0, 0, 0, 0}};
      case kShortStaticsBlock:
        return {{kOrange, 3, 3, 0, 0}, {kTallMagenta, 4, 2, 0, 0}, {kWide, 0, 0, 0, 0}, {kWide, 1, 1, 0, 0}};
      default:
        return {};
    }
  }
  switch (block) {
    case 0:
      return {{kWide, 0, 0, 0, 0}, {kTallMagenta, 7, 7, 0, 0}};
    case 1:
      return {{kTallMagenta, 1, 1, 0, 0}};
    case 3:
      return {{kOrange, 2, 2, 0, 0}};
    default:
      return {};
  }
}

std::vector<StaticItem> StandardStatics(int facet, std::uint32_t block) {
  for (const StaticsDiff& diff : StaticsDiffs()) {
    if (diff.facet == facet && diff.block == block) return diff.statics;
  }
  for (const StaticsPatch& patch : StaticsPatches()) {
    if (patch.facet == facet && patch.block == block) return patch.statics;
  }
  const std::vector<StaticItem> items = BaseStatics(facet, block);
  // The file ends after the first two statics of this block.
  if (facet == 0 && block == kShortStaticsBlock) return {items.begin(), items.begin() + 2};
  return items;
}

std::optional<Animation> StandardAnimation(int set, std::uint32_t n) {
  if (set == 1 && n == kAnimNoEndMark) {
    Animation animation = StandardEntry(n, 0);
    animation.frames.resize(1);
    animation.frames[0].endMark = false;
    return animation;
  }
  if (set == 1 && n == kAnimChunkBeyond) {
    Animation animation = CutChunkEntry(kCutChunkKept);
    animation.frames[0].endMark = false;
    return animation;
  }
  for (const AnimationRecord& record : kAnimations) {
    if (record.set != set || record.n != n) continue;
    return StandardEntry(n, record.patchVariant >= 0 ? record.patchVariant : record.baseVariant);
  }
  return std::nullopt;
}

void AddStandardArt(ClientFolder& folder, IndexedFiles& art, PatchFile& verdata, int multiRecords) {
  AddGumpsTexturesLights(folder, verdata);
  AddMultis(folder, art, verdata, multiRecords);
  AddFacet(folder, verdata, 0);
  AddFacet(folder, verdata, 2);
  AddAnimations(folder, verdata);
}

}  // namespace tilvo::mkclient
