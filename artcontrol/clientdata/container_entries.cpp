#include "artcontrol/clientdata/container_entries.h"

#include <cstdio>

#include "artcontrol/clientdata/client_file_set.h"

namespace tilvo {

namespace {

enum class Naming { kArt, kGumps, kMap, kMultis };

struct ContainerRow {
  int slot;
  std::string_view fileName;
  Naming naming;
  int map;  // the map of a map slot
};

constexpr ContainerRow kContainers[] = {
    {slot::kArt, "artLegacyMUL.uop", Naming::kArt, -1},
    {slot::kGumpArt, "gumpartLegacyMUL.uop", Naming::kGumps, -1},
    {slot::kMap0, "map0LegacyMUL.uop", Naming::kMap, 0},
    {slot::kMap2, "map2LegacyMUL.uop", Naming::kMap, 2},
    {slot::kMap3, "map3LegacyMUL.uop", Naming::kMap, 3},
    {slot::kMulti, "MultiCollection.uop", Naming::kMultis, -1},
};

constexpr int kHighestMap = 5;

const ContainerRow* FindRow(int slot) {
  for (const ContainerRow& row : kContainers) {
    if (row.slot == slot) return &row;
  }
  return nullptr;
}

std::string Format(const char* pattern, std::uint32_t n) {
  char name[64];
  std::snprintf(name, sizeof name, pattern, static_cast<unsigned>(n));
  return name;
}

}  // namespace

std::string_view ContainerFileName(int slot) {
  const ContainerRow* row = FindRow(slot);
  return row ? row->fileName : std::string_view();
}

std::vector<std::string> ContainerEntryNames(int slot, std::uint32_t n) {
  const ContainerRow* row = FindRow(slot);
  if (row == nullptr) return {};
  switch (row->naming) {
    case Naming::kArt:
      return {Format("build/artlegacymul/%08u.tga", n)};
    case Naming::kGumps:
      return {Format("build/gumpartlegacymul/%08u.tga", n), Format("build/gumpartlegacymul/%07u.tga", n)};
    case Naming::kMap:
      return {MapEntryName(row->map, n)};
    case Naming::kMultis:
      return {Format("build/multicollection/%06u.bin", n)};
  }
  return {};
}

std::optional<std::vector<std::uint8_t>> LoadContainerEntry(FileSession& files, const std::string& path,
                                                            const ContainerTable& table, int slot, std::uint32_t n) {
  for (const std::string& name : ContainerEntryNames(slot, n)) {
    if (const ContainerRecord* record = FindContainerEntry(table, name)) return files.ContainerEntry(path, *record);
  }
  return std::nullopt;
}

std::string MapEntryName(int map, std::uint32_t entry) {
  return "build/map" + std::to_string(map) + Format("legacymul/%08u.dat", entry);
}

int ContainerMapNumber(const ContainerTable& table, int preferred) {
  if (FindContainerEntry(table, MapEntryName(preferred, 0))) return preferred;
  for (int map = 0; map <= kHighestMap; ++map) {
    if (FindContainerEntry(table, MapEntryName(map, 0))) return map;
  }
  return preferred;
}

}  // namespace tilvo
