#include "monitor/win32/monitor_folder.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

namespace monitor {
namespace {

// `folder` ending in a separator: a backslash unless it ends in one already,
// or in a slash, which Windows takes as well.
std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder;
}

// Creating a file is the only test that also covers access lists and
// read-only media, which attributes do not show. The probe deletes itself.
bool CanCreateFileIn(const std::string& folder) {
  const std::string probe =
      WithSeparator(folder) + ".GyrionMonitor-probe-" + std::to_string(GetCurrentProcessId());
  HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

std::string ProgramFolder() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return ".";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);  // a long path: try a larger buffer
  }
  return path.substr(0, path.find_last_of("\\/"));
}

}  // namespace

std::string ChooseMonitorFolder(const std::string& program_folder, const std::string& user_folder) {
  if (CanCreateFileIn(program_folder)) return program_folder;
  CreateDirectoryA(user_folder.c_str(), nullptr);
  return user_folder;
}

std::string MonitorFolder() {
  char app_data[MAX_PATH] = "";
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, app_data))) {
    return WithSeparator(ProgramFolder());
  }
  return WithSeparator(ChooseMonitorFolder(ProgramFolder(), WithSeparator(app_data) + "GyrionMonitor"));
}

}  // namespace monitor
