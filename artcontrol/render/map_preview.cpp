#include "artcontrol/render/map_preview.h"

#include <algorithm>
#include <cmath>

#include "artcontrol/render/draw_object.h"
#include "artcontrol/render/map_block.h"

namespace tilvo {

namespace {

constexpr std::int64_t kTileWidth = 44;
constexpr std::int64_t kRadiusDivisor = 8;
constexpr std::int64_t kBlockStep = 176;  // 8 tiles of 22 pixels
constexpr int kFacet2 = 2;

// ⌊√n⌋ exactly, also where a double's root rounds up.
std::int64_t FloorSqrt(std::int64_t n) {
  auto root = static_cast<std::int64_t>(std::sqrt(static_cast<double>(n)));
  while (root > 0 && root * root > n) --root;
  while ((root + 1) * (root + 1) <= n) ++root;
  return root;
}

}  // namespace

std::int64_t MapPreviewRadius(std::int64_t width, std::int64_t height) {
  const std::int64_t across = width / kTileWidth;
  const std::int64_t down = height / kTileWidth;
  return std::max<std::int64_t>(FloorSqrt(across * across + down * down) / kRadiusDivisor, 1);
}

MapCentre CentreOfArtIndex(std::uint32_t artIndex) {
  if (artIndex > kFacet2Blocks) return {kFacet2, artIndex - kFacet2Blocks};
  return {0, artIndex};
}

std::int64_t MapBlockColumns(FileSession& files, const ClientData& data, int facet) {
  const MapFacetFiles* files0 = FindMapFacet(0);
  if (facet != 0 || files0 == nullptr) return kMapColumns;
  const auto last = static_cast<std::uint32_t>(kWideMapColumns * kMapRows - 1);
  return ReadBaseLandBlock(files, data, *files0, last) ? kWideMapColumns : kMapColumns;
}

std::vector<DrawRequest> PreviewBlockRequests(const MapPreviewRequest& preview) {
  const std::uint32_t b = preview.centre;
  const std::int64_t c0 = b / kMapRows;
  const std::int64_t r0 = b % kMapRows;
  const std::int64_t radius = MapPreviewRadius(preview.boundsWidth, preview.boundsHeight);
  // Blocks off the map are skipped; the loops start and end on the map
  // rather than stepping through a radius that a huge control makes large.
  const std::int64_t firstColumn = std::max<std::int64_t>(c0 - radius, 0);
  const std::int64_t lastColumn = std::min<std::int64_t>(c0 + radius, preview.columns - 1);
  const std::int64_t firstRow = std::max<std::int64_t>(r0 - radius, 0);
  const std::int64_t lastRow = std::min<std::int64_t>(r0 + radius, kMapRows - 1);
  std::vector<DrawRequest> requests;
  for (std::int64_t c = firstColumn; c <= lastColumn; ++c) {
    for (std::int64_t r = firstRow; r <= lastRow; ++r) {
      DrawRequest req;
      req.type = art_type::kMapPreview;
      req.right = preview.w;
      req.bottom = preview.h;
      req.index = static_cast<std::uint32_t>(c * kMapRows + r);
      req.xOffset = static_cast<std::int32_t>(((c - c0) - (r - r0)) * kBlockStep);
      req.yOffset = static_cast<std::int32_t>(((c - c0) + (r - r0)) * kBlockStep);
      req.hue = preview.hue;
      req.flags = preview.drawFlags;
      requests.push_back(req);
    }
  }
  return requests;
}

void DrawMapPreview(DrawContext& ctx, const MapPreviewRequest& preview) {
  for (const DrawRequest& req : PreviewBlockRequests(preview)) DrawObject(ctx, req);
}

}  // namespace tilvo
