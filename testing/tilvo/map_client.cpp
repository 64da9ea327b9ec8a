#include "testing/tilvo/map_client.h"

#include "testing/tilvo/art_formats.h"

namespace tilvo::mkclient {
namespace {

constexpr std::uint32_t kRows = 512;
constexpr std::uint32_t kSide = 13;  // columns of the map, and rows with statics
constexpr std::uint32_t kStaticsPerBlock = 24;

// 44 pixels wide and 20 to 79 high, two runs per row like most furniture and walls.
ItemArt Item(std::uint32_t id) {
  const auto height = static_cast<std::uint16_t>(20 + id % 60);
  ItemArt art{44, height, {}};
  for (std::uint16_t y = 0; y < height; ++y) {
    ArtRun left{static_cast<std::uint16_t>(y % 5), {}};
    for (unsigned x = 0; x < 18; ++x) left.colors.push_back(Client(id & 31, y & 31, x + id / 32));
    ArtRun right{4, {}};
    for (unsigned x = 0; x < 17; ++x) right.colors.push_back(Client(x, id & 31, y & 31));
    art.rows.push_back({left, right});
  }
  return art;
}

std::vector<std::uint16_t> LandColours(std::uint32_t tile) {
  std::vector<std::uint16_t> colours;
  for (unsigned m = 0; m < 1012; ++m) colours.push_back(Client(tile, m, m >> 5));
  return colours;
}

bool HasStatics(std::uint32_t block) { return block / kRows < kSide && block % kRows < kSide; }

std::vector<StaticItem> StaticsOf(std::uint32_t items, std::uint32_t block) {
  std::vector<StaticItem> statics;
  for (std::uint32_t k = 0; k < kStaticsPerBlock; ++k) {
    statics.push_back({static_cast<std::uint16_t>((block * 31 + k * 17) % items), static_cast<std::uint8_t>(k % 8),
                       static_cast<std::uint8_t>((k * 3) % 8), static_cast<std::int8_t>((k % 4) * 3),
                       static_cast<std::uint16_t>(k % 5 == 0 ? 1 + (block + k) % 24 : 0)});
  }
  return statics;
}

std::uint8_t HeightOf(std::uint32_t t) { return static_cast<std::uint8_t>(t % 20); }

}  // namespace

ClientFolder MapClient(std::uint32_t items) {
  IndexedFiles art;
  for (std::uint32_t t = 1; t <= kMapClientLandTiles; ++t) art.Set(t, EncodeLandTile(LandColours(t)));
  for (std::uint32_t id = 0; id < items; ++id) art.Set(0x4000 + id, EncodeItemArt(Item(id)));
  Bytes map;
  IndexedFiles statics;
  for (std::uint32_t b = 0; b < kSide * kRows; ++b) {
    MapBlock land{};
    for (std::uint32_t i = 0; i < land.size(); ++i) {
      land[i] = {static_cast<std::uint16_t>(1 + (b * 7 + i * 13) % kMapClientLandTiles),
                 static_cast<std::int8_t>(static_cast<int>((i * 3 + b) % 5) - 2)};
    }
    const Bytes block = EncodeMapBlock(land);
    map.insert(map.end(), block.begin(), block.end());
    if (HasStatics(b)) statics.Set(b, EncodeStatics(StaticsOf(items, b)));
  }
  ClientFolder folder;
  folder.files["artidx.mul"] = art.Index(0x10000);
  folder.files["art.mul"] = art.Data();
  folder.files["map0.mul"] = map;
  folder.files["staidx0.mul"] = statics.Index(kSide * kRows);
  folder.files["statics0.mul"] = statics.Data();
  folder.files["hues.mul"] = StandardHues();
  folder.files["tiledata.mul"] = EncodeTileData(HeightOf);
  return folder;
}

std::vector<MapPreviewItem> MapClientPreviewItems(std::uint32_t items) {
  std::vector<MapPreviewItem> list;
  for (std::uint32_t c = 0; c < kSide; ++c) {
    for (std::uint32_t r = 0; r < kSide; ++r) {
      if ((c + r) % 3 != 0) continue;
      list.push_back({static_cast<std::uint16_t>((c * 5 + r) % items), static_cast<std::int16_t>(c * 8 + 2),
                      static_cast<std::int16_t>(r * 8 + 5), 6, static_cast<std::uint16_t>((c + r) % 25)});
    }
  }
  // Below the ground: hidden while the land layer is on.
  list.push_back({1, 6 * 8 + 3, 6 * 8 + 3, -20, 0});
  return list;
}

std::vector<MapHiddenStatic> MapClientHiddenStatics(std::uint32_t items) {
  std::vector<MapHiddenStatic> list;
  for (std::uint32_t c = 0; c < kSide; ++c) {
    for (std::uint32_t r = 0; r < kSide; ++r) {
      const std::uint32_t b = c * kRows + r;
      if (b % 7 != 0) continue;
      const StaticItem s = StaticsOf(items, b)[b % kStaticsPerBlock];
      list.push_back({s.id, b, s.x, s.y, s.z, s.hue});
    }
  }
  return list;
}

}  // namespace tilvo::mkclient
