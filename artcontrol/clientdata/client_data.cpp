#include "artcontrol/clientdata/client_data.h"

namespace tilvo {

void LoadClientData(ClientData& data, std::string mulPath) {
  data.files.SetClientDirectory(std::move(mulPath));
  ReloadClientTables(data);
}

void ReloadClientTables(ClientData& data) {
  data.patches = LoadPatchTable(data.files.Path(slot::kVerdata));
  data.hues = LoadHueTable(data.files.Path(slot::kHues), data.files.Path(slot::kVerdata), data.patches);
  LoadTileData(data.files.Path(slot::kTileData), data.tileData);
}

bool IsTableSlot(int slotNumber) {
  return slotNumber == slot::kVerdata || slotNumber == slot::kHues || slotNumber == slot::kTileData;
}

}  // namespace tilvo
