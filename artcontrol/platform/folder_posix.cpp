#include "artcontrol/platform/folder.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

namespace tilvo::platform {

namespace {

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

}  // namespace

std::string FindFileIgnoringCase(const std::string& folder, std::string_view name) {
  const std::string exact = folder + std::string(name);
  if (IsRegularFile(exact)) return exact;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()), ::closedir);
  if (!dir) return {};
  while (const dirent* entry = ::readdir(dir.get())) {
    if (!SameIgnoringCase(entry->d_name, name)) continue;
    const std::string path = folder + entry->d_name;
    if (IsRegularFile(path)) return path;
  }
  return {};
}

}  // namespace tilvo::platform
