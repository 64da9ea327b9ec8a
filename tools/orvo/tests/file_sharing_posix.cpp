#include "tools/orvo/tests/file_sharing.h"

#include <filesystem>

namespace orvo::testing {

bool ShareFile(const std::string& path, Sharing sharing) {
  namespace fs = std::filesystem;
  fs::perms perms = fs::perms::owner_read | fs::perms::owner_write;
  if (sharing != Sharing::kPrivate) perms |= fs::perms::group_read | fs::perms::others_read;
  if (sharing == Sharing::kOthersWrite) perms |= fs::perms::group_write;
  std::error_code ec;
  fs::permissions(path, perms, ec);
  return !ec;
}

}  // namespace orvo::testing
