#pragma once
// Which entries of an art type the client holds, for hosts that list them
// (a grid of every item) without drawing each one: read from the index files
// (each read once), the containers' tables and the patch table.

#include <cstdint>
#include <vector>

#include "artcontrol/clientdata/client_data.h"
#include "artcontrol/clientdata/file_session.h"

namespace tilvo {

// Types that reach as far as the client holds entries (multis, gumps) are listed up to this ArtIndex.
inline constexpr std::uint32_t kHeldListLimit = 0x10000;

// The ArtIndex values of the art type whose entry the client holds, ascending:
// a patch with bytes, else a container entry, else an index record with an
// offset and a length (the type's data file must open). NPCs are listed by
// body number, each looked up in the animation set that holds it. Empty for
// the map preview and for codes without a row.
std::vector<std::uint32_t> HeldEntries(FileSession& files, const ClientData& data, std::int16_t type);

}  // namespace tilvo
