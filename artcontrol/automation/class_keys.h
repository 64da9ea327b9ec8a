#pragma once
// The registry keys of the control class and the property page class, as
// one table for every system: what DllRegisterServer writes under the class
// root (HKEY_CLASSES_ROOT, or the per-user file that stands in for it on
// Linux), and the two component categories the control implements.

#include <span>
#include <string>
#include <string_view>

#include "tilvo/identities.h"

namespace tilvo {

// One registry value to write. Keys and values name the identities in
// braces, replaced by their GUID text ("{control}", "{page}", "{typelib}",
// "{dispatch}", "{events}", "{members}" and the categories' "{scripting}" and "{initializing}"),
// and "{module}" (the module's path) and "{miscstatus}"; an empty value name
// makes the key alone, "@" is the key's default value.
struct RegistryRow {
  std::string_view key;
  std::string_view name;
  std::string_view value;
};

// A component category: its token in the rows, its GUID and description
// (for locale 0x409).
struct ComponentCategory {
  std::string_view token;
  Guid guid;
  std::string_view description;
};

// The control class: class id with its type name, ProgID, module with
// apartment threading, control, insertable, toolbox bitmap 1, miscellaneous
// status, type library and version; the ProgID's own key.
std::span<const RegistryRow> ControlClassRows();
// The property page class: class id with its type name, and its module.
std::span<const RegistryRow> PageClassRows();
// What registering the type library writes, which the system's type-library
// registration does by itself at self-registration and an installer writes
// as rows: the library's version key with its module ("{win}" is "win64" or
// "win32" after the module's width) and help folder ("{folder}", the
// module's folder with its closing backslash), and each interface with the
// marshaler that Automation gives it.
std::span<const RegistryRow> TypeLibraryRows();
// CATID_SafeForScripting and CATID_SafeForInitializing, in that order.
std::span<const ComponentCategory> ControlCategories();
// A category manager keeps at most this many characters of a description.
inline constexpr std::size_t kMaxCategoryDescription = 127;

// The text with its brace tokens replaced; modulePath stands for "{module}".
std::string ExpandRegistryText(std::string_view text, const std::string& modulePath);

}  // namespace tilvo
