// Which files a name sent by a client may reach: only those inside the game
// server's folder, the scripts folder and the account folder, and the account
// files only at write level.
#pragma once

#include <string>
#include <vector>

namespace gamedata {

// Where a file name came from. Names from the client (GFIL, GFCS, GDIR) reach
// only the game server's folders; the fixed names of the fetches and the
// paths the service built itself need no check. Every store is checked.
enum class NameSource { kFixed, kClient };

// Whether `native_name` (relative to the working directory, or absolute)
// resolves, symbolic links and ".." included, to a place inside the game
// server's folder (the working directory), or the scripts or account folder
// that "gyrion.ini" named at start-up. With `for_store` the file need not
// exist yet, but its folder must lie inside, and the name may not be one of
// those folders itself. An empty name reaches nothing and passes (opening it
// fails by itself).
bool IsClientPathAllowed(const std::string& native_name, bool for_store);

// Whether `name` may name a file (`as_file`) or a folder at all: false when it
// holds a control character, when a part of it ends in a dot or a blank (which
// Windows drops, opening another file than the one named; "." and ".." are
// parts of their own), and, as a file, when it is empty, ends in a separator
// or names a folder.
bool IsUsableName(const std::string& native_name, bool as_file);

// Whether a client may open the file or folder `name` (`native_name` in this
// platform's form): it must lead inside the game server's folders (a name
// that leads outside is logged as refused) and be usable as IsUsableName says.
bool MayOpenClientName(const std::string& name, const std::string& native_name, bool as_file, bool for_store);

// Whether `native_name` resolves to one of the account files ("gyrionaccu.scp",
// "gyrionacct.scp") or to a companion of one (its ".tmp" file, its ".bkp."
// backups), in the account folder of "gyrion.ini" as read at start-up or as
// it is now. False when no account folder is named.
bool IsAccountCompanion(const std::string& native_name);

// The account files' names resolved once, for a caller that asks about many
// names in a row (a listing): IsAccountCompanion reads "gyrion.ini" and
// resolves the folders for every name it is asked about.
struct AccountNames {
  std::vector<std::string> bases;    // "<resolved account folder>/<account file>"
  std::vector<std::string> targets;  // what each base resolves to, where it exists
};
AccountNames ResolveAccountNames();
bool IsAccountCompanion(const AccountNames& names, const std::string& native_name);

// Logs that a client's name was refused because it leads outside the game
// server's folders.
void LogRefusedPath(const std::string& name);

}  // namespace gamedata
