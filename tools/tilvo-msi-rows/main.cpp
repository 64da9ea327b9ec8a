// Prints, one SQL statement a line, the rows that the kit's Windows installer
// adds to its Registry, Component and FeatureComponents tables so that the
// registry holds after installation exactly what regsvr32 writes for the
// 64-bit TILVO.OCX and for the 32-bit one:
//
//   tilvo-msi-rows FEATURE
//
// The components that carry the two modules are the installer's own:
// "TilvoOcx64" (file "TilvoOcx64" in folder INSTALLDIR) and "TilvoOcx32"
// (file "TilvoOcx32" in folder "TilvoX86"). Class and interface keys are
// written in each width's view of the registry; the others (type library,
// ProgID, categories) are one key for both views, as 64-bit Windows keeps
// them, and are written once.
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "artcontrol/automation/class_keys.h"

namespace {

struct Width {
  const char* component;
  const char* win;          // the type library's platform key
  std::string module;       // the module's path, as the installer formats it
  std::string folder;       // its folder, with the closing backslash
  bool writes_shared_keys;  // only one width writes the keys both views share
};

// The class root of the machine, where regsvr32 writes.
constexpr std::string_view kClassRoot = "Software\\Classes\\";

bool OwnKeyOfEachView(std::string_view key) {
  return key.starts_with("CLSID\\") || key.starts_with("Interface\\") || key.find("{win}") != std::string_view::npos;
}

std::string Replace(std::string text, std::string_view token, const std::string& value) {
  for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + value.size())) {
    text.replace(at, token.size(), value);
  }
  return text;
}

// SQL text in quotes; the keys, names and values never hold a quote, but a
// quote would be doubled.
std::string Quoted(const std::string& text) { return "'" + Replace(text, "'", "''") + "'"; }

void PrintRow(const std::string& id, const std::string& key, std::string_view name, const std::string& value,
              const char* component) {
  // A row without a name writes the key's default value; "*" makes the key
  // alone, and removes it with the component.
  if (name.empty()) {
    std::printf(
        "INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Component_`) VALUES (%s, 2, %s, '*', %s)\n",
        Quoted(id).c_str(), Quoted(key).c_str(), Quoted(component).c_str());
  } else if (name == "@") {
    std::printf(
        "INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Value`, `Component_`) VALUES (%s, 2, %s, %s, %s)\n",
        Quoted(id).c_str(), Quoted(key).c_str(), Quoted(value).c_str(), Quoted(component).c_str());
  } else {
    std::printf(
        "INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Value`, `Component_`) VALUES (%s, 2, %s, %s, %s, "
        "%s)\n",
        Quoted(id).c_str(), Quoted(key).c_str(), Quoted(std::string(name)).c_str(), Quoted(value).c_str(),
        Quoted(component).c_str());
  }
}

void PrintRows(const Width& width, std::span<const tilvo::RegistryRow> rows, int& counter) {
  for (const tilvo::RegistryRow& row : rows) {
    if (!OwnKeyOfEachView(row.key) && !width.writes_shared_keys) continue;
    std::string key = Replace(std::string(row.key), "{win}", width.win);
    std::string value = Replace(std::string(row.value), "{folder}", width.folder);
    key = tilvo::ExpandRegistryText(key, width.module);
    value = tilvo::ExpandRegistryText(value, width.module);
    PrintRow(std::string(width.component) + "_" + std::to_string(++counter), std::string(kClassRoot) + key, row.name,
             value, width.component);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tilvo-msi-rows FEATURE\n");
    return 2;
  }
  const std::string feature = argv[1];
  const Width widths[] = {
      {"TilvoOcx64", "win64", "[#TilvoOcx64]", "[INSTALLDIR]", true},
      {"TilvoOcx32", "win32", "[#TilvoOcx32]", "[TilvoX86]", false},
  };
  for (const Width& width : widths) {
    int counter = 0;
    PrintRows(width, tilvo::ControlClassRows(), counter);
    PrintRows(width, tilvo::PageClassRows(), counter);
    PrintRows(width, tilvo::TypeLibraryRows(), counter);
    for (const tilvo::ComponentCategory& category : tilvo::ControlCategories()) {
      const std::string implemented = "CLSID\\{control}\\Implemented Categories\\" + std::string(category.token);
      const tilvo::RegistryRow row{implemented, "", ""};
      PrintRows(width, std::span(&row, 1), counter);
    }
  }
  // The categories' descriptions are the system's, shared with every control
  // that implements them: like the control's own unregistration, the kit
  // leaves them when it goes (a permanent component, attributes 4 + 16 + 256:
  // a registry key path, permanent, 64-bit).
  const char* categories = "TilvoCategories";
  int counter = 0;
  std::string first;
  for (const tilvo::ComponentCategory& category : tilvo::ControlCategories()) {
    const std::string id = std::string(categories) + "_" + std::to_string(++counter);
    if (first.empty()) first = id;
    const std::string key = tilvo::ExpandRegistryText("Component Categories\\" + std::string(category.token), "");
    const std::string description(category.description.substr(0, tilvo::kMaxCategoryDescription));
    PrintRow(id, std::string(kClassRoot) + key, "409", description, categories);
  }
  std::printf(
      "INSERT INTO `Component` (`Component`, `ComponentId`, `Directory_`, `Attributes`, `KeyPath`) VALUES (%s, "
      "'{6F1C2B7E-54A0-4C55-9C8E-2D1B0E6A9F31}', 'INSTALLDIR', 276, %s)\n",
      Quoted(categories).c_str(), Quoted(first).c_str());
  std::printf("INSERT INTO `FeatureComponents` (`Feature_`, `Component_`) VALUES (%s, %s)\n", Quoted(feature).c_str(),
              Quoted(categories).c_str());
  return 0;
}
