#include "service/platform/fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace platform {

std::string NativePath(const std::string& name) {
  std::string out = name;
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

std::string ExecutablePath() {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return p.string();
}

std::string FolderOf(const std::string& path) {
  size_t cut = path.find_last_of('/');
  if (cut == std::string::npos) return {};
  return cut == 0 ? "/" : path.substr(0, cut);
}

std::string CurrentDirectory() {
  std::error_code ec;
  auto p = std::filesystem::current_path(ec);
  if (ec) return {};
  return p.string();
}

int ChangeDirectory(const std::string& path) { return ::chdir(path.c_str()) == 0 ? 0 : -1; }

int RenameFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : -1;
}

int RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno == EEXIST) return 1;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  // A file system without that rename: a second name that cannot replace
  // anything, then the first name goes.
  if (::link(from.c_str(), to.c_str()) != 0) return errno == EEXIST ? 1 : -1;
  return ::unlink(from.c_str()) == 0 ? 0 : -1;
}

std::FILE* CreateNewFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, "wb");
  if (file == nullptr) ::close(fd);
  return file;
}

int DeleteFile(const std::string& path) { return ::unlink(path.c_str()) == 0 ? 0 : -1; }

bool PathExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

bool IsLink(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

long long FileSize(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return -1;
  return static_cast<long long>(st.st_size);
}

namespace {

// The path with every link resolved as far as it exists; the missing rest is
// kept as written. Unlike std::filesystem::weakly_canonical, a file that
// another thread renames away at that moment (a store moving it to its
// backup) does not make the whole resolution fail: the name then resolves
// through its folder, as the name of a missing file does.
std::optional<std::filesystem::path> Resolved(const std::filesystem::path& path, int depth) {
  std::error_code ec;
  std::filesystem::path real = std::filesystem::canonical(path, ec);
  if (!ec) return real;
  if (ec != std::errc::no_such_file_or_directory) return std::nullopt;
  const std::filesystem::path parent = path.parent_path();
  if (depth > 255 || parent.empty() || parent == path) return std::nullopt;
  std::optional<std::filesystem::path> folder = Resolved(parent, depth + 1);
  if (!folder) return std::nullopt;
  return *folder / path.filename();
}

}  // namespace

std::optional<std::string> RealPath(const std::string& path) {
  if (path.empty()) return std::nullopt;
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(path, ec);
  if (ec) return std::nullopt;
  std::optional<std::filesystem::path> real = Resolved(full, 0);
  if (!real) return std::nullopt;
  return real->lexically_normal().string();
}

namespace {

uint32_t AttributesOf(const std::string& full, const std::string& name) {
  struct stat st {};
  uint32_t attrs = 0;
  if (::stat(full.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) attrs |= kAttrDirectory;
    if (::access(full.c_str(), W_OK) != 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
      attrs |= kAttrReadOnly;
    }
  }
  // Dot-files are what Linux hides; "." and ".." are not.
  if (name.size() > 1 && name[0] == '.' && name != "..") attrs |= kAttrHidden;
  if (attrs == 0) attrs = kAttrNormal;
  return attrs;
}

}  // namespace

bool ListDirectory(const std::string& path, std::vector<DirectoryEntry>* entries) {
  entries->clear();
  std::string folder = path.empty() ? std::string(".") : path;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return false;
  std::vector<DirectoryEntry> rest;
  while (dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    std::string full = folder;
    if (full.back() != '/') full += '/';
    full += name;
    DirectoryEntry entry{name, AttributesOf(full, name)};
    if (name == "." || name == "..") {
      entries->push_back(entry);
    } else {
      rest.push_back(entry);
    }
  }
  ::closedir(dir);
  std::sort(entries->begin(), entries->end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  std::sort(rest.begin(), rest.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  entries->insert(entries->end(), rest.begin(), rest.end());
  return true;
}

}  // namespace platform
