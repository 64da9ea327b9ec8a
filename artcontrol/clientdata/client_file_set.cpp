#include "artcontrol/clientdata/client_file_set.h"

#include "artcontrol/clientdata/container_entries.h"
#include "artcontrol/platform/file_access.h"
#include "artcontrol/platform/folder.h"
#include "artcontrol/platform/path.h"

namespace tilvo {
namespace {

// One row per slot, numbered 0 to 78; a null name leaves the slot as it is
// when the default names are written. The order inside pairs is the client's
// own and is not uniform: "anim.idx" comes before "anim.mul", but "anim2.mul"
// and "anim3.mul" before their ".idx" files.
struct SlotRow {
  int slot;
  const char* name;
};

constexpr SlotRow kSlotTable[kClientFileSlotCount] = {
    {0, "map0.mul"},        // land blocks, facets 0 and 1
    {1, "staidx0.mul"},     // statics index, facets 0 and 1
    {2, "statics0.mul"},    // statics data, facets 0 and 1
    {3, "artidx.mul"},      // art index
    {4, "art.mul"},         // land tile and item art
    {5, "anim.idx"},        // animation index
    {6, "anim.mul"},        // animation frames
    {7, "soundidx.mul"},    // named only
    {8, "sound.mul"},       // named only
    {9, "texidx.mul"},      // texture index
    {10, "texmaps.mul"},    // textures
    {11, "gumpidx.mul"},    // gump index
    {12, "gumpart.mul"},    // gumps
    {13, "multi.idx"},      // multi index
    {14, "multi.mul"},      // multis
    {15, "skills.idx"},     // named only
    {16, "skills.mul"},     // named only
    {17, "lightidx.mul"},   // light index
    {18, "light.mul"},      // lights
    {19, nullptr},          // 19 to 29 reserved
    {20, nullptr},
    {21, nullptr},
    {22, nullptr},
    {23, nullptr},
    {24, nullptr},
    {25, nullptr},
    {26, nullptr},
    {27, nullptr},
    {28, nullptr},
    {29, nullptr},
    {30, "tiledata.mul"},   // tile data
    {31, "animdata.mul"},   // named only
    {32, "hues.mul"},       // hues
    {33, "animinfo.mul"},   // named only
    {34, "fonts.mul"},      // named only
    {35, "radarcol.mul"},   // named only
    {36, "verdata.mul"},    // patch file
    {37, "map2.mul"},       // land blocks, facet 2
    {38, "staidx2.mul"},    // statics index, facet 2
    {39, "statics2.mul"},   // statics data, facet 2
    {40, "anim2.mul"},      // second animation set, frames
    {41, "anim2.idx"},      // second animation set, index
    {42, nullptr},          // 42 to 47 free for the host
    {43, nullptr},
    {44, nullptr},
    {45, nullptr},
    {46, nullptr},
    {47, nullptr},
    {48, "map3.mul"},       // land blocks, facet 3
    {49, "staidx3.mul"},    // statics index, facet 3
    {50, "statics3.mul"},   // statics data, facet 3
    {51, "anim3.mul"},      // third animation set, frames
    {52, "anim3.idx"},      // third animation set, index
    {53, "mapdif3.mul"},    // land patch blocks, facet 3
    {54, "mapdifl3.mul"},   // land patch list, facet 3
    {55, "stadif3.mul"},    // statics patch data, facet 3
    {56, "stadifi3.mul"},   // statics patch index, facet 3
    {57, "stadifl3.mul"},   // statics patch list, facet 3
    {58, nullptr},          // 58 to 63 free for the host
    {59, nullptr},
    {60, nullptr},
    {61, nullptr},
    {62, nullptr},
    {63, nullptr},
    {64, "mapdif0.mul"},    // land patch blocks, facet 0
    {65, "mapdif1.mul"},    // land patch blocks, facet 1
    {66, "mapdif2.mul"},    // land patch blocks, facet 2
    {67, "mapdifl0.mul"},   // land patch list, facet 0
    {68, "mapdifl1.mul"},   // land patch list, facet 1
    {69, "mapdifl2.mul"},   // land patch list, facet 2
    {70, "stadif0.mul"},    // statics patch data, facet 0
    {71, "stadif1.mul"},    // statics patch data, facet 1
    {72, "stadif2.mul"},    // statics patch data, facet 2
    {73, "stadifi0.mul"},   // statics patch index, facet 0
    {74, "stadifi1.mul"},   // statics patch index, facet 1
    {75, "stadifi2.mul"},   // statics patch index, facet 2
    {76, "stadifl0.mul"},   // statics patch list, facet 0
    {77, "stadifl1.mul"},   // statics patch list, facet 1
    // The client names no file for facet 2's statics patch list: its patches
    // apply only when the host sets this slot with SetCustomMulFile.
    {78, nullptr},
};

constexpr bool RowsAreNumberedInOrder() {
  for (int i = 0; i < kClientFileSlotCount; ++i) {
    if (kSlotTable[i].slot != i) return false;
  }
  return true;
}
static_assert(RowsAreNumberedInOrder(), "row n of the slot table must be slot n");

// The eight patch-list slots in the order BuildFileSet reloads them.
constexpr int kPatchListReloadOrder[] = {67, 68, 69, 54, 76, 77, 78, 57};

const DiffList& EmptyDiffList() {
  static const DiffList empty;
  return empty;
}

const std::string& EmptyPath() {
  static const std::string empty;
  return empty;
}

}  // namespace

const std::array<FacetSlots, 4> kFacetSlots = {{
    //  map staidx statics mapdif mapdifl stadif stadifi stadifl
    {0, 1, 2, 64, 67, 70, 73, 76},
    {0, 1, 2, 65, 68, 71, 74, 77},
    {37, 38, 39, 66, 69, 72, 75, 78},
    {48, 49, 50, 53, 54, 55, 56, 57},
}};

std::string_view DefaultFileName(int slotNumber) {
  if (slotNumber < 0 || slotNumber >= kClientFileSlotCount) return {};
  const char* name = kSlotTable[slotNumber].name;
  return name ? std::string_view(name) : std::string_view();
}

bool IsRefusedSlot(int slotNumber) {
  return slotNumber < 0 || slotNumber > 78 || (slotNumber >= 19 && slotNumber <= 29);
}

ClientFileSet::ClientFileSet() = default;

void ClientFileSet::SetClientDirectory(std::string mulPath) {
  mulPath_ = std::move(mulPath);
  BuildFileSet();
}

void ClientFileSet::BuildFileSet() {
  for (const SlotRow& row : kSlotTable) {
    if (!row.name) continue;
    std::string& path = paths_[static_cast<std::size_t>(row.slot)];
    path = mulPath_ + row.name;
    // Current clients keep some files in containers: where the file itself is
    // missing and its container is there, the container serves the slot.
    const std::string_view container = ContainerFileName(row.slot);
    if (container.empty() || platform::ReadOnlyFile(path).IsOpen()) continue;
    std::string found = platform::FindFileIgnoringCase(mulPath_, container);
    if (!found.empty()) path = std::move(found);
  }
  for (int listSlot : kPatchListReloadOrder) ReloadPatchList(listSlot);
}

void ClientFileSet::SetMulPath(std::string_view pszNewPath) {
  mulPath_ = std::string(pszNewPath);
  if (mulPath_.empty() || mulPath_.back() != platform::kPathSeparator) mulPath_ += platform::kPathSeparator;
  BuildFileSet();
}

bool ClientFileSet::SetCustomMulFile(std::int16_t sFileIndex, std::string_view pszNewFilePath) {
  if (IsRefusedSlot(sFileIndex) || pszNewFilePath.empty()) return false;
  paths_[static_cast<std::size_t>(sFileIndex)] = std::string(pszNewFilePath);
  ReloadPatchList(sFileIndex);
  return true;
}

std::string ClientFileSet::GetCustomMulPath(std::int16_t sFileIndex) const {
  if (IsRefusedSlot(sFileIndex)) return {};
  return paths_[static_cast<std::size_t>(sFileIndex)];
}

const std::string& ClientFileSet::Path(int slotNumber) const {
  if (slotNumber < 0 || slotNumber >= kClientFileSlotCount) return EmptyPath();
  return paths_[static_cast<std::size_t>(slotNumber)];
}

const DiffList& ClientFileSet::LandPatchList(int facet) const {
  if (facet < 0 || facet > 3) return EmptyDiffList();
  return landLists_[static_cast<std::size_t>(facet)];
}

const DiffList& ClientFileSet::StaticsPatchList(int facet) const {
  if (facet < 0 || facet > 3) return EmptyDiffList();
  return staticsLists_[static_cast<std::size_t>(facet)];
}

// Reloads the list fed by slotNumber; a slot that feeds none is left alone.
void ClientFileSet::ReloadPatchList(int slotNumber) {
  for (std::size_t facet = 0; facet < kFacetSlots.size(); ++facet) {
    if (kFacetSlots[facet].landPatchList == slotNumber) LoadDiffList(Path(slotNumber), landLists_[facet]);
    if (kFacetSlots[facet].staticsPatchList == slotNumber) LoadDiffList(Path(slotNumber), staticsLists_[facet]);
  }
}

}  // namespace tilvo
