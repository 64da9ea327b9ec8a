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
// its byte count, then the end marker. A client's name must be usable and
// lead inside the game server's folders. Every outcome is replied and logged.
void SendWholeFile(const platform::Socket& s, const std::string& name, NameSource src);

// Receives a new version of the file `name` in acknowledged chunks up to the
// end marker and puts it in place (in the scripts folder unless the name holds
// a folder), keeping the old file as "<name>.bkp.<time>" (".1", ".2", ... added
// when that backup exists: no backup is ever replaced). Every outcome is
// replied and logged; the old file stays whole unless "File Received" is sent.
// An upload over MAXUPLOADSIZE bytes is read to its end but not stored.
// Returns 0, or -1 when the stream broke (a failed receive, a negative
// length, or the receive time-out met 3000 times): the session must end, as
// the rest of the upload must never be read as commands.
int ReceiveWholeFile(const platform::Socket& s, const std::string& name);

}  // namespace gamedata
