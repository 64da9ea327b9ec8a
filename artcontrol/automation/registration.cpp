// Registration as the Windows registry would hold it, key for key, in the
// per-user registration file. Each step of DllRegisterServer saves on its own,
// so its failure code names the step that failed.

#include "artcontrol/automation/registration.h"

#include <array>
#include <span>
#include <string_view>
#include <vector>

#include "artcontrol/automation/class_registry.h"
#include "artcontrol/platform/environment.h"
#include "artcontrol/platform/file_access.h"
#include "artcontrol/platform/file_store.h"
#include "artcontrol/platform/module.h"

namespace tilvo {
namespace {

// A registration file beyond this is not one of ours.
constexpr std::size_t kMaxRegistrationBytes = 1u << 20;

constexpr std::string_view kFileHeader =
    "; Tilvo's class registration, the registry's HKEY_CLASSES_ROOT for this user.\n"
    "; Written by DllRegisterServer, removed by DllUnregisterServer.\n\n";

// One registry value to write. Keys and values name the identities in braces,
// replaced by their GUID text ("{control}"), and "{module}", "{moduledir}"
// and "{miscstatus}"; an empty value name makes the key alone.
struct RegistryRow {
  std::string_view key;
  std::string_view name;
  std::string_view value;
};

// RegisterTypeLib: the library under its version and locale (1033, key 409),
// and each of its dispatch interfaces pointing back at it.
constexpr RegistryRow kTypeLibraryRows[] = {
    {"TypeLib\\{typelib}\\1.0", "@", "Tilvo ActiveX Control module"},
    {"TypeLib\\{typelib}\\1.0\\409\\linux", "@", "{module}"},
    {"TypeLib\\{typelib}\\1.0\\FLAGS", "@", "0"},
    {"TypeLib\\{typelib}\\1.0\\HELPDIR", "@", "{moduledir}"},
    {"Interface\\{dispatch}", "@", "_DTilvo"},
    {"Interface\\{dispatch}\\ProxyStubClsid32", "@", "{00020420-0000-0000-C000-000000000046}"},
    {"Interface\\{dispatch}\\TypeLib", "@", "{typelib}"},
    {"Interface\\{dispatch}\\TypeLib", "Version", "1.0"},
    {"Interface\\{events}", "@", "_DTilvoEvents"},
    {"Interface\\{events}\\ProxyStubClsid32", "@", "{00020420-0000-0000-C000-000000000046}"},
    {"Interface\\{events}\\TypeLib", "@", "{typelib}"},
    {"Interface\\{events}\\TypeLib", "Version", "1.0"},
};

// The two component categories through the category manager: the category
// with its description for locale 0x409, then the control's mark.
struct Category {
  std::string_view token;
  std::string_view description;
};
constexpr Category kCategories[] = {
    {"{scripting}", "Controls that are safely scriptable"},            // CATID_SafeForScripting
    {"{initializing}", "Controls safely initializable from persistent data"},  // CATID_SafeForInitializing
};
// ICatRegister keeps at most 127 characters of a description.
constexpr std::size_t kMaxCategoryDescription = 127;

// The control class: class id, ProgID, type name (string 1), toolbox bitmap
// 1, insertable, apartment threading, miscellaneous status, type library and
// version.
constexpr RegistryRow kControlClassRows[] = {
    {"CLSID\\{control}", "@", "Tilvo Control"},
    {"CLSID\\{control}\\ProgID", "@", "TILVO.TilvoCtrl.1"},
    {"CLSID\\{control}\\InprocServer32", "@", "{module}"},
    {"CLSID\\{control}\\InprocServer32", "ThreadingModel", "Apartment"},
    {"CLSID\\{control}\\ToolboxBitmap32", "@", "{module}, 1"},
    {"CLSID\\{control}\\Insertable", "", ""},
    {"CLSID\\{control}\\MiscStatus", "@", "0"},
    {"CLSID\\{control}\\MiscStatus\\1", "@", "{miscstatus}"},
    {"CLSID\\{control}\\TypeLib", "@", "{typelib}"},
    {"CLSID\\{control}\\Version", "@", "1.0"},
    {"TILVO.TilvoCtrl.1", "@", "Tilvo Control"},
    {"TILVO.TilvoCtrl.1\\CLSID", "@", "{control}"},
    {"TILVO.TilvoCtrl.1\\Insertable", "", ""},
};

// The property page class: class id with type name (string 2), and the module that serves it.
constexpr RegistryRow kPageClassRows[] = {
    {"CLSID\\{page}", "@", "Tilvo Property Page"},
    {"CLSID\\{page}\\InprocServer32", "@", "{module}"},
};

const Guid kSafeForScripting = {0x7DD95801, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};
const Guid kSafeForInitializing = {0x7DD95802, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};

// Replaces the brace tokens of one text.
std::string Expand(std::string_view text, const std::string& modulePath) {
  const std::size_t slash = modulePath.find_last_of('/');
  const std::string moduleDir = slash == std::string::npos ? std::string() : modulePath.substr(0, slash + 1);
  const std::array<std::pair<std::string_view, std::string>, 10> tokens = {{
      {"{typelib}", GuidText(kTypeLibrary.guid)},
      {"{dispatch}", GuidText(kDispatchInterface.guid)},
      {"{events}", GuidText(kEventInterface.guid)},
      {"{control}", GuidText(kControlClass.guid)},
      {"{page}", GuidText(kPropertyPageClass.guid)},
      {"{scripting}", GuidText(kSafeForScripting)},
      {"{initializing}", GuidText(kSafeForInitializing)},
      {"{module}", modulePath},
      {"{moduledir}", moduleDir},
      {"{miscstatus}", std::to_string(kMiscStatus)},
  }};
  std::string out;
  while (!text.empty()) {
    bool replaced = false;
    for (const auto& [token, value] : tokens) {
      if (text.substr(0, token.size()) == token) {
        out += value;
        text.remove_prefix(token.size());
        replaced = true;
        break;
      }
    }
    if (!replaced) {
      out += text.front();
      text.remove_prefix(1);
    }
  }
  return out;
}

bool WriteRows(ClassRegistry& registry, std::span<const RegistryRow> rows, const std::string& modulePath) {
  for (const RegistryRow& row : rows) {
    const std::string key = Expand(row.key, modulePath);
    const bool ok = row.name.empty() ? registry.CreateKey(key)
                                     : registry.SetValue(key, row.name, Expand(row.value, modulePath));
    if (!ok) return false;
  }
  return true;
}

std::string ImplementedCategoryKey(const Category& category) {
  return Expand("CLSID\\{control}\\Implemented Categories\\" + std::string(category.token), {});
}

bool Load(RegistrationStore& store, ClassRegistry& registry) {
  std::string text;
  if (!store.Load(text)) return false;
  registry = ClassRegistry::Parse(text);
  return true;
}

bool Save(RegistrationStore& store, const ClassRegistry& registry) {
  return store.Save(std::string(kFileHeader) + registry.Text());
}

bool RegisterTypeLibrary(ClassRegistry& registry, const std::string& modulePath) {
  return WriteRows(registry, kTypeLibraryRows, modulePath);
}

bool RegisterControlClass(ClassRegistry& registry, const std::string& modulePath) {
  for (const Category& category : kCategories) {
    // The category steps' results do not count: the class registers regardless.
    const std::string description(category.description.substr(0, kMaxCategoryDescription));
    (void)registry.SetValue(Expand("Component Categories\\" + std::string(category.token), {}), "409", description);
    (void)registry.CreateKey(ImplementedCategoryKey(category));
  }
  return WriteRows(registry, kControlClassRows, modulePath);
}

bool RegisterPageClass(ClassRegistry& registry, const std::string& modulePath) {
  return WriteRows(registry, kPageClassRows, modulePath);
}

// UnRegisterTypeLib: the version's key and the interfaces; the library's own
// key goes when no other version is left under it.
void UnregisterTypeLibrary(ClassRegistry& registry) {
  registry.DeleteTree(Expand("TypeLib\\{typelib}\\1.0", {}));
  const std::string library = Expand("TypeLib\\{typelib}", {});
  if (!registry.HasSubkeys(library)) registry.DeleteTree(library);
  registry.DeleteTree(Expand("Interface\\{dispatch}", {}));
  registry.DeleteTree(Expand("Interface\\{events}", {}));
}

void UnregisterClasses(ClassRegistry& registry) {
  for (const Category& category : kCategories) registry.DeleteTree(ImplementedCategoryKey(category));
  registry.DeleteTree(Expand("CLSID\\{control}", {}));
  registry.DeleteTree("TILVO.TilvoCtrl.1");
  registry.DeleteTree(Expand("CLSID\\{page}", {}));
}

}  // namespace

bool FileRegistrationStore::Load(std::string& text) {
  text.clear();
  if (!platform::PathExists(path_)) return true;
  std::vector<std::uint8_t> bytes;
  if (!platform::ReadWholeFile(path_, kMaxRegistrationBytes, bytes)) return false;
  text.assign(bytes.begin(), bytes.end());
  return true;
}

bool FileRegistrationStore::Save(const std::string& text) { return platform::WriteFileReplacing(path_, text); }

std::string RegistrationFilePath(const std::string& xdgDataHome, const std::string& home) {
  // A relative XDG_DATA_HOME is invalid and ignored, as the XDG rules say.
  std::string folder;
  if (!xdgDataHome.empty() && xdgDataHome.front() == '/') {
    folder = xdgDataHome;
  } else if (!home.empty()) {
    folder = home + "/.local/share";
  } else {
    return {};
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (folder != "/") folder += '/';
  return folder + "tilvo/" + kRegistrationFileName;
}

std::string RegistrationFilePath() {
  return RegistrationFilePath(platform::EnvironmentValue("XDG_DATA_HOME"), platform::EnvironmentValue("HOME"));
}

HRESULT RegisterServer(RegistrationStore& store, const std::string& modulePath) {
  ClassRegistry registry;
  if (modulePath.empty() || !Load(store, registry)) return SELFREG_E_TYPELIB;
  if (!RegisterTypeLibrary(registry, modulePath) || !Save(store, registry)) return SELFREG_E_TYPELIB;
  if (!RegisterControlClass(registry, modulePath) || !RegisterPageClass(registry, modulePath) ||
      !Save(store, registry)) {
    return SELFREG_E_CLASS;
  }
  return S_OK;
}

HRESULT UnregisterServer(RegistrationStore& store) {
  ClassRegistry registry;
  if (!Load(store, registry)) return SELFREG_E_TYPELIB;
  const std::string before = registry.Text();
  UnregisterTypeLibrary(registry);
  // Nothing is written where nothing changes, so unregistering what was never
  // registered leaves no file behind.
  std::string saved = before;
  if (registry.Text() != saved) {
    if (!Save(store, registry)) return SELFREG_E_TYPELIB;
    saved = registry.Text();
  }
  UnregisterClasses(registry);
  if (registry.Text() != saved && !Save(store, registry)) return SELFREG_E_CLASS;
  return S_OK;
}

}  // namespace tilvo

extern "C" tilvo::HRESULT DllRegisterServer() {
  const std::string path = tilvo::RegistrationFilePath();
  if (path.empty()) return tilvo::SELFREG_E_TYPELIB;
  tilvo::FileRegistrationStore store(path);
  // The module names itself: the file that holds this very function.
  return tilvo::RegisterServer(store,
                               tilvo::platform::PathOfModuleContaining(reinterpret_cast<const void*>(&DllRegisterServer)));
}

extern "C" tilvo::HRESULT DllUnregisterServer() {
  const std::string path = tilvo::RegistrationFilePath();
  if (path.empty()) return tilvo::SELFREG_E_TYPELIB;
  tilvo::FileRegistrationStore store(path);
  return tilvo::UnregisterServer(store);
}
