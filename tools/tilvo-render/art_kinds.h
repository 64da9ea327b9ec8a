#pragma once
// The art types that are browsed and exported entry by entry, as one table:
// their names on command lines and in windows, and the names of their
// exported files.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tilvo::render_tool {

// An art type that is browsed and exported entry by entry.
struct ArtKind {
  std::int16_t type;             // its ArtType
  std::string_view name;         // on command lines: "items", "land", ...
  std::string_view title;        // in a program's window: "Items", "Land tiles", ...
  std::string_view filePrefix;   // of exported files: "item", "land", ...
  std::uint32_t count;           // ids 0 to count - 1 (the classic range; the client may hold more, see GetHeldEntries)
  std::int32_t fitStart;         // the side FitArt starts from
  bool tileData;                 // its ids have tile data records (items, land tiles)
};

// Items, land tiles, gumps, textures, lights, multis and NPC bodies, in that order.
std::span<const ArtKind> ArtKinds();
// The kind with that command-line name or ArtType, or null.
const ArtKind* FindArtKind(std::string_view name);
const ArtKind* FindArtKind(std::int16_t type);

// "<prefix>_0x<id as four or more upper-case hex digits>.png", such as "item_0x0B4F.png".
std::string ExportFileName(const ArtKind& kind, std::uint32_t id);

}  // namespace tilvo::render_tool
