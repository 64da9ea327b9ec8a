#include "service/gamedata/path_guard.h"

#include <optional>
#include <string_view>
#include <vector>

#include "service/host/config.h"
#include "service/host/log.h"
#include "service/host/text_lines.h"
#include "service/platform/fs.h"

namespace gamedata {

namespace {

// The account folder as "gyrion.ini" names it, in this platform's form.
std::optional<std::string> AccountFolder() {
  std::string folder;
  if (host::FindAccountFolder(&folder) != 1) return std::nullopt;
  return platform::NativePath(folder);
}

// The resolved folders a client may reach. Relative folders of "gyrion.ini"
// are taken from the working directory, as the game server takes them.
std::vector<std::string> AllowedRoots() {
  std::vector<std::string> roots;
  auto add = [&roots](const std::string& folder) {
    if (folder.empty()) return;
    std::optional<std::string> real = platform::RealPath(folder);
    if (!real) return;
    // "save/" and "save" are one folder.
    while (real->size() > 1 && real->back() == platform::kSeparator) real->pop_back();
    roots.push_back(*real);
  };
  add(platform::CurrentDirectory());
  add(platform::NativePath(host::ScriptsFolder()));
  add(AccountFolder().value_or(std::string()));
  return roots;
}

bool IsInside(const std::string& path, const std::string& root) {
  if (path == root) return true;
  std::string prefix = root;
  if (prefix.empty() || prefix.back() != platform::kSeparator) prefix += platform::kSeparator;
  return path.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

bool IsClientPathAllowed(const std::string& native_name, bool for_store) {
  if (native_name.empty()) return true;
  std::optional<std::string> real = platform::RealPath(native_name);
  if (!real) return false;
  for (const std::string& root : AllowedRoots()) {
    if (for_store && *real == root) return false;
    if (IsInside(*real, root)) return true;
  }
  return false;
}

bool IsAccountFile(const std::string& native_name) {
  std::optional<std::string> folder = AccountFolder();
  if (!folder || native_name.empty()) return false;
  std::optional<std::string> real = platform::RealPath(native_name);
  if (!real) return false;
  for (const char* file : {"gyrionaccu.scp", "gyrionacct.scp"}) {
    if (platform::RealPath(host::JoinFolder(*folder, file)) == real) return true;
  }
  return false;
}

void LogRefusedPath(const std::string& name) {
  host::WriteLog("Refused %s: the name leads outside the game server's folders\n", name.c_str());
}

}  // namespace gamedata
