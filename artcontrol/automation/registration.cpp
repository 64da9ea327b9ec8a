// Registration as the Windows registry would hold it, key for key, in the
// per-user registration file. Each step of DllRegisterServer saves on its own,
// so its failure code names the step that failed.

#include "artcontrol/automation/registration.h"

#include <array>
#include <span>
#include <string_view>
#include <vector>

#include "artcontrol/automation/class_keys.h"
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

// The rows' brace tokens, and "{moduledir}", the module's folder, which the
// type library's help folder names.
std::string Expand(std::string_view text, const std::string& modulePath) {
  const std::size_t slash = modulePath.find_last_of('/');
  const std::string moduleDir = slash == std::string::npos ? std::string() : modulePath.substr(0, slash + 1);
  std::string out;
  constexpr std::string_view kModuleDir = "{moduledir}";
  for (std::size_t at = text.find(kModuleDir); at != std::string_view::npos; at = text.find(kModuleDir)) {
    out += text.substr(0, at);
    out += moduleDir;
    text.remove_prefix(at + kModuleDir.size());
  }
  out += text;
  return ExpandRegistryText(out, modulePath);
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

std::string ImplementedCategoryKey(const ComponentCategory& category) {
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
  for (const ComponentCategory& category : ControlCategories()) {
    // The category steps' results do not count: the class registers regardless.
    const std::string description(category.description.substr(0, kMaxCategoryDescription));
    (void)registry.SetValue(Expand("Component Categories\\" + std::string(category.token), {}), "409", description);
    (void)registry.CreateKey(ImplementedCategoryKey(category));
  }
  return WriteRows(registry, ControlClassRows(), modulePath);
}

bool RegisterPageClass(ClassRegistry& registry, const std::string& modulePath) {
  return WriteRows(registry, PageClassRows(), modulePath);
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
  for (const ComponentCategory& category : ControlCategories()) registry.DeleteTree(ImplementedCategoryKey(category));
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
