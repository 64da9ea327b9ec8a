// The spawn points of the saved world ("gyrionworld.scp"), kept as one text of
// lines "KIND,MORE,POS" with CR LF, rebuilt at intervals and sent by GSPN.
#pragma once

#include <memory>
#include <string>

#include "service/platform/net.h"

namespace gamedata {

// What one scan of a world file found.
struct SpawnScan {
  std::string list;  // the lines "%s,%s,%s" with CR LF, upper case
  long items = 0;    // item spawn records
  long npcs = 0;     // NPC spawn records
};

// Scans the world file at `native_path`, appending to `scan`; false when the
// file cannot be opened.
bool ScanWorldFile(const std::string& native_path, SpawnScan* scan);

// Rebuilds the spawn list from the world save named by "gyrion.ini" and puts
// it in place of the current one, also when the rebuild stops early (then it
// holds the lines found so far, usually none). Logs the outcome. Rebuilds run
// one at a time.
void LoadSpawnList();

// The current spawn list, whole and unchanging; nullptr before the first
// rebuild.
std::shared_ptr<const std::string> CurrentSpawnList();

// Forgets the spawn list, as before the first rebuild.
void ClearSpawnList();

// GSPN: sends the list's length in decimal, the list in packets of 1024 bytes,
// then ".\r\n". Builds the list first when none exists.
void SendSpawnList(const platform::Socket& s);

}  // namespace gamedata
