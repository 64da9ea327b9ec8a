// Windows implementation of orvo's local file system calls. Who else may use
// a file is read from its access list.
#include "tools/orvo/platform_files.h"

#include <windows.h>
// (The security headers need windows.h first.)
#include <aclapi.h>
#include <sddl.h>

#include <cctype>
#include <memory>

#include "tools/orvo/win32_support.h"

namespace orvo::platform {

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// The length of the part of `path` that names a root: "C:\", "C:",
// "\\server\share\" or "\"; 0 for a relative path.
size_t RootLength(const std::string& path) {
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
    return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
  }
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    size_t server_end = path.find_first_of("/\\", 2);
    if (server_end == std::string::npos) return path.size();
    size_t share_end = path.find_first_of("/\\", server_end + 1);
    return share_end == std::string::npos ? path.size() : share_end + 1;
  }
  return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

std::string Reason(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + LastErrorText();
}

struct LocalFreer {
  void operator()(void* p) const { ::LocalFree(p); }
};

// The SID of the user this process runs as, read once.
PSID CurrentUser() {
  static const std::unique_ptr<BYTE[]> user = [] {
    std::unique_ptr<BYTE[]> info;
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return info;
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    info = std::make_unique<BYTE[]>(size);
    if (!::GetTokenInformation(token, TokenUser, info.get(), size, &size)) info.reset();
    ::CloseHandle(token);
    return info;
  }();
  return user ? reinterpret_cast<TOKEN_USER*>(user.get())->User.Sid : nullptr;
}

// This user, and those who may open any file anyway (as root may on POSIX).
bool Trusted(PSID sid) {
  PSID me = CurrentUser();
  return (me != nullptr && ::EqualSid(sid, me)) || ::IsWellKnownSid(sid, WinLocalSystemSid) ||
         ::IsWellKnownSid(sid, WinBuiltinAdministratorsSid);
}

// Rights that read the data, or that let their holder grant themselves that.
constexpr ACCESS_MASK kReadRights =
    FILE_READ_DATA | GENERIC_READ | GENERIC_ALL | MAXIMUM_ALLOWED | WRITE_DAC | WRITE_OWNER;
// Rights that change the data, or let their holder grant themselves that.
constexpr ACCESS_MASK kChangeRights =
    FILE_WRITE_DATA | FILE_APPEND_DATA | GENERIC_WRITE | GENERIC_ALL | MAXIMUM_ALLOWED | WRITE_DAC | WRITE_OWNER;

// Fills who else may read or change the file at `path` from its owner and
// access list. Denying entries are not weighed: a file they close is taken
// as open, which refuses too much rather than too little.
void ReadOthersRights(const std::wstring& path, FileStatus* status) {
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;
  DWORD r = ::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                    &owner, nullptr, &dacl, nullptr, &sd);
  std::unique_ptr<void, LocalFreer> holder(sd);
  // A file whose access cannot be read, an owner who may rewrite the list,
  // and a missing list (which lets everyone in) all count as open.
  if (r != ERROR_SUCCESS || owner == nullptr || !Trusted(owner) || dacl == nullptr) {
    status->others_may_read = true;
    status->others_may_change = true;
    return;
  }
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!::GetAce(dacl, i, &ace)) continue;
    const auto* header = static_cast<const ACE_HEADER*>(ace);
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE)) continue;
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    if (Trusted(reinterpret_cast<PSID>(&allowed->SidStart))) continue;
    if (allowed->Mask & kReadRights) status->others_may_read = true;
    if (allowed->Mask & kChangeRights) status->others_may_change = true;
  }
}

std::string UserName() {
  wchar_t name[256 + 1];
  DWORD size = 256 + 1;
  if (!::GetUserNameW(name, &size)) return "%USERNAME%";
  return Narrow(std::wstring_view(name, size > 0 ? size - 1 : 0));
}

}  // namespace

bool IsAbsolutePath(const std::string& path) { return RootLength(path) > 0; }

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || IsSeparator(folder.back()) || (folder.size() == 2 && folder[1] == ':')) return folder + name;
  return folder + "\\" + name;
}

std::string FolderOf(const std::string& path) {
  size_t root = RootLength(path);
  size_t sep = path.find_last_of("/\\");
  if (sep == std::string::npos || sep < root) return root > 0 ? path.substr(0, root) : ".";
  return sep + 1 <= root ? path.substr(0, root) : path.substr(0, sep);
}

FileStatus StatusOf(const std::string& path) {
  FileStatus status;
  std::wstring wide = Widen(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) return status;
  status.exists = true;
  status.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  status.regular = !status.directory && !(data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE);
  ReadOthersRights(wide, &status);
  return status;
}

// icacls takes the inherited entries away and leaves the user alone in the
// list: private in one step, which also keeps others from changing it.
std::string MakePrivateCommand(const std::string& path) {
  return "icacls \"" + path + "\" /inheritance:r /grant:r \"" + UserName() + ":F\"";
}

std::string KeepOthersFromChangingCommand(const std::string& path) { return MakePrivateCommand(path); }

int ListPlainFiles(const std::string& folder, std::vector<std::string>* names, std::string* error) {
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileExW(Widen(JoinPath(folder, "*")).c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) {
    *error = Reason("cannot list", folder);
    return -1;
  }
  names->clear();
  do {
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) continue;
    names->push_back(Narrow(found.cFileName));
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return 0;
}

int ReadWholeFile(const std::string& path, std::string* data, std::string* error) {
  HANDLE h = ::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    *error = Reason("cannot read", path);
    return -1;
  }
  data->clear();
  constexpr DWORD kChunk = 65536;
  for (;;) {
    size_t at = data->size();
    data->resize(at + kChunk);
    DWORD n = 0;
    if (!::ReadFile(h, data->data() + at, kChunk, &n, nullptr)) {
      *error = Reason("cannot read", path);
      ::CloseHandle(h);
      return -1;
    }
    data->resize(at + n);
    if (n == 0) break;
  }
  ::CloseHandle(h);
  return 0;
}

int MakeFolders(const std::string& path, unsigned /*mode*/, std::string* error) {
  size_t root = RootLength(path);
  for (size_t sep = path.find_first_of("/\\", root);; sep = path.find_first_of("/\\", sep + 1)) {
    std::string part = path.substr(0, sep);
    if (part.size() > root && !IsSeparator(part.back()) && !::CreateDirectoryW(Widen(part).c_str(), nullptr) &&
        ::GetLastError() != ERROR_ALREADY_EXISTS) {
      *error = Reason("cannot create", part);
      return -1;
    }
    if (sep == std::string::npos) break;
  }
  if (!StatusOf(path).directory) {
    *error = "cannot create " + path + ": it is not a folder";
    return -1;
  }
  return 0;
}

int MakePrivateFolder(const std::string& parent, const std::string& prefix, std::string* made,
                      std::string* error) {
  // Only this user (and the system) may enter it, whatever the parent allows.
  wchar_t* user_sid = nullptr;
  PSID me = CurrentUser();
  if (me == nullptr || !::ConvertSidToStringSidW(me, &user_sid)) {
    *error = "cannot create a folder in " + parent + ": " + LastErrorText();
    return -1;
  }
  std::wstring sddl = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;" + std::wstring(user_sid) + L")";
  ::LocalFree(user_sid);
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &sd, nullptr)) {
    *error = "cannot create a folder in " + parent + ": " + LastErrorText();
    return -1;
  }
  std::unique_ptr<void, LocalFreer> holder(sd);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, sd, FALSE};
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = JoinPath(parent, prefix + RandomSuffix());
    if (::CreateDirectoryW(Widen(name).c_str(), &attributes)) {
      *made = name;
      return 0;
    }
    if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  *error = Reason("cannot create a folder in", parent);
  return -1;
}

int RemoveFile(const std::string& path, std::string* error) {
  if (::DeleteFileW(Widen(path).c_str())) return 0;
  *error = Reason("cannot delete", path);
  return -1;
}

void RemoveEmptyFolder(const std::string& path) { ::RemoveDirectoryW(Widen(path).c_str()); }

}  // namespace orvo::platform
