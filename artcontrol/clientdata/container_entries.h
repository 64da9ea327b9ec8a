#pragma once
// Which containers stand in for which data files, and the names of their
// entries:
//   art.mul      "artLegacyMUL.uop"       build/artlegacymul/%08u.tga (the art entry number)
//   gumpart.mul  "gumpartLegacyMUL.uop"   build/gumpartlegacymul/%08u.tga, a few with 7 digits
//   map<N>.mul   "map<N>LegacyMUL.uop"    build/map<N>legacymul/%08u.dat (4096 blocks an entry)
//   multi.mul    "MultiCollection.uop"    build/multicollection/%06u.bin
// The index files of those slots have no container: a container holds its
// own table.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "artcontrol/clientdata/container.h"
#include "artcontrol/clientdata/file_session.h"

namespace tilvo {

// Map blocks in one entry of a map container.
inline constexpr std::uint32_t kBlocksPerMapEntry = 4096;

// The file name of the container that stands in for the data file of a slot, or empty for a slot without one.
std::string_view ContainerFileName(int slot);

// The names entry n of a data slot's file may have in its container, the likeliest first; none for a slot without a container.
std::vector<std::string> ContainerEntryNames(int slot, std::uint32_t n);

// Entry n of the container at path (table: its table) that stands in for the
// data file of slot, decoded; none when the container holds no entry of that
// number or it cannot be decoded.
std::optional<std::vector<std::uint8_t>> LoadContainerEntry(FileSession& files, const std::string& path,
                                                            const ContainerTable& table, int slot, std::uint32_t n);

// The name of entry `entry` of the container of map `map`.
std::string MapEntryName(int map, std::uint32_t entry);

// The map a map container holds: `preferred` when its first entry is there,
// else the first of maps 0 to 5 whose first entry is, else `preferred`.
int ContainerMapNumber(const ContainerTable& table, int preferred);

}  // namespace tilvo
