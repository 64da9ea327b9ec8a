// POSIX implementation of orvo's local file system calls.
#include "tools/orvo/platform_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orvo::platform {

namespace {

std::string Reason(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

bool IsAbsolutePath(const std::string& path) { return path.starts_with('/'); }

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.ends_with('/')) return folder + name;
  return folder + "/" + name;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

FileStatus StatusOf(const std::string& path) {
  FileStatus status;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return status;
  status.exists = true;
  status.regular = S_ISREG(st.st_mode);
  status.directory = S_ISDIR(st.st_mode);
  status.others_may_read = (st.st_mode & (S_IRGRP | S_IROTH)) != 0;
  status.others_may_change = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
  return status;
}

std::string MakePrivateCommand(const std::string& path) { return "chmod 600 " + path; }

std::string KeepOthersFromChangingCommand(const std::string& path) { return "chmod go-w " + path; }

int ListPlainFiles(const std::string& folder, std::vector<std::string>* names, std::string* error) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) {
    *error = Reason("cannot list", folder);
    return -1;
  }
  names->clear();
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (StatusOf(JoinPath(folder, name)).regular) names->push_back(name);
  }
  ::closedir(dir);
  return 0;
}

int ReadWholeFile(const std::string& path, std::string* data, std::string* error) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *error = Reason("cannot read", path);
    return -1;
  }
  data->clear();
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *error = Reason("cannot read", path);
      ::close(fd);
      return -1;
    }
    if (n == 0) break;
    data->append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return 0;
}

int MakeFolders(const std::string& path, unsigned mode, std::string* error) {
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    std::string part = path.substr(0, slash);
    if (!part.empty() && ::mkdir(part.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST) {
      *error = Reason("cannot create", part);
      return -1;
    }
    if (slash == std::string::npos) break;
  }
  if (!StatusOf(path).directory) {
    *error = "cannot create " + path + ": it is not a folder";
    return -1;
  }
  return 0;
}

int MakePrivateFolder(const std::string& parent, const std::string& prefix, std::string* made,
                      std::string* error) {
  std::string pattern = JoinPath(parent, prefix + "XXXXXX");
  // mkdtemp creates the folder with mode 0700 whatever the umask.
  if (::mkdtemp(pattern.data()) == nullptr) {
    *error = Reason("cannot create a folder in", parent);
    return -1;
  }
  *made = pattern;
  return 0;
}

int RemoveFile(const std::string& path, std::string* error) {
  if (::unlink(path.c_str()) == 0) return 0;
  *error = Reason("cannot delete", path);
  return -1;
}

void RemoveEmptyFolder(const std::string& path) { ::rmdir(path.c_str()); }

}  // namespace orvo::platform
