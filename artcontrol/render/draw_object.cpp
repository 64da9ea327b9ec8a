#include "artcontrol/render/draw_object.h"

#include <array>

#include "artcontrol/clientdata/client_file_set.h"
#include "artcontrol/render/art_entry.h"
#include "artcontrol/render/character_art.h"
#include "artcontrol/render/gump.h"
#include "artcontrol/render/light.h"
#include "artcontrol/render/map_block.h"
#include "artcontrol/render/multi.h"
#include "artcontrol/render/texture.h"

namespace tilvo {

namespace {

constexpr int kNoSlot = -1;

constexpr std::array<ArtTypeRow, 11> kArtTypes = {{
    {0, "Items", 0x4000, 0x4000, ArtRoute::kArtEntry, kNoSlot, kNoSlot, 4, nullptr},
    {1, "NPCs", 0x1000, 0, ArtRoute::kIndexed, slot::kAnim, slot::kAnimIndex, 6, DrawCharacter},
    {2, "Multis", 8182, 0, ArtRoute::kIndexed, slot::kMulti, slot::kMultiIndex, 14, DrawMulti},
    {3, "Gumps", 0x10000, 0, ArtRoute::kIndexed, slot::kGumpArt, slot::kGumpIndex, 12, DrawGump},
    {4, "Landscape", 0x4000, 0, ArtRoute::kArtEntry, kNoSlot, kNoSlot, 4, nullptr},
    {5, "Textures", 0x1000, 0, ArtRoute::kIndexed, slot::kTextures, slot::kTextureIndex, 10, DrawTexture},
    {6, "CharTests", 20400, 0x8000, ArtRoute::kArtEntry, kNoSlot, kNoSlot, 4, nullptr},
    {7, "Lights", 100, 0, ArtRoute::kIndexed, slot::kLight, slot::kLightIndex, 18, DrawLight},
    {8, "Map Preview", 0x6E100, 0, ArtRoute::kMapBlock, kNoSlot, kNoSlot, 0, nullptr},
    {9, "", 0x1000, 0, ArtRoute::kIndexed, slot::kAnim2, slot::kAnim2Index, 40, DrawCharacter},
    {10, "", 0x1000, 0, ArtRoute::kIndexed, slot::kAnim3, slot::kAnim3Index, 51, DrawCharacter},
}};

}  // namespace

std::span<const ArtTypeRow> ArtTypes() { return kArtTypes; }

const ArtTypeRow* FindArtType(std::int32_t code) {
  auto type = static_cast<std::int16_t>(code);
  if (type < 0 || type >= static_cast<std::int16_t>(kArtTypes.size())) return nullptr;
  return &kArtTypes[static_cast<std::size_t>(type)];
}

std::optional<std::uint32_t> TranslateArtIndex(std::int16_t type, std::uint32_t artIndex) {
  const ArtTypeRow* row = FindArtType(type);
  if (row == nullptr) return artIndex;
  if (artIndex >= row->limit) return std::nullopt;
  return artIndex + row->indexBase;
}

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
