#include "tile_flags.h"

#include <cstdio>

namespace tilvo::viewer {
namespace {

constexpr TileFlag kTileFlags[] = {
    {0x00000001, "background"},  {0x00000002, "weapon"},       {0x00000004, "transparent"},
    {0x00000008, "translucent"}, {0x00000010, "wall"},         {0x00000020, "damaging"},
    {0x00000040, "impassable"},  {0x00000080, "wet"},          {0x00000200, "surface"},
    {0x00000400, "bridge"},      {0x00000800, "stackable"},    {0x00001000, "window"},
    {0x00002000, "no shoot"},    {0x00004000, "article a"},    {0x00008000, "article an"},
    {0x00010000, "internal"},    {0x00020000, "foliage"},      {0x00040000, "partial hue"},
    {0x00100000, "map"},         {0x00200000, "container"},    {0x00400000, "wearable"},
    {0x00800000, "light source"}, {0x01000000, "animation"},   {0x02000000, "no diagonal"},
    {0x08000000, "armour"},      {0x10000000, "roof"},         {0x20000000, "door"},
    {0x40000000, "stair back"},  {0x80000000, "stair right"},
};

}  // namespace

std::span<const TileFlag> TileFlags() { return kTileFlags; }

std::string DescribeFlags(std::uint64_t flags) {
  if (flags == 0) return "none";
  std::string text;
  for (int bit = 0; bit < 64; ++bit) {
    const std::uint64_t mask = std::uint64_t{1} << bit;
    if ((flags & mask) == 0) continue;
    std::string name;
    for (const TileFlag& flag : kTileFlags) {
      if (flag.bit == mask) name = flag.name;
    }
    if (name.empty()) {
      char hex[24];
      std::snprintf(hex, sizeof hex, "0x%llX", static_cast<unsigned long long>(mask));
      name = hex;
    }
    text += (text.empty() ? "" : ", ") + name;
  }
  return text;
}

}  // namespace tilvo::viewer
