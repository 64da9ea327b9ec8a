// Self-registration of TILVO.OCX: the type library from the module's
// resources, then the control class with its two component categories, then
// the property page class. Each step's failure has its own code. The classes
// go under the machine's class root (HKLM\Software\Classes) as regsvr32's
// users expect; DllInstall with the command line "user" (regsvr32 /n /i:user)
// registers or unregisters them for the current user alone
// (HKCU\Software\Classes), which needs no administrator.
#include <cwchar>
#include <string>

#include <windows.h>
#include <comcat.h>
#include <olectl.h>

#include "artcontrol/automation/class_keys.h"
#include "artcontrol/ocx/module.h"
#include "artcontrol/ocx/tilvo_h.h"
#include "artcontrol/platform/win32/wide_text.h"

// Not declared by the system headers that mingw-w64 ships.
extern "C" HRESULT WINAPI RegisterTypeLibForUser(ITypeLib* library, OLECHAR* path, OLECHAR* helpDir);
extern "C" HRESULT WINAPI UnRegisterTypeLibForUser(REFGUID libid, WORD major, WORD minor, LCID locale,
                                                   SYSKIND kind);

namespace tilvo::ocx {
namespace {

enum class Scope { kMachine, kUser };

constexpr SYSKIND kSysKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;

// The class root of the scope, opened for changes; null when it cannot be.
HKEY OpenClassRoot(Scope scope) {
  HKEY root = nullptr;
  const HKEY hive = scope == Scope::kMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  if (::RegCreateKeyExW(hive, L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr) !=
      ERROR_SUCCESS) {
    return nullptr;
  }
  return root;
}

std::wstring Expand(std::string_view text) {
  return platform::Utf16FromUtf8(ExpandRegistryText(text, platform::Utf8FromUtf16(ModulePath())));
}

bool WriteRows(HKEY root, std::span<const RegistryRow> rows) {
  for (const RegistryRow& row : rows) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(root, Expand(row.key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
      return false;
    }
    LSTATUS status = ERROR_SUCCESS;
    if (!row.name.empty()) {
      const std::wstring value = Expand(row.value);
      const std::wstring name = row.name == "@" ? std::wstring() : platform::Utf16FromUtf8(row.name);
      status = ::RegSetValueExW(key, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS) return false;
  }
  return true;
}

bool DeleteTree(HKEY root, std::string_view key) {
  const LSTATUS status = ::RegDeleteTreeW(root, Expand(key).c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool KeyExists(HKEY root, std::string_view key) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(root, Expand(key).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  ::RegCloseKey(opened);
  return true;
}

HRESULT RegisterTypeLibrary(Scope scope) {
  std::wstring path = ModulePath();
  std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
  ITypeLib* library = nullptr;
  HRESULT hr = ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
  if (FAILED(hr)) return hr;
  hr = scope == Scope::kMachine ? ::RegisterTypeLib(library, path.data(), folder.data())
                                : ::RegisterTypeLibForUser(library, path.data(), folder.data());
  library->Release();
  return hr;
}

HRESULT UnregisterTypeLibrary(HKEY root, Scope scope) {
  // Nothing registered is nothing to remove.
  if (!KeyExists(root, "TypeLib\\{typelib}\\1.0")) return S_OK;
  return scope == Scope::kMachine
             ? ::UnRegisterTypeLib(LIBID_TILVOLib, kTypeLibraryMajor, kTypeLibraryMinor, kTypeLibraryLocale, kSysKind)
             : ::UnRegisterTypeLibForUser(LIBID_TILVOLib, kTypeLibraryMajor, kTypeLibraryMinor, kTypeLibraryLocale,
                                          kSysKind);
}

GUID ToGuid(const Guid& g) {
  GUID out{g.data1, g.data2, g.data3, {}};
  std::copy(std::begin(g.data4), std::end(g.data4), std::begin(out.Data4));
  return out;
}

// The control's two categories: through the standard component category
// manager for the machine; written as it would write them for the user.
void MarkCategories(HKEY root, Scope scope, bool mark) {
  if (scope == Scope::kUser) {
    for (const ComponentCategory& category : ControlCategories()) {
      const std::string token(category.token);
      const std::string implemented = "CLSID\\{control}\\Implemented Categories\\" + token;
      if (!mark) {
        (void)DeleteTree(root, implemented);
        continue;
      }
      const std::string description(category.description.substr(0, kMaxCategoryDescription));
      const std::string categoryKey = "Component Categories\\" + token;
      const RegistryRow rows[] = {{categoryKey, "409", description}, {implemented, "", ""}};
      (void)WriteRows(root, rows);
    }
    return;
  }
  ICatRegister* categories = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ICatRegister,
                                reinterpret_cast<void**>(&categories)))) {
    return;
  }
  for (const ComponentCategory& category : ControlCategories()) {
    CATID catid = ToGuid(category.guid);
    if (mark) {
      CATEGORYINFO info{};
      info.catid = catid;
      info.lcid = 0x409;
      const std::wstring description = platform::Utf16FromUtf8(category.description);
      std::wcsncpy(info.szDescription, description.c_str(), kMaxCategoryDescription);
      (void)categories->RegisterCategories(1, &info);
      (void)categories->RegisterClassImplCategories(CLSID_Tilvo, 1, &catid);
    } else {
      (void)categories->UnRegisterClassImplCategories(CLSID_Tilvo, 1, &catid);
    }
  }
  categories->Release();
}

HRESULT RegisterServer(Scope scope) {
  const HKEY root = OpenClassRoot(scope);
  if (root == nullptr) return SELFREG_E_TYPELIB;
  HRESULT result = S_OK;
  if (FAILED(RegisterTypeLibrary(scope))) {
    result = SELFREG_E_TYPELIB;
  } else {
    // The categories' results do not count: the class registers regardless.
    MarkCategories(root, scope, true);
    if (!WriteRows(root, ControlClassRows()) || !WriteRows(root, PageClassRows())) result = SELFREG_E_CLASS;
  }
  ::RegCloseKey(root);
  return result;
}

HRESULT UnregisterServer(Scope scope) {
  const HKEY root = OpenClassRoot(scope);
  if (root == nullptr) return SELFREG_E_TYPELIB;
  HRESULT result = S_OK;
  if (FAILED(UnregisterTypeLibrary(root, scope))) {
    result = SELFREG_E_TYPELIB;
  } else {
    MarkCategories(root, scope, false);
    if (!DeleteTree(root, "CLSID\\{control}") || !DeleteTree(root, "TILVO.TilvoCtrl.1") ||
        !DeleteTree(root, "CLSID\\{page}")) {
      result = SELFREG_E_CLASS;
    }
  }
  ::RegCloseKey(root);
  return result;
}

}  // namespace
}  // namespace tilvo::ocx

STDAPI DllRegisterServer() { return tilvo::ocx::RegisterServer(tilvo::ocx::Scope::kMachine); }

STDAPI DllUnregisterServer() { return tilvo::ocx::UnregisterServer(tilvo::ocx::Scope::kMachine); }

// regsvr32 /i:user (with /n) registers for the current user, /u /i:user
// unregisters there; no command line, or "machine", is the machine.
STDAPI DllInstall(BOOL install, LPCWSTR commandLine) {
  using tilvo::ocx::Scope;
  Scope scope = Scope::kMachine;
  if (commandLine != nullptr && ::lstrcmpiW(commandLine, L"user") == 0) {
    scope = Scope::kUser;
  } else if (commandLine != nullptr && commandLine[0] != L'\0' && ::lstrcmpiW(commandLine, L"machine") != 0) {
    return E_INVALIDARG;
  }
  return install ? tilvo::ocx::RegisterServer(scope) : tilvo::ocx::UnregisterServer(scope);
}
