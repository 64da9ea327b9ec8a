#include "artcontrol/render/draw_object.h"

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

}  // namespace tilvo
