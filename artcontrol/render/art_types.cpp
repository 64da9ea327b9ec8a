#include "artcontrol/render/art_types.h"

#include <array>

#include "artcontrol/clientdata/client_file_set.h"
#include "artcontrol/render/character_art.h"
#include "artcontrol/render/gump.h"
#include "artcontrol/render/light.h"
#include "artcontrol/render/multi.h"
#include "artcontrol/render/texture.h"

namespace tilvo {

namespace {

constexpr int kNoSlot = -1;
constexpr std::uint32_t kAsFarAsHeld = 0xFFFFFFFF;

using enum ArtIndexUse;
using enum ArtRoute;

constexpr std::array<ArtTypeRow, 11> kArtTypes = {{
    {art_type::kItems, "Items", 0x4000, 0x10000, 0x4000, kEntry, kArtEntry, kNoSlot, kNoSlot, 4, nullptr},
    {art_type::kNpcs, "NPCs", 0x1000, 0, 0, kBody, kIndexed, slot::kAnim, slot::kAnimIndex, 6, DrawCharacter},
    {2, "Multis", 8182, kAsFarAsHeld, 0, kEntry, kIndexed, slot::kMulti, slot::kMultiIndex, 14, DrawMulti},
    {3, "Gumps", 0x10000, kAsFarAsHeld, 0, kEntry, kIndexed, slot::kGumpArt, slot::kGumpIndex, 12, DrawGump},
    {4, "Landscape", 0x4000, 0, 0, kEntry, kArtEntry, kNoSlot, kNoSlot, 4, nullptr},
    {5, "Textures", 0x1000, 0, 0, kEntry, kIndexed, slot::kTextures, slot::kTextureIndex, 10, DrawTexture},
    {6, "CharTests", 20400, 0, 0x8000, kEntry, kArtEntry, kNoSlot, kNoSlot, 4, nullptr},
    {7, "Lights", 100, 0, 0, kEntry, kIndexed, slot::kLight, slot::kLightIndex, 18, DrawLight},
    {art_type::kMapPreview, "Map Preview", 0x6E100, 0, 0, kCentreBlock, kMapBlock, kNoSlot, kNoSlot, 0, nullptr},
    {art_type::kNpcsSecondSet, "", 0x1000, 0, 0, kBody, kIndexed, slot::kAnim2, slot::kAnim2Index, 40, DrawCharacter},
    {art_type::kNpcsThirdSet, "", 0x1000, 0, 0, kBody, kIndexed, slot::kAnim3, slot::kAnim3Index, 51, DrawCharacter},
}};

// The rows with a page name, which all come first.
constexpr std::size_t CountNamed() {
  std::size_t named = 0;
  while (named < kArtTypes.size() && !kArtTypes[named].pageName.empty()) ++named;
  return named;
}

constexpr bool RowsInCodeOrderNamedFirst() {
  for (std::size_t i = 0; i < kArtTypes.size(); ++i) {
    if (kArtTypes[i].code != static_cast<std::int16_t>(i)) return false;
    if (i >= CountNamed() && !kArtTypes[i].pageName.empty()) return false;
  }
  return true;
}
static_assert(RowsInCodeOrderNamedFirst(), "a row's position is its code, and a name's position on the page");

constexpr auto kPageNames = [] {
  std::array<std::string_view, CountNamed()> names{};
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = kArtTypes[i].pageName;
  return names;
}();

}  // namespace

std::span<const ArtTypeRow> ArtTypes() { return kArtTypes; }

const ArtTypeRow* FindArtType(std::int32_t code) {
  auto type = static_cast<std::int16_t>(code);
  if (type < 0 || type >= static_cast<std::int16_t>(kArtTypes.size())) return nullptr;
  return &kArtTypes[static_cast<std::size_t>(type)];
}

std::span<const std::string_view> ArtTypePageNames() { return kPageNames; }

std::optional<std::uint32_t> TranslateArtIndex(std::int16_t type, std::uint32_t artIndex) {
  const ArtTypeRow* row = FindArtType(type);
  if (row == nullptr) return artIndex;
  if (artIndex >= row->limit) return std::nullopt;
  return artIndex + row->indexBase;
}

}  // namespace tilvo
