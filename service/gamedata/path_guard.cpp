#include "service/gamedata/path_guard.h"

#include <optional>
#include <string_view>
#include <vector>

#include "service/gamedata/accounts.h"
#include "service/host/config.h"
#include "service/host/log.h"
#include "service/host/text_lines.h"
#include "service/platform/fs.h"

namespace gamedata {

namespace {

constexpr const char* kAccountFiles[] = {kAccountReadFile, kAccountWriteFile};

// A folder of "gyrion.ini" resolved; relative folders are taken from the
// working directory, as the game server takes them. "save/" and "save" are
// one folder.
std::optional<std::string> ResolvedFolder(const std::string& folder) {
  if (folder.empty()) return std::nullopt;
  std::optional<std::string> real = platform::RealPath(platform::NativePath(folder));
  if (!real) return std::nullopt;
  while (real->size() > 1 && real->back() == platform::kSeparator) real->pop_back();
  return real;
}

// The resolved folders a client may reach: those of start-up, so that a
// stored "gyrion.ini" cannot widen them.
std::vector<std::string> AllowedRoots() {
  const host::ServiceConfig& config = host::Config();
  std::vector<std::string> roots;
  for (const std::string& folder :
       {platform::CurrentDirectory(), config.startup_scripts_folder, config.startup_account_folder}) {
    if (std::optional<std::string> real = ResolvedFolder(folder)) roots.push_back(*real);
  }
  return roots;
}

bool IsInside(const std::string& path, const std::string& root) {
  if (path == root) return true;
  std::string prefix = root;
  if (prefix.empty() || prefix.back() != platform::kSeparator) prefix += platform::kSeparator;
  return path.compare(0, prefix.size(), prefix) == 0;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
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

bool IsUsableName(const std::string& native_name, bool as_file) {
  for (char c : native_name) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return false;
  }
  size_t start = 0;
  while (start <= native_name.size()) {
    size_t end = start;
    while (end < native_name.size() && !platform::IsSeparator(native_name[end])) ++end;
    std::string_view part = std::string_view(native_name).substr(start, end - start);
    if (!part.empty() && part != "." && part != ".." && (part.back() == '.' || part.back() == ' ')) return false;
    start = end + 1;
  }
  if (!as_file) return true;
  if (native_name.empty() || platform::IsSeparator(native_name.back())) return false;
  return !platform::IsDirectory(native_name);
}

bool MayOpenClientName(const std::string& name, const std::string& native_name, bool as_file, bool for_store) {
  if (!IsClientPathAllowed(native_name, for_store)) {
    LogRefusedPath(name);
    return false;
  }
  return IsUsableName(native_name, as_file);
}

AccountNames ResolveAccountNames() {
  AccountNames names;
  std::string live_folder;
  host::FindAccountFolder(&live_folder);
  for (const std::string& folder : {host::Config().startup_account_folder, live_folder}) {
    std::optional<std::string> resolved = ResolvedFolder(folder);
    if (!resolved) continue;
    for (const char* file : kAccountFiles) {
      names.bases.push_back(host::JoinFolder(*resolved, file));
      if (std::optional<std::string> target = platform::RealPath(names.bases.back())) {
        names.targets.push_back(*target);
      }
    }
  }
  return names;
}

bool IsAccountCompanion(const AccountNames& names, const std::string& native_name) {
  if (native_name.empty()) return false;
  std::optional<std::string> real = platform::RealPath(native_name);
  if (!real) return false;
  // The companions lie beside the account file's name, even where that name
  // is a link to the file.
  for (const std::string& base : names.bases) {
    if (*real == base || *real == base + ".tmp" || StartsWith(*real, base + ".bkp.")) return true;
  }
  for (const std::string& target : names.targets) {
    if (*real == target) return true;
  }
  return false;
}

bool IsAccountCompanion(const std::string& native_name) {
  if (native_name.empty()) return false;
  return IsAccountCompanion(ResolveAccountNames(), native_name);
}

void LogRefusedPath(const std::string& name) {
  host::WriteLog("Refused %s: the name leads outside the game server's folders\n", host::EscapeForLog(name).c_str());
}

}  // namespace gamedata
