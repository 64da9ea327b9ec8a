#include "artcontrol/render/paint.h"

#include "artcontrol/render/body_tables.h"
#include "artcontrol/render/draw_object.h"
#include "artcontrol/render/map_preview.h"
#include "artcontrol/render/pixel_buffer.h"

namespace tilvo {

namespace {

constexpr std::int32_t kLoaded = 2;
constexpr std::int32_t kSystemColour = -1;
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
  if (state.artIndex > kFacet2Blocks) state.drawFlags |= kFacet2;
}

}  // namespace

void Paint(ControlState& state, RenderResources& render, const ClientData& data, const Rect& bounds,
           TilvoSite& site, const PreviewLists& lists) {
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

  // Only items and NPCs of the first set are hued.
  if (state.artType != art_type::kItems && state.artType != art_type::kNpcs) state.artColor = 0;
  std::optional<std::uint32_t> index = TranslateArtIndex(state.artType, state.artIndex);
  if (!index) return;
  const ArtTypeRow* row = FindArtType(state.artType);
  const ArtIndexUse use = row != nullptr ? row->indexUse : ArtIndexUse::kEntry;

  DrawContext ctx{render.pixels, data, render.artCache, render.artSizes, state.xOffset, state.yOffset,
                  lists.items, lists.hidden};
  if (use == ArtIndexUse::kCentreBlock) {
    SelectFacet(state);
    DrawMapPreview(ctx, {state.artIndex, state.drawFlags, state.artColor, std::int64_t{bounds.right} - bounds.left,
                         std::int64_t{bounds.bottom} - bounds.top, size.w, size.h});
  } else {
    // The body number becomes its animation entry, and ArtType the set that holds it.
    if (use == ArtIndexUse::kBody) index = AnimIndexFor(*index, state.artType);
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
