#pragma once
// Everything the control loads from the game client's files when it is
// created, and the loading sequence itself: BuildFileSet, LoadPatchTable,
// LoadHueTable, LoadTileData. The patch table, hues and tile data are read
// from the paths in force at that moment; ClientFileSet's own path changes do
// not reload them (the patch lists do follow), the control's do, through
// ReloadClientTables.

#include <string>

#include "artcontrol/clientdata/client_file_set.h"
#include "artcontrol/clientdata/hue_table.h"
#include "artcontrol/clientdata/patch_table.h"
#include "artcontrol/clientdata/tile_data.h"

namespace tilvo {

// The client data of one control. Over a megabyte (the tile data image is held by value): allocate it on the heap.
struct ClientData {
  ClientFileSet files;
  PatchTable patches;
  HueTable hues;
  TileDataImage tileData;
};

// Runs the loading sequence with mulPath taken as ResolveClientDirectory would give it (used as is).
void LoadClientData(ClientData& data, std::string mulPath);

// Reads the patch table, the hues and the tile data anew from the paths now in
// force, so that art from another client is drawn with that client's tables.
void ReloadClientTables(ClientData& data);

// Whether a file slot holds one of the files ReloadClientTables reads.
bool IsTableSlot(int slotNumber);

}  // namespace tilvo
