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

// A map preview paint first records the facet of its centre in DrawFlags.
void SelectFacet(ControlState& state, int facet) {
  state.drawFlags = static_cast<std::uint16_t>(state.drawFlags & ~kFacetBits);
  if (facet == 2) state.drawFlags |= kFacet2;
}

// The index paint draws for ArtIndex: the type's range, then the entries the
// client holds past it; none when it is out of range.
std::optional<std::uint32_t> IndexToDraw(DrawContext& ctx, const ControlState& state) {
  if (state.artType == art_type::kMapPreview && state.mapCentre) return state.artIndex;
  if (std::optional<std::uint32_t> index = TranslateArtIndex(state.artType, state.artIndex)) return index;
  const ArtTypeRow* row = FindArtType(state.artType);
  if (row == nullptr || state.artIndex >= row->heldLimit) return std::nullopt;
  const std::uint32_t index = state.artIndex + row->indexBase;
  if (!HoldsEntry(ctx, *row, index)) return std::nullopt;
  return index;
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
  DrawContext ctx{render.pixels, data, render.artCache, render.artSizes, state.xOffset, state.yOffset,
                  lists.items, lists.hidden};
  ctx.files.KeepContainersIn(render.containers);
  std::optional<std::uint32_t> index = IndexToDraw(ctx, state);
  if (!index) return;
  const ArtTypeRow* row = FindArtType(state.artType);
  const ArtIndexUse use = row != nullptr ? row->indexUse : ArtIndexUse::kEntry;

  if (use == ArtIndexUse::kCentreBlock) {
    const MapCentre centre = state.mapCentre ? *state.mapCentre : CentreOfArtIndex(state.artIndex);
    SelectFacet(state, centre.facet);
    DrawMapPreview(ctx, {centre.block, state.drawFlags, state.artColor, std::int64_t{bounds.right} - bounds.left,
                         std::int64_t{bounds.bottom} - bounds.top, size.w, size.h,
                         MapBlockColumns(ctx.files, data, centre.facet)});
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
