// The commands by which the client decides what to fetch: GRES (the resource
// files of the tables script with their checksums), GFCS and GDIR.
#pragma once

#include "service/gamedata/checksum.h"
#include "service/gamedata/directory_listing.h"
#include "service/platform/net.h"

namespace gamedata {

// GRES: sends one packet "NAME\t%ld" per line of the "[RESOURCES]" section of
// "gyriontables.scp" (the name upper-cased, the checksum of the file it names),
// then the end marker; "Unable to open file gyriontables.scp" alone when the
// tables script cannot be opened.
void SendResourceList(const platform::Socket& s);

}  // namespace gamedata
