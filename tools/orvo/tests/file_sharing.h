// Test support: makes a file private, or open to other users, the way each
// platform says so (permission bits on POSIX, an access list on Windows).
#pragma once

#include <string>

namespace orvo::testing {

enum class Sharing {
  kPrivate,      // the owner alone may read and change it
  kOthersRead,   // others may read it too
  kOthersWrite,  // others may change it too (and read it)
};

// Gives `path` that sharing; false when the system refused.
bool ShareFile(const std::string& path, Sharing sharing);

}  // namespace orvo::testing
