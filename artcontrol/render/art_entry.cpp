#include "artcontrol/render/art_entry.h"

#include "artcontrol/render/backdrop_box.h"
#include "artcontrol/render/colour.h"

namespace tilvo {

namespace {

constexpr std::int64_t kLandWidth = 44;
constexpr std::int64_t kLandHalf = 22;

}  // namespace

void DrawArtEntry(DrawContext& ctx, const DrawRequest& req) {
  DrawArtPicture(ctx, req, LookUpArt(ctx.artCache, ctx.data, ctx.files, req.index).picture);
}

void DrawArtBytes(DrawContext& ctx, const DrawRequest& req, std::span<const std::uint8_t> entry) {
  DrawArtPicture(ctx, req, DecodeArtPicture(entry));
}

void DrawArtPicture(DrawContext& ctx, const DrawRequest& req, const ArtPicture& art) {
  const std::int64_t shiftX = ctx.xOffset + RequestXShift(req);
  const std::int64_t shiftY = ctx.yOffset + RequestYShift(req);
  const HueEntry* ramp = HueFor(ctx.data.hues, req.hue);
  switch (art.kind) {
    case ArtKind::kNone:
      return;
    case ArtKind::kItem:
      if (req.flags & kFlagBackdrop) DrawBackdropBox(ctx.pixels, req, ctx.xOffset, ctx.yOffset, art.height);
      DrawArtSpans(ctx.pixels, req, art, (BoundsWidth(req) - art.width) / 2 + shiftX,
                   (BoundsHeight(req) - art.height) / 2 + shiftY, ramp);
      return;
    case ArtKind::kLand:
      // The backdrop flag has no effect on land tiles.
      DrawArtSpans(ctx.pixels, req, art, (BoundsWidth(req) - kLandWidth) / 2 + shiftX,
                   BoundsHeight(req) / 2 - kLandHalf + shiftY, ramp);
      return;
  }
}

}  // namespace tilvo
