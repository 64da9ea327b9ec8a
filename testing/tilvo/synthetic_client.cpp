#include "testing/tilvo/synthetic_client.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "testing/tilvo/container_writer.h"
#include "testing/tilvo/standard_art.h"

namespace tilvo::mkclient {
namespace {

constexpr std::uint32_t kArtIndexRecords = 0x14000;
constexpr std::uint32_t kItemBase = 0x4000;
constexpr std::uint32_t kCharTestBase = 0x8000;
constexpr int kStandardHueBlocks = 4;

constexpr std::uint16_t kRed = Client(31, 0, 0);
constexpr std::uint16_t kGreen = Client(0, 31, 0);
constexpr std::uint16_t kBlue = Client(0, 0, 31);

// A run of the given columns of a row, coloured by colour(x).
template <typename ColorOf>
ArtRun RunOf(std::uint16_t skip, int firstColumn, int length, ColorOf colour) {
  ArtRun run;
  run.skip = skip;
  for (int x = firstColumn; x < firstColumn + length; ++x) run.colors.push_back(colour(x));
  return run;
}

ItemArt Solid(std::uint16_t width, std::uint16_t height, std::uint16_t colour) {
  ItemArt art{width, height, {}};
  for (int y = 0; y < height; ++y) art.rows.push_back({RunOf(0, 0, width, [&](int) { return colour; })});
  return art;
}

// The 44 x 44 diamond in the client's order: row r covers columns 21 - r to 22 + r, then shrinks again.
std::vector<std::uint16_t> LandTile(std::uint16_t (*colour)(int row, int column)) {
  std::vector<std::uint16_t> colors;
  for (int r = 0; r < 44; ++r) {
    const int first = r <= 21 ? 21 - r : r - 22;
    const int last = r <= 21 ? 22 + r : 65 - r;
    for (int c = first; c <= last; ++c) colors.push_back(colour(r, c));
  }
  return colors;
}

std::array<HueRamp, 8> RampsOf(int block, HueRamp (*ramp)(int h)) {
  std::array<HueRamp, 8> ramps{};
  for (int e = 0; e < 8; ++e) ramps[static_cast<std::size_t>(e)] = ramp(block * 8 + e + 1);
  return ramps;
}

HueRamp LosingPatchRamp(int h) {
  HueRamp ramp{};
  for (unsigned i = 0; i < 32; ++i) ramp[i] = Client(i, 0, static_cast<unsigned>(h));
  return ramp;
}

constexpr std::uint32_t kStandardHueHeader = 0x48554500;
constexpr std::uint32_t kPatch1Header = 0x50000001;
constexpr std::uint32_t kLosingPatch2Header = 0x50000002;
constexpr std::uint32_t kWinningPatch2Header = 0x60000002;

void PutName(Bytes& out, const HueRamp& ramp, int h) {
  // Table start and end (the ramp's ends), then a 20-character name.
  PutU16(out, ramp.front());
  PutU16(out, ramp.back());
  std::string name = "hue " + std::to_string(h);
  name.resize(20, '\0');
  out.insert(out.end(), name.begin(), name.end());
}

// A header and eight 88-byte entries, each followed by padding bytes of 0xEE.
Bytes EncodeHueEntries(std::uint32_t header, const std::array<HueRamp, 8>& ramps, std::size_t padding);

}  // namespace

void PutU16(Bytes& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(Bytes& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
}

Bytes EncodeItemArt(const ItemArt& art, std::uint32_t header) {
  Bytes rows;
  std::vector<std::uint16_t> starts;
  for (const auto& row : art.rows) {
    starts.push_back(static_cast<std::uint16_t>(rows.size() / 2));
    for (const ArtRun& run : row) {
      PutU16(rows, run.skip);
      PutU16(rows, static_cast<std::uint16_t>(run.colors.size()));
      for (std::uint16_t colour : run.colors) PutU16(rows, colour);
    }
    PutU16(rows, 0);
    PutU16(rows, 0);
  }
  Bytes out;
  PutU32(out, header);
  PutU16(out, art.width);
  PutU16(out, art.height);
  for (std::uint16_t start : starts) PutU16(out, start);
  out.insert(out.end(), rows.begin(), rows.end());
  return out;
}

Bytes EncodeLandTile(const std::vector<std::uint16_t>& colors) {
  Bytes out;
  for (std::uint16_t colour : colors) PutU16(out, colour);
  return out;
}

Bytes EncodePatchList(const std::vector<std::uint32_t>& blocks) {
  Bytes out;
  for (std::uint32_t block : blocks) PutU32(out, block);
  return out;
}

void IndexedFiles::Set(std::uint32_t n, const Bytes& bytes, std::uint32_t extra) {
  records_[n] = {static_cast<std::uint32_t>(data_.size()), static_cast<std::uint32_t>(bytes.size()), extra};
  data_.insert(data_.end(), bytes.begin(), bytes.end());
}

bool IndexedFiles::Has(std::uint32_t n) const { return records_.count(n) != 0; }

void IndexedFiles::SetRecord(std::uint32_t n, std::uint32_t offset, std::uint32_t length, std::uint32_t extra) {
  records_[n] = {offset, length, extra};
}

Bytes IndexedFiles::Index(std::uint32_t recordCount) const {
  std::uint32_t count = recordCount;
  if (!records_.empty()) count = std::max(count, records_.rbegin()->first + 1);
  Bytes out;
  out.reserve(static_cast<std::size_t>(count) * 12);
  for (std::uint32_t n = 0; n < count; ++n) {
    const auto found = records_.find(n);
    const Record record = found != records_.end() ? found->second : Record{0xFFFFFFFF, 0, 0};
    PutU32(out, record.offset);
    PutU32(out, record.length);
    PutU32(out, record.extra);
  }
  return out;
}

void PatchFile::Add(std::uint32_t fileId, std::uint32_t block, const Bytes& bytes, std::uint32_t extra) {
  patches_.push_back({fileId, block, extra, bytes});
}

Bytes PatchFile::Build() const {
  Bytes out;
  PutU32(out, static_cast<std::uint32_t>(patches_.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(4 + 20 * patches_.size());
  for (const Patch& patch : patches_) {
    PutU32(out, patch.fileId);
    PutU32(out, patch.block);
    PutU32(out, offset);
    PutU32(out, static_cast<std::uint32_t>(patch.bytes.size()));
    PutU32(out, patch.extra);
    offset += static_cast<std::uint32_t>(patch.bytes.size());
  }
  for (const Patch& patch : patches_) out.insert(out.end(), patch.bytes.begin(), patch.bytes.end());
  return out;
}

Bytes EncodeHueBlock(std::uint32_t header, const std::array<HueRamp, 8>& ramps) {
  return EncodeHueEntries(header, ramps, 0);
}

Bytes EncodeHuePatch(std::uint32_t header, const std::array<HueRamp, 8>& ramps) {
  return EncodeHueEntries(header, ramps, 64);
}

namespace {

Bytes EncodeHueEntries(std::uint32_t header, const std::array<HueRamp, 8>& ramps, std::size_t padding) {
  Bytes out;
  PutU32(out, header);
  for (std::size_t e = 0; e < ramps.size(); ++e) {
    for (std::uint16_t colour : ramps[e]) PutU16(out, colour);
    PutName(out, ramps[e], static_cast<int>((header & 0xFF) * 8 + e + 1));
    out.insert(out.end(), padding, 0xEE);
  }
  return out;
}

}  // namespace

bool ClientFolder::Write(const std::string& dir, std::string& error) const {
  std::error_code code;
  std::filesystem::create_directories(dir, code);
  if (code) {
    error = "cannot create " + dir + ": " + code.message();
    return false;
  }
  for (const auto& [name, bytes] : files) {
    const std::string path = (std::filesystem::path(dir) / name).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      error = "cannot write " + path;
      return false;
    }
  }
  return true;
}

ItemArt StandardItem(int item) {
  switch (item) {
    case 1: {
      ItemArt art{20, 30, {}};
      for (int y = 0; y < 30; ++y) {
        const auto colour = [y](int x) { return Client(static_cast<unsigned>(x), static_cast<unsigned>(y), 16); };
        const int skip = y % 3;
        art.rows.push_back({RunOf(static_cast<std::uint16_t>(skip), skip, 5, colour),
                            RunOf(2, skip + 7, 13 - skip, colour)});
      }
      art.rows[0][0].colors[0] = 0;
      return art;
    }
    case 2: {
      ItemArt art{32, 1, {}};
      art.rows.push_back({RunOf(0, 0, 32, [](int x) {
        const auto level = static_cast<unsigned>(x);
        return Client(level, level, level);
      })});
      return art;
    }
    case 3:
      return Solid(4, 4, kRed);
    case 6: {
      ItemArt art{4, 2, {}};
      art.rows.push_back({RunOf(0, 0, 10, [](int x) { return Client(static_cast<unsigned>(x), 0, 31); })});
      art.rows.push_back({RunOf(1, 1, 2, [](int x) { return Client(static_cast<unsigned>(x), 1, 31); })});
      return art;
    }
    case 7: {
      ItemArt art{8, 3, {}};
      const auto row = [](int y) {
        return [y](int x) { return Client(static_cast<unsigned>(x), static_cast<unsigned>(y), 8); };
      };
      art.rows.push_back({RunOf(0, 0, 8, row(0))});
      art.rows.push_back({RunOf(2000, 0, 100, [](int) { return Client(1, 1, 1); })});
      art.rows.push_back({RunOf(0, 0, 8, row(2))});
      return art;
    }
    case 9: {
      ItemArt art{1, 60, {}};
      for (int y = 0; y < 60; ++y) {
        art.rows.push_back({RunOf(0, 0, 1, [y](int) { return Client(0, static_cast<unsigned>(y), 31); })});
      }
      return art;
    }
    default:
      return {};
  }
}

std::vector<std::uint16_t> StandardLandColors(int tile) {
  switch (tile) {
    case 1:
      return LandTile([](int r, int c) {
        return Client(static_cast<unsigned>(r), static_cast<unsigned>(c),
                      static_cast<unsigned>(8 + 2 * (r >> 5) + (c >> 5)));
      });
    case 2:
      return LandTile([](int, int) { return kRed; });
    case 3: {
      std::vector<std::uint16_t> colors = LandTile([](int, int) { return kGreen; });
      colors[0] = 0;
      colors[1] = 0;
      return colors;
    }
    default:
      return {};
  }
}

HueRamp StandardHueRamp(int h) {
  HueRamp ramp{};
  const auto hue = static_cast<unsigned>(h);
  for (unsigned i = 0; i < 32; ++i) ramp[i] = Client(i, hue & 31, (hue >> 5) + 1);
  return ramp;
}

HueRamp PatchedHueRamp(int h) {
  const int block = (h - 1) / 8;
  HueRamp ramp{};
  const auto hue = static_cast<unsigned>(h);
  if (block == 1) {
    for (unsigned i = 0; i < 32; ++i) ramp[i] = Client(31 - i, hue, 20);
    return ramp;
  }
  if (block == 2) {
    for (unsigned i = 0; i < 32; ++i) ramp[i] = Client(31 - i, 31, hue);
    return ramp;
  }
  return StandardHueRamp(h);
}

std::uint32_t PatchedHueHeader(std::uint32_t block) {
  if (block == 1) return kPatch1Header;
  if (block == 2) return kWinningPatch2Header;
  return kStandardHueHeader + block;
}

std::uint8_t StandardStaticHeight(std::uint32_t t) {
  return static_cast<std::uint8_t>((t * 7 + 1) & 0xFF);
}

Bytes StandardHues() {
  Bytes hues;
  for (int block = 0; block < kStandardHueBlocks; ++block) {
    const Bytes encoded = EncodeHueBlock(kStandardHueHeader + static_cast<std::uint32_t>(block),
                                         RampsOf(block, StandardHueRamp));
    hues.insert(hues.end(), encoded.begin(), encoded.end());
  }
  return hues;
}

Bytes EncodeTileData(std::uint8_t (*heightOf)(std::uint32_t), TileLayout layout, const std::vector<NamedTile>& names) {
  const bool wideFlags = layout == TileLayout::kWideFlags;
  const std::uint32_t items = layout == TileLayout::kClassic ? 0x4000 : layout == TileLayout::kClassicWide ? 0x8000 : 0x10000;
  const std::size_t flagBytes = wideFlags ? 8 : 4;
  const std::size_t landRecord = flagBytes + 22;
  const std::size_t itemRecord = flagBytes + 33;
  const std::size_t itemStart = 512 * (4 + 32 * landRecord);
  auto itemAt = [&](std::uint32_t t) { return itemStart + (t / 32) * (4 + 32 * itemRecord) + 4 + (t % 32) * itemRecord; };
  Bytes tiledata(itemStart + items / 32 * (4 + 32 * itemRecord), 0);
  for (std::uint32_t t = 0; t < items; ++t) tiledata[itemAt(t) + flagBytes + 12] = heightOf(t);
  for (const NamedTile& tile : names) {
    if (tile.land ? tile.id >= 0x4000 : tile.id >= items) continue;
    const std::size_t at = tile.land ? (tile.id / 32) * (4 + 32 * landRecord) + 4 + (tile.id % 32) * landRecord : itemAt(tile.id);
    for (std::size_t b = 0; b < flagBytes; ++b) tiledata[at + b] = static_cast<std::uint8_t>(tile.flags >> (8 * b));
    const std::size_t nameAt = at + flagBytes + (tile.land ? 2 : 13);
    std::copy_n(tile.name.begin(), std::min<std::size_t>(tile.name.size(), 20), tiledata.begin() + static_cast<std::ptrdiff_t>(nameAt));
  }
  return tiledata;
}

std::vector<NamedTile> StandardTileNames() {
  constexpr std::uint64_t kWearable = 0x00400000;
  return {
      {true, 1, 0, "grass"},
      {true, 2, 0x000000C0, "water"},  // impassable, wet
      {true, 3, 0, "sand"},
      {false, 1, 0x00000200, "wooden chair"},  // surface
      {false, 2, kWearable, "leather gloves"},
      {false, 3, 0x00000800, "iron ore"},  // stackable
      {false, 6, kWearable, "wooden shield"},
      {false, 7, 0x00800000, "lantern"},  // light source
      {false, 9, 0x00000050, "stone wall"},  // wall, impassable
      {false, 16, 0x100200000, "wooden chest"},  // container, and a flag only the wide layout holds
      {false, kHighItems[0], kWearable, "fancy cloak"},
      {false, kHighItems[1], 0, "gilded chair"},
  };
}

std::string AllItemsName(std::uint32_t t) {
  static constexpr const char* kMaterials[] = {"wooden", "iron", "golden", "stone", "leather", "silk", "bone", "glass"};
  static constexpr const char* kThings[] = {"chair", "table", "door", "sword", "shield", "lantern", "barrel",
                                            "chest", "crate", "bench", "gloves", "boots", "helm"};
  return std::string(kMaterials[t % std::size(kMaterials)]) + " " + kThings[(t / 8) % std::size(kThings)];
}

namespace {

// The pictures and names of --all-items, around the standard client's own.
void AddAllItems(IndexedFiles& art, std::vector<NamedTile>& names) {
  std::vector<bool> named(0x10000, false);
  for (const NamedTile& tile : names) {
    if (!tile.land) named[tile.id] = true;
  }
  for (std::uint32_t t = 0; t < 0x10000; ++t) {
    if (!art.Has(kItemBase + t)) {
      const auto width = static_cast<std::uint16_t>(8 + t % 20);
      const auto height = static_cast<std::uint16_t>(8 + t % 28);
      art.Set(kItemBase + t, EncodeItemArt(Solid(width, height, Client(t & 31, (t >> 5) & 31, (t >> 10) & 31))));
    }
    if (!named[t]) names.push_back({false, t, t % 7 == 0 ? 0x00400000u : 0u, AllItemsName(t)});
  }
}

}  // namespace

ClientFolder StandardClient(const ClientOptions& options) {
  IndexedFiles art;
  art.Set(1, EncodeLandTile(StandardLandColors(1)));
  art.Set(2, EncodeLandTile(StandardLandColors(2)));
  art.Set(3, EncodeLandTile(StandardLandColors(3)));
  for (int item : {1, 2, 3, 6, 7, 9}) art.Set(kItemBase + static_cast<std::uint32_t>(item), EncodeItemArt(StandardItem(item)));
  art.SetRecord(kItemBase + 4, 0xFFFFFFFF, 100);
  art.SetRecord(kItemBase + 5, 0, 0);
  ItemArt tooWide{1025, 1, {{RunOf(0, 0, 1, [](int) { return kRed; })}}};
  art.Set(kItemBase + 8, EncodeItemArt(tooWide));
  art.Set(kItemBase + 16, EncodeLandTile(StandardLandColors(1)));
  art.Set(kCharTestBase + 1, EncodeItemArt(Solid(8, 8, Client(31, 31, 0))));
  art.Set(kItemBase + kHighItems[0], EncodeItemArt(Solid(10, 6, Client(0, 16, 31))));
  art.Set(kItemBase + kHighItems[1], EncodeItemArt(Solid(6, 12, Client(31, 8, 16))));

  PatchFile verdata;
  verdata.Add(4, 2, EncodeLandTile(LandTile([](int, int) { return kBlue; })));
  verdata.Add(4, kItemBase + 3, EncodeItemArt(Solid(4, 4, kGreen)));
  verdata.Add(32, 1, EncodeHuePatch(kPatch1Header, RampsOf(1, PatchedHueRamp)));
  verdata.Add(4, kItemBase + 3, EncodeItemArt(Solid(4, 4, kBlue)));
  verdata.Add(32, 2, EncodeHuePatch(kLosingPatch2Header, RampsOf(2, LosingPatchRamp)));
  verdata.Add(32, 2, EncodeHuePatch(kWinningPatch2Header, RampsOf(2, PatchedHueRamp)));
  verdata.Add(32, 9, EncodeHuePatch(0x70000009, RampsOf(9, LosingPatchRamp)));

  std::vector<NamedTile> names = StandardTileNames();
  if (options.allItems) AddAllItems(art, names);

  ClientFolder folder;
  AddStandardArt(folder, art, verdata, options.multiRecords);
  folder.files["artidx.mul"] = art.Index(kArtIndexRecords);
  folder.files["art.mul"] = art.Data();
  folder.files["hues.mul"] = StandardHues();
  folder.files["verdata.mul"] = verdata.Build();
  folder.files["tiledata.mul"] = EncodeTileData(StandardStaticHeight, options.tileLayout, names);
  return options.containers ? ContainerTwin(folder, options.multiRecords) : folder;
}

}  // namespace tilvo::mkclient
