#include "artcontrol/automation/class_keys.h"

#include <array>
#include <utility>

namespace tilvo {
namespace {

constexpr RegistryRow kControlClassRows[] = {
    {"CLSID\\{control}", "@", "Tilvo Control"},
    {"CLSID\\{control}\\ProgID", "@", "TILVO.TilvoCtrl.1"},
    {"CLSID\\{control}\\InprocServer32", "@", "{module}"},
    {"CLSID\\{control}\\InprocServer32", "ThreadingModel", "Apartment"},
    {"CLSID\\{control}\\Control", "", ""},
    {"CLSID\\{control}\\Insertable", "", ""},
    {"CLSID\\{control}\\ToolboxBitmap32", "@", "{module}, 1"},
    {"CLSID\\{control}\\MiscStatus", "@", "0"},
    {"CLSID\\{control}\\MiscStatus\\1", "@", "{miscstatus}"},
    {"CLSID\\{control}\\TypeLib", "@", "{typelib}"},
    {"CLSID\\{control}\\Version", "@", "1.0"},
    {"TILVO.TilvoCtrl.1", "@", "Tilvo Control"},
    {"TILVO.TilvoCtrl.1\\CLSID", "@", "{control}"},
    {"TILVO.TilvoCtrl.1\\Insertable", "", ""},
};

// The page is known by its class id alone; its hosts create it on their
// window's thread, as they do the control.
constexpr RegistryRow kPageClassRows[] = {
    {"CLSID\\{page}", "@", "Tilvo Property Page"},
    {"CLSID\\{page}\\InprocServer32", "@", "{module}"},
    {"CLSID\\{page}\\InprocServer32", "ThreadingModel", "Apartment"},
};

// The library's flags are control (2) and has-disk-image (8). Dispatch
// interfaces are marshalled by Automation's dispatch marshaler
// {00020420-...}, the dual vtable interface by its type-library marshaler
// {00020424-...}.
constexpr RegistryRow kTypeLibraryRows[] = {
    {"TypeLib\\{typelib}\\1.0", "@", "Tilvo ActiveX Control module"},
    {"TypeLib\\{typelib}\\1.0\\409\\{win}", "@", "{module}"},
    {"TypeLib\\{typelib}\\1.0\\FLAGS", "@", "10"},
    {"TypeLib\\{typelib}\\1.0\\HELPDIR", "@", "{folder}"},
    {"Interface\\{members}", "@", "ITilvoMembers"},
    {"Interface\\{members}\\ProxyStubClsid", "@", "{00020424-0000-0000-C000-000000000046}"},
    {"Interface\\{members}\\ProxyStubClsid32", "@", "{00020424-0000-0000-C000-000000000046}"},
    {"Interface\\{members}\\TypeLib", "@", "{typelib}"},
    {"Interface\\{members}\\TypeLib", "Version", "1.0"},
    {"Interface\\{dispatch}", "@", "_DTilvo"},
    {"Interface\\{dispatch}\\ProxyStubClsid", "@", "{00020420-0000-0000-C000-000000000046}"},
    {"Interface\\{dispatch}\\ProxyStubClsid32", "@", "{00020420-0000-0000-C000-000000000046}"},
    {"Interface\\{dispatch}\\TypeLib", "@", "{typelib}"},
    {"Interface\\{dispatch}\\TypeLib", "Version", "1.0"},
    {"Interface\\{events}", "@", "_DTilvoEvents"},
    {"Interface\\{events}\\ProxyStubClsid", "@", "{00020420-0000-0000-C000-000000000046}"},
    {"Interface\\{events}\\ProxyStubClsid32", "@", "{00020420-0000-0000-C000-000000000046}"},
    {"Interface\\{events}\\TypeLib", "@", "{typelib}"},
    {"Interface\\{events}\\TypeLib", "Version", "1.0"},
};

constexpr ComponentCategory kCategories[] = {
    {"{scripting}", {0x7DD95801, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}},
     "Controls that are safely scriptable"},
    {"{initializing}", {0x7DD95802, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}},
     "Controls safely initializable from persistent data"},
};

}  // namespace

std::span<const RegistryRow> ControlClassRows() { return kControlClassRows; }

std::span<const RegistryRow> PageClassRows() { return kPageClassRows; }

std::span<const RegistryRow> TypeLibraryRows() { return kTypeLibraryRows; }

std::span<const ComponentCategory> ControlCategories() { return kCategories; }

std::string ExpandRegistryText(std::string_view text, const std::string& modulePath) {
  const std::array<std::pair<std::string_view, std::string>, 10> tokens = {{
      {"{typelib}", GuidText(kTypeLibrary.guid)},
      {"{members}", GuidText(kMembersInterface.guid)},
      {"{dispatch}", GuidText(kDispatchInterface.guid)},
      {"{events}", GuidText(kEventInterface.guid)},
      {"{control}", GuidText(kControlClass.guid)},
      {"{page}", GuidText(kPropertyPageClass.guid)},
      {kCategories[0].token, GuidText(kCategories[0].guid)},
      {kCategories[1].token, GuidText(kCategories[1].guid)},
      {"{module}", modulePath},
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

}  // namespace tilvo
