#pragma once
// Finding a file in a folder by name. Current clients name some of their
// files in mixed case ("artLegacyMUL.uop"); a copy of a client on a
// case-sensitive file system may have them in any case.

#include <string>
#include <string_view>

namespace tilvo::platform {

// The path of the regular file in folder (which ends in the separator, or is
// empty for the current folder) whose name is name without regard to ASCII
// case, the exact name first; empty when there is none.
std::string FindFileIgnoringCase(const std::string& folder, std::string_view name);

}  // namespace tilvo::platform
