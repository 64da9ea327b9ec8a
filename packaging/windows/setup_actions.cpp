// The installer's custom actions for the service, a DLL in the package's
// Binary table that runs deferred, as the local system:
//
//   CheckGamePath      (immediate, before anything is installed)
//     refuses a GYRIONPATH that names no folder with a "gyrion.ini".
//   InstallKitService  (CustomActionData "INSTALLDIR|GYRIONPATH|UPGRADE")
//     with GYRIONPATH: names the game server's folder in the installed
//     "orvosvr.cfg" and turns service mode on; then, with GYRIONPATH or when
//     an upgrade finds service mode on in the kept "orvosvr.cfg", registers
//     the service by running "orvosvr.exe -install" (so it is registered
//     exactly as that switch does) and starts it.
//   RemoveKitService   (CustomActionData "INSTALLDIR|UPGRADINGPRODUCTCODE")
//     stops and deletes every service that runs the installed orvosvr.exe
//     (also one whose game server was renamed since), removes the event-log
//     source when it names that executable and, unless an upgrade is under
//     way, removes "orvosvr.cfg" when it holds only what the installer put
//     there, and the service's early log files, which it writes beside
//     orvosvr.exe before it has read GYRIONPATH.
//
// Every step is written to the installer's log; a failure fails the
// installation, which the installer then rolls back.
#include <windows.h>
// After windows.h, which it needs.
#include <msiquery.h>

#include <cwchar>
#include <string>
#include <vector>

#include "config_text.h"
#include "example_config.h"

namespace {

constexpr DWORD kStopDeadlineMs = 30000;
constexpr DWORD kStopPollMs = 250;

class Installer {
 public:
  explicit Installer(MSIHANDLE handle) : handle_(handle) {}

  std::wstring Property(const wchar_t* name) const {
    DWORD size = 0;
    wchar_t empty[1] = L"";
    ::MsiGetPropertyW(handle_, name, empty, &size);
    std::wstring value(size + 1, L'\0');
    size += 1;
    ::MsiGetPropertyW(handle_, name, value.data(), &size);
    value.resize(size);
    return value;
  }

  // The deferred action's data, split at "|".
  std::vector<std::wstring> Data() const {
    const std::wstring data = Property(L"CustomActionData");
    std::vector<std::wstring> parts;
    std::size_t at = 0;
    for (std::size_t bar; (bar = data.find(L'|', at)) != std::wstring::npos; at = bar + 1) {
      parts.push_back(data.substr(at, bar - at));
    }
    parts.push_back(data.substr(at));
    return parts;
  }

  void Log(const std::wstring& text) const { Message(INSTALLMESSAGE_INFO, text); }
  // An error: shown to the user in a full interface, always logged.
  UINT Fail(const std::wstring& text) const {
    Message(static_cast<INSTALLMESSAGE>(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR), text);
    return ERROR_INSTALL_FAILURE;
  }

 private:
  void Message(INSTALLMESSAGE kind, const std::wstring& text) const {
    MSIHANDLE record = ::MsiCreateRecord(1);
    ::MsiRecordSetStringW(record, 0, (L"Gyrion Staff Kit: " + text).c_str());
    ::MsiProcessMessage(handle_, kind, record);
    ::MsiCloseHandle(record);
  }

  MSIHANDLE handle_;
};

// Owns a handle of the Service Control Manager or one of its services.
class ScHandle {
 public:
  explicit ScHandle(SC_HANDLE h) : h_(h) {}
  ScHandle(const ScHandle&) = delete;
  ScHandle& operator=(const ScHandle&) = delete;
  ~ScHandle() {
    if (h_ != nullptr) ::CloseServiceHandle(h_);
  }
  SC_HANDLE Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  SC_HANDLE h_;
};

std::wstring SystemText(DWORD error) {
  wchar_t* text = nullptr;
  ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring out = text != nullptr ? text : L"error " + std::to_wstring(error);
  if (text != nullptr) ::LocalFree(text);
  while (!out.empty() && (out.back() == L'\n' || out.back() == L'\r')) out.pop_back();
  return out;
}

bool ReadFileBytes(const std::wstring& path, std::string* bytes) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes->clear();
  char chunk[4096];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ::ReadFile(file, chunk, sizeof chunk, &got, nullptr) != FALSE) && got > 0) bytes->append(chunk, got);
  ::CloseHandle(file);
  return ok;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD wrote = 0;
  const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) != FALSE &&
                  wrote == bytes.size();
  return ::CloseHandle(file) != FALSE && ok;
}

// The path in the ANSI code page, as orvosvr reads "orvosvr.cfg"; none when a
// character has no equivalent there.
bool ToAnsi(const std::wstring& text, std::string* out) {
  if (text.empty()) return out->clear(), true;
  BOOL lossy = FALSE;
  const int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, &lossy);
  if (size <= 0 || lossy) return false;
  out->assign(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), static_cast<int>(text.size()), out->data(), size,
                        nullptr, &lossy);
  return !lossy;
}

// Runs a program in `folder`, its output logged; its exit code, or -1 when it
// could not be started.
long Run(const Installer& installer, std::wstring command, const std::wstring& folder) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  if (!::CreatePipe(&read, &write, &inherit, 0)) return -1;
  ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write;
  startup.hStdError = write;
  startup.hStdInput = nullptr;
  PROCESS_INFORMATION process{};
  installer.Log(L"running " + command);
  const BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        folder.c_str(), &startup, &process);
  ::CloseHandle(write);
  if (!started) {
    ::CloseHandle(read);
    return -1;
  }
  std::string output;
  char chunk[1024];
  DWORD got = 0;
  while (::ReadFile(read, chunk, sizeof chunk, &got, nullptr) && got > 0) output.append(chunk, got);
  ::CloseHandle(read);
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hProcess);
  ::CloseHandle(process.hThread);
  // orvosvr prints in the ANSI code page.
  const int size = ::MultiByteToWideChar(CP_ACP, 0, output.data(), static_cast<int>(output.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0) ::MultiByteToWideChar(CP_ACP, 0, output.data(), static_cast<int>(output.size()), text.data(), size);
  installer.Log(text);
  return static_cast<long>(code);
}

// The names of the services whose command is the quoted executable (as
// "orvosvr -install" registers it) or the executable alone.
std::vector<std::wstring> ServicesOf(SC_HANDLE manager, const std::wstring& exe) {
  std::vector<std::wstring> names;
  DWORD needed = 0;
  DWORD count = 0;
  DWORD resume = 0;
  ::EnumServicesStatusExW(manager, SC_ENUM_PROCESS_INFO, SERVICE_WIN32, SERVICE_STATE_ALL, nullptr, 0, &needed, &count,
                          &resume, nullptr);
  std::vector<BYTE> buffer(needed + 1024);
  resume = 0;
  if (!::EnumServicesStatusExW(manager, SC_ENUM_PROCESS_INFO, SERVICE_WIN32, SERVICE_STATE_ALL, buffer.data(),
                               static_cast<DWORD>(buffer.size()), &needed, &count, &resume, nullptr)) {
    return names;
  }
  const auto* services = reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSW*>(buffer.data());
  const std::wstring quoted = L"\"" + exe + L"\"";
  for (DWORD i = 0; i < count; ++i) {
    ScHandle service(::OpenServiceW(manager, services[i].lpServiceName, SERVICE_QUERY_CONFIG));
    if (!service) continue;
    DWORD size = 0;
    ::QueryServiceConfigW(service.Get(), nullptr, 0, &size);
    std::vector<BYTE> config(size);
    auto* info = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(config.data());
    if (size == 0 || !::QueryServiceConfigW(service.Get(), info, size, &size) || info->lpBinaryPathName == nullptr) {
      continue;
    }
    if (::lstrcmpiW(info->lpBinaryPathName, quoted.c_str()) == 0 ||
        ::lstrcmpiW(info->lpBinaryPathName, exe.c_str()) == 0) {
      names.emplace_back(services[i].lpServiceName);
    }
  }
  return names;
}

// Stops a service, waiting for the stop within a deadline, and deletes it.
bool StopAndDelete(const Installer& installer, SC_HANDLE manager, const std::wstring& name) {
  ScHandle service(::OpenServiceW(manager, name.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
  if (!service) return false;
  SERVICE_STATUS status{};
  if (::ControlService(service.Get(), SERVICE_CONTROL_STOP, &status)) {
    installer.Log(L"stopping \"" + name + L"\"");
    // The service reports its stop to the manager; the manager offers no
    // wait for it, so its state is asked at intervals until the deadline.
    const ULONGLONG deadline = ::GetTickCount64() + kStopDeadlineMs;
    while (::QueryServiceStatus(service.Get(), &status) && status.dwCurrentState != SERVICE_STOPPED &&
           ::GetTickCount64() < deadline) {
      ::Sleep(kStopPollMs);
    }
  }
  if (!::DeleteService(service.Get()) && ::GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE) {
    installer.Log(L"\"" + name + L"\" could not be deleted: " + SystemText(::GetLastError()));
    return false;
  }
  installer.Log(L"removed the service \"" + name + L"\"");
  return true;
}

// Removes the services of the executable; false when one stays.
bool RemoveServices(const Installer& installer, const std::wstring& exe) {
  ScHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  if (!manager) {
    installer.Log(L"the service manager cannot be opened: " + SystemText(::GetLastError()));
    return false;
  }
  bool all = true;
  for (const std::wstring& name : ServicesOf(manager.Get(), exe))
    all = StopAndDelete(installer, manager.Get(), name) && all;
  return all;
}

// The event-log source "orvosvr", when it names this executable: another
// copy of orvosvr elsewhere on the machine keeps its own.
void RemoveEventSource(const Installer& installer, const std::wstring& exe) {
  const wchar_t* key = L"System\\CurrentControlSet\\Services\\EventLog\\Application\\orvosvr";
  wchar_t value[MAX_PATH * 2] = L"";
  DWORD size = sizeof value - sizeof(wchar_t);
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, key, L"EventMessageFile", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                     nullptr, value, &size) != ERROR_SUCCESS ||
      ::lstrcmpiW(value, exe.c_str()) != 0) {
    return;
  }
  if (::RegDeleteTreeW(HKEY_LOCAL_MACHINE, key) == ERROR_SUCCESS) installer.Log(L"removed the event-log source");
}

bool StartService(const Installer& installer, const std::wstring& exe) {
  ScHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  if (!manager) return false;
  const std::vector<std::wstring> names = ServicesOf(manager.Get(), exe);
  if (names.empty()) return false;
  ScHandle service(::OpenServiceW(manager.Get(), names.front().c_str(), SERVICE_START));
  if (!service || !::StartServiceW(service.Get(), 0, nullptr)) {
    installer.Log(L"\"" + names.front() + L"\" could not be started: " + SystemText(::GetLastError()));
    return false;
  }
  installer.Log(L"started \"" + names.front() + L"\"");
  return true;
}

bool IsFolderWithIni(const std::wstring& folder) {
  std::wstring ini = folder;
  if (!ini.empty() && ini.back() != L'\\' && ini.back() != L'/') ini += L'\\';
  ini += L"gyrion.ini";
  const DWORD attributes = ::GetFileAttributesW(ini.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

UINT RefuseGamePath(const Installer& installer, const std::wstring& game_path) {
  return installer.Fail(L"GYRIONPATH must name the game server's folder, with its gyrion.ini: " + game_path);
}

}  // namespace

extern "C" UINT __stdcall CheckGamePath(MSIHANDLE handle) {
  const Installer installer(handle);
  const std::wstring game_path = installer.Property(L"GYRIONPATH");
  if (!game_path.empty() && !IsFolderWithIni(game_path)) return RefuseGamePath(installer, game_path);
  return ERROR_SUCCESS;
}

extern "C" UINT __stdcall InstallKitService(MSIHANDLE handle) {
  const Installer installer(handle);
  const std::vector<std::wstring> data = installer.Data();
  if (data.size() != 3) return installer.Fail(L"the service action was given no installation folder");
  const std::wstring& folder = data[0];
  const std::wstring& game_path = data[1];
  const bool upgrade = !data[2].empty();
  const std::wstring exe = folder + L"orvosvr.exe";
  const std::wstring config_path = folder + L"orvosvr.cfg";

  std::string config;
  if (!ReadFileBytes(config_path, &config)) {
    return installer.Fail(config_path + L" cannot be read: " + SystemText(::GetLastError()));
  }
  if (!game_path.empty()) {
    std::string ansi;
    if (!IsFolderWithIni(game_path)) return RefuseGamePath(installer, game_path);
    if (!ToAnsi(game_path, &ansi)) {
      return installer.Fail(L"GYRIONPATH holds a character that orvosvr.cfg cannot: " + game_path);
    }
    config = kitsetup::WithGamePath(config, ansi);
    if (!WriteFileBytes(config_path, config)) {
      return installer.Fail(config_path + L" cannot be written: " + SystemText(::GetLastError()));
    }
    installer.Log(L"orvosvr.cfg names the game server's folder " + game_path);
  } else if (!(upgrade && kitsetup::TurnsServiceOn(config))) {
    installer.Log(L"no service: GYRIONPATH was not given");
    return ERROR_SUCCESS;
  }
  // A service left by an earlier installation of this folder goes first, so
  // that a new game server's name never leaves the old one behind.
  if (!RemoveServices(installer, exe)) return installer.Fail(L"an earlier service of orvosvr.exe cannot be removed");
  const long code = Run(installer, L"\"" + exe + L"\" -install", folder);
  if (code != 0) return installer.Fail(L"\"orvosvr.exe -install\" failed with exit code " + std::to_wstring(code));
  if (!StartService(installer, exe)) return installer.Fail(L"the service of orvosvr.exe was not registered or started");
  return ERROR_SUCCESS;
}

extern "C" UINT __stdcall RemoveKitService(MSIHANDLE handle) {
  const Installer installer(handle);
  const std::vector<std::wstring> data = installer.Data();
  if (data.size() != 2) return installer.Fail(L"the service action was given no installation folder");
  const std::wstring& folder = data[0];
  const bool upgrade = !data[1].empty();
  const std::wstring exe = folder + L"orvosvr.exe";
  // A service that cannot be removed is logged; the files still go.
  (void)RemoveServices(installer, exe);
  RemoveEventSource(installer, exe);
  if (upgrade) return ERROR_SUCCESS;
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileW((folder + L"orvosvr.*.log").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      ::DeleteFileW((folder + found.cFileName).c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
  }
  const std::wstring config_path = folder + L"orvosvr.cfg";
  std::string config;
  if (ReadFileBytes(config_path, &config)) {
    if (kitsetup::AsInstalled(config, kitsetup::kExampleConfig)) {
      ::DeleteFileW(config_path.c_str());
    } else {
      installer.Log(config_path + L" was changed and stays");
    }
  }
  return ERROR_SUCCESS;
}
