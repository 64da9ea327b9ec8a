#include "artcontrol/render/draw_object.h"

#include "artcontrol/render/art_cache.h"
#include "artcontrol/render/art_entry.h"
#include "artcontrol/render/indexed_art.h"
#include "artcontrol/render/map_block.h"

namespace tilvo {

void DrawObject(DrawContext& ctx, const DrawRequest& req) {
  const ArtTypeRow* row = FindArtType(req.type);
  if (row == nullptr) return;
  switch (row->route) {
    case ArtRoute::kArtEntry:
      DrawArtEntry(ctx, req);
      return;
    case ArtRoute::kIndexed:
      if (std::optional<IndexedArt> entry =
              LoadIndexedArt(ctx.files, ctx.data, {row->dataSlot, row->indexSlot, row->patchFileId}, req.index)) {
        row->decode(ctx, req, *entry);
      }
      return;
    case ArtRoute::kMapBlock:
      DrawMapBlock(ctx, req);
      return;
  }
}

bool HoldsEntry(DrawContext& ctx, const ArtTypeRow& row, std::uint32_t index) {
  switch (row.route) {
    case ArtRoute::kArtEntry:
      return GetArt(ctx.artCache, ctx.data, ctx.files, index) != nullptr;
    case ArtRoute::kIndexed:
      return LoadIndexedArt(ctx.files, ctx.data, {row.dataSlot, row.indexSlot, row.patchFileId}, index).has_value();
    case ArtRoute::kMapBlock:
      return false;
  }
  return false;
}

}  // namespace tilvo
