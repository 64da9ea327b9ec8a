#include "artcontrol/render/paint.h"

#include "artcontrol/render/draw_object.h"
#include "artcontrol/render/pixel_buffer.h"

namespace tilvo {

namespace {

constexpr std::int32_t kLoaded = 2;
constexpr std::int32_t kSystemColour = -1;
constexpr std::int16_t kMapPreview = 8;
constexpr std::uint32_t kSecondFacetBlocks = 0x60000;
constexpr std::uint16_t kFacet2 = 0x0200;

void ShowPicture(ControlState& state, const RenderResources& render, const Rect& bounds, TilvoSite& site) {
  site.CopyToScreen(render.pixels, bounds.left, bounds.top);
  state.modified = false;
  state.pictureValid = true;
}

// A map preview paint first records the facet of its block number in
// DrawFlags: block numbers above 0x60000 are on facet 2.
void SelectFacet(ControlState& state) {
  state.drawFlags = static_cast<std::uint16_t>(state.drawFlags & ~kFacetBits);
  if (state.artIndex > kSecondFacetBlocks) state.drawFlags |= kFacet2;
}

}  // namespace

void Paint(ControlState& state, RenderResources& render, const ClientData& data, const Rect& bounds,
           TilvoSite& site) {
  if (state.readyState != kLoaded) return;
  PictureSize size = PictureSizeFor(bounds);
  if (state.pictureValid) {
    ShowPicture(state, render, bounds, site);
    return;
  }
  std::uint32_t background = state.bkColor == kSystemColour ? site.ButtonFaceColor()
                                                            : static_cast<std::uint32_t>(state.bkColor);
  FillPicture(render.pixels, size, background);
  // The cleared window shows at once, before a slow decode.
  site.CopyToScreen(render.pixels, bounds.left, bounds.top);

  if (state.artType < 0 || state.artType > 1) state.artColor = 0;
  std::optional<std::uint32_t> index = TranslateArtIndex(state.artType, state.artIndex);
  if (!index) return;

  if (state.artType == kMapPreview) {
    SelectFacet(state);
  } else {
    DrawContext ctx{render.pixels, data, render.artCache, render.artSizes, state.xOffset, state.yOffset};
    DrawRequest req;
    req.type = state.artType;
    req.right = size.w;
    req.bottom = size.h;
    req.index = *index;
    req.hue = state.artColor;
    req.flags = state.drawFlags;
    DrawObject(ctx, req);
  }
  ShowPicture(state, render, bounds, site);
}

}  // namespace tilvo
