#pragma once
// ClientFileSet: the 79 numbered slots holding the paths of the client's data
// files, and MulPath, the client directory the default names are joined to. A
// slot number is also the file id under which "verdata.mul" names that file,
// so the numbering is part of the data format. The set also keeps the eight
// per-facet patch lists loaded, since the path methods are what reload them.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "artcontrol/clientdata/diff_list.h"

namespace tilvo {

inline constexpr int kClientFileSlotCount = 79;

// Slot numbers of the files the control reads (the rest are only named).
namespace slot {
inline constexpr int kMap0 = 0;
inline constexpr int kStaticsIndex0 = 1;
inline constexpr int kStatics0 = 2;
inline constexpr int kArtIndex = 3;
inline constexpr int kArt = 4;
inline constexpr int kAnimIndex = 5;
inline constexpr int kAnim = 6;
inline constexpr int kTextureIndex = 9;
inline constexpr int kTextures = 10;
inline constexpr int kGumpIndex = 11;
inline constexpr int kGumpArt = 12;
inline constexpr int kMultiIndex = 13;
inline constexpr int kMulti = 14;
inline constexpr int kLightIndex = 17;
inline constexpr int kLight = 18;
inline constexpr int kTileData = 30;
inline constexpr int kHues = 32;
inline constexpr int kVerdata = 36;
inline constexpr int kMap2 = 37;
inline constexpr int kStaticsIndex2 = 38;
inline constexpr int kStatics2 = 39;
inline constexpr int kAnim2 = 40;
inline constexpr int kAnim2Index = 41;
inline constexpr int kMap3 = 48;
inline constexpr int kStaticsIndex3 = 49;
inline constexpr int kStatics3 = 50;
inline constexpr int kAnim3 = 51;
inline constexpr int kAnim3Index = 52;
}  // namespace slot

// Per facet (0 to 3), the slots of its map files and patch files.
struct FacetSlots {
  int map;                 // land blocks
  int staticsIndex;        // statics index
  int statics;             // statics data (also the file id of its verdata patches)
  int landPatchData;       // land patch blocks
  int landPatchList;       // land patch list (a DiffList)
  int staticsPatchData;    // statics patch data
  int staticsPatchIndex;   // statics patch index
  int staticsPatchList;    // statics patch list (a DiffList)
};
// The slots of facets 0, 1, 2 and 3.
extern const std::array<FacetSlots, 4> kFacetSlots;

// The default name of a slot (joined to MulPath), or empty for a slot without one.
std::string_view DefaultFileName(int slotNumber);

// True for the slots SetCustomMulFile and GetCustomMulPath refuse: below 0, above 78, or 19 to 29.
bool IsRefusedSlot(int slotNumber);

class ClientFileSet {
 public:
  // An empty MulPath, 79 empty slots and eight empty patch lists.
  ClientFileSet();

  // Takes MulPath as ResolveClientDirectory gives it (used as is) and runs BuildFileSet.
  void SetClientDirectory(std::string mulPath);

  // Writes every default name as MulPath + name (slots without one keep their
  // text), or the path of the slot's container where the file is missing and
  // the container is there (found whatever the case of its name), then reloads
  // the eight patch lists.
  void BuildFileSet();

  // SetMulPath: MulPath = pszNewPath with the path separator appended unless it already ends in one (empty gives the separator alone), then BuildFileSet.
  void SetMulPath(std::string_view pszNewPath);
  // GetMulPath: MulPath unchanged.
  const std::string& GetMulPath() const { return mulPath_; }

  // SetCustomMulFile: stores the path in the slot as given and reloads the slot's patch list if it has one; false (nothing changed) for a refused slot or an empty path.
  bool SetCustomMulFile(std::int16_t sFileIndex, std::string_view pszNewFilePath);
  // GetCustomMulPath: the slot's current path, or empty for a refused slot.
  std::string GetCustomMulPath(std::int16_t sFileIndex) const;

  // The current path of a slot, as readers take it each time they open a file; empty outside 0 to 78.
  const std::string& Path(int slotNumber) const;

  // The land patch list of a facet (0 to 3; any other facet gives an empty list).
  const DiffList& LandPatchList(int facet) const;
  // The statics patch list of a facet (0 to 3; any other facet gives an empty list).
  const DiffList& StaticsPatchList(int facet) const;

 private:
  void ReloadPatchList(int slotNumber);

  std::string mulPath_;
  std::array<std::string, kClientFileSlotCount> paths_;
  std::array<DiffList, 4> landLists_;
  std::array<DiffList, 4> staticsLists_;
};

}  // namespace tilvo
