#include "map_geometry.h"

#include <algorithm>

#include "art_catalog.h"

namespace tilvo::viewer {
namespace {

constexpr std::int32_t kHalfTile = 22;
constexpr std::int32_t kTile = 44;
constexpr std::int32_t kBlockStep = kBlockTiles * kHalfTile;

// Division rounding toward minus infinity, as tiles to the west and north of the centre need.
std::int32_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return static_cast<std::int32_t>(q);
}

}  // namespace

std::int32_t MapColumns(std::int32_t facet) { return facet == 0 ? 896 : 768; }

MapTile TileAt(const MapPosition& at, std::int32_t w, std::int32_t h, std::int32_t px, std::int32_t py) {
  // The point relative to the diamond of the centre block's first tile.
  const std::int64_t dx = std::int64_t{px} - w / 2 - at.xOffset;
  const std::int64_t dy = std::int64_t{py} - h / 2 + kHalfTile - at.yOffset;
  // Turned by 45 degrees the diamonds are squares of 44 pixels.
  return {at.column * kBlockTiles + FloorDiv(dx + dy + kHalfTile, kTile),
          at.row * kBlockTiles + FloorDiv(dy - dx + kHalfTile, kTile)};
}

std::int32_t BlockOf(const MapTile& tile) { return tile.x / kBlockTiles * kMapRows + tile.y / kBlockTiles; }

MapPosition Recentred(const MapPosition& at) {
  // The middle tile relative to the centre block's first tile.
  const std::int64_t dx = -std::int64_t{at.xOffset};
  const std::int64_t dy = kHalfTile - std::int64_t{at.yOffset};
  const std::int32_t tileX = FloorDiv(dx + dy + kHalfTile, kTile);
  const std::int32_t tileY = FloorDiv(dy - dx + kHalfTile, kTile);
  MapPosition next = at;
  next.column = std::clamp(at.column + FloorDiv(tileX, kBlockTiles), 0, MapColumns(at.facet) - 1);
  next.row = std::clamp(at.row + FloorDiv(tileY, kBlockTiles), 0, kMapRows - 1);
  const std::int32_t columns = next.column - at.column;
  const std::int32_t rows = next.row - at.row;
  next.xOffset = at.xOffset + (columns - rows) * kBlockStep;
  next.yOffset = at.yOffset + (columns + rows) * kBlockStep;
  return next;
}

std::optional<MapPosition> CentredOn(std::int32_t facet, const MapTile& tile) {
  if ((facet != 0 && facet != 2) || tile.x < 0 || tile.y < 0 || tile.x >= MapColumns(facet) * kBlockTiles ||
      tile.y >= kMapRows * kBlockTiles) {
    return std::nullopt;
  }
  const std::int32_t x = tile.x % kBlockTiles;
  const std::int32_t y = tile.y % kBlockTiles;
  return MapPosition{facet, tile.x / kBlockTiles, tile.y / kBlockTiles, -(x - y) * kHalfTile, kHalfTile - (x + y) * kHalfTile};
}

std::optional<MapTile> ParseTile(std::string_view text) {
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  auto part = [](std::string_view s) {
    s.remove_prefix(std::min(s.find_first_not_of(' '), s.size()));
    s.remove_suffix(s.size() - std::min(s.find_last_not_of(' ') + 1, s.size()));
    return ParseId(s);
  };
  const std::optional<std::uint32_t> x = part(text.substr(0, comma));
  const std::optional<std::uint32_t> y = part(text.substr(comma + 1));
  if (!x || !y || *x > 0x7FFFFFFF || *y > 0x7FFFFFFF) return std::nullopt;
  return MapTile{static_cast<std::int32_t>(*x), static_cast<std::int32_t>(*y)};
}

std::string DescribeTile(const MapTile& tile) {
  return "x " + std::to_string(tile.x) + ", y " + std::to_string(tile.y) + ", block " + std::to_string(BlockOf(tile)) +
         " (column " + std::to_string(tile.x / kBlockTiles) + ", row " + std::to_string(tile.y / kBlockTiles) + ")";
}

}  // namespace tilvo::viewer
