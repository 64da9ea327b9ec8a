#include "art_kinds.h"

#include <array>
#include <cstdio>

namespace tilvo::render_tool {

namespace {

constexpr std::array<ArtKind, 7> kArtKinds = {{
    {0, "items", "Items", "item", 0x10000, 128, true},
    {4, "land", "Land tiles", "land", 0x4000, 64, true},
    {3, "gumps", "Gumps", "gump", 0x10000, 256, false},
    {5, "textures", "Textures", "texture", 0x1000, 128, false},
    {7, "lights", "Lights", "light", 100, 128, false},
    {2, "multis", "Multis", "multi", 8182, 512, false},
    {1, "npcs", "NPC bodies", "npc", 0x1000, 256, false},
}};

}  // namespace

std::span<const ArtKind> ArtKinds() { return kArtKinds; }

const ArtKind* FindArtKind(std::string_view name) {
  for (const ArtKind& kind : kArtKinds) {
    if (kind.name == name) return &kind;
  }
  return nullptr;
}

const ArtKind* FindArtKind(std::int16_t type) {
  for (const ArtKind& kind : kArtKinds) {
    if (kind.type == type) return &kind;
  }
  return nullptr;
}

std::string ExportFileName(const ArtKind& kind, std::uint32_t id) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "0x%04X", static_cast<unsigned>(id));
  return std::string(kind.filePrefix) + "_" + digits + ".png";
}

}  // namespace tilvo::render_tool
