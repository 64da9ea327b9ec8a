// Whole-file fetch and store: a size announcement and acknowledged chunks one
// way, acknowledged chunks up to the end marker, a ".tmp" file and a
// ".bkp.<time>" backup the other way.
#pragma once

#include <string>

#include "service/gamedata/path_guard.h"
#include "service/platform/net.h"

namespace gamedata {

// Sends the file `name` (opened as text from the working directory) to the
// client: its size on disk, chunks of up to 1024 bytes each acknowledged with
// its byte count, then the end marker. Every outcome is replied and logged.
void SendWholeFile(const platform::Socket& s, const std::string& name, NameSource src);

// Receives a new version of the file `name` in acknowledged chunks up to the
// end marker and puts it in place (in the scripts folder unless the name holds
// a folder), keeping the old file as "<name>.bkp.<time>". Every outcome is
// replied and logged; the old file stays whole unless "File Received" is sent.
void ReceiveWholeFile(const platform::Socket& s, const std::string& name, NameSource src);

}  // namespace gamedata
