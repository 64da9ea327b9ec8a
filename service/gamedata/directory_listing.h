// GDIR: a directory of the server machine, filtered by ALLOWEDPATHS and
// ALLOWEDEXTENSIONS.
#pragma once

#include <string>
#include <string_view>

#include "service/gamedata/path_guard.h"
#include "service/platform/net.h"

namespace gamedata {

// Whether `item` is one of the ":"-separated, non-empty items of `list`,
// compared without regard to case, "/" and "\" counting as the same separator.
bool InColonList(std::string_view list, std::string_view item);

// GDIR: sends the listed entries of folder `path` as packed records (attribute
// word, little-endian, then the name and a zero byte) in packets of at most
// 1024 bytes, then the end marker. A folder that cannot be searched, or a
// client's path that is not usable or leads outside the game server's
// folders, gets the one record "Invalid Path" before the end marker. Without
// `show_account_files` the account files and their companions are left out.
void SendDirectoryListing(const platform::Socket& s, const std::string& path, NameSource src,
                          bool show_account_files);

}  // namespace gamedata
