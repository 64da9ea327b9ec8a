// Which files a name sent by a client may reach: only those inside the game
// server's folder, the scripts folder and the account folder.
#pragma once

#include <string>

namespace gamedata {

// Where a file name came from. Names from the client (GFIL, SFIL, GFCS, GDIR)
// reach only the game server's folders; fixed names and paths the service
// built itself need no check.
enum class NameSource { kFixed, kClient };

// Whether `native_name` (relative to the working directory, or absolute)
// resolves, symbolic links and ".." included, to a place inside the game
// server's folder (the working directory), the scripts folder or the account
// folder. With `for_store` the file need not exist yet, but its folder must lie
// inside, and the name may not be one of those folders itself. An empty name
// reaches nothing and passes (opening it fails by itself).
bool IsClientPathAllowed(const std::string& native_name, bool for_store);

// Whether `native_name` resolves to "gyrionaccu.scp" or "gyrionacct.scp" in
// the account folder; false when "gyrion.ini" names no account folder.
bool IsAccountFile(const std::string& native_name);

// Logs that a client's name was refused because it leads outside the game
// server's folders.
void LogRefusedPath(const std::string& name);

}  // namespace gamedata
