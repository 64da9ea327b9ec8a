// Which request fetches or stores a file of the game server: the scripts with
// command words of their own, and GFIL or SFIL for every other name.
#pragma once

#include <string>
#include <string_view>

namespace orvo {

// The request that fetches `name`: the script's own word (GITM for
// "gyrionitem2.scp", ...) when the name is one of the fixed script names
// exactly, otherwise "GFIL" followed directly by the name.
std::string FetchRequest(std::string_view name);

// The request that stores `name`: the script's own word (SIT2 for
// "gyrionitem2.scp", ...) or "SFIL" followed directly by the name.
std::string StoreRequest(std::string_view name);

// The request that merges one entry: "SITM" for an item, "SCHR" for an NPC.
enum class EntryKind { kItem, kNpc };
std::string_view MergeRequest(EntryKind kind);

}  // namespace orvo
