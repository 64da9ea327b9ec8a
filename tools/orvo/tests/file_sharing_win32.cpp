// Test support only: the access list is written whole, as SDDL.
#include "tools/orvo/tests/file_sharing.h"

#include <windows.h>
// (The security headers need windows.h first.)
#include <sddl.h>

#include <filesystem>

namespace orvo::testing {

namespace {

std::wstring CurrentUserSid() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return L"";
  BYTE buffer[256];
  DWORD size = sizeof buffer;
  std::wstring out;
  wchar_t* text = nullptr;
  if (::GetTokenInformation(token, TokenUser, buffer, size, &size) &&
      ::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text)) {
    out = text;
    ::LocalFree(text);
  }
  ::CloseHandle(token);
  return out;
}

}  // namespace

bool ShareFile(const std::string& path, Sharing sharing) {
  // The user's own entry, and one for Everyone (which Wine, too, keeps, in the
  // file's permission bits) when others are let in.
  std::wstring sddl = L"D:P(A;;FA;;;" + CurrentUserSid() + L")";
  if (sharing == Sharing::kOthersRead) sddl += L"(A;;FR;;;WD)";
  if (sharing == Sharing::kOthersWrite) sddl += L"(A;;FRFW;;;WD)";
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &sd, nullptr)) return false;
  bool ok = ::SetFileSecurityW(std::filesystem::path(path).wstring().c_str(), DACL_SECURITY_INFORMATION, sd) != 0;
  ::LocalFree(sd);
  return ok;
}

}  // namespace orvo::testing
