#pragma once
// The module TILVO.OCX as a whole: its instance handle and path, its type
// library and string resources, and the helpers its COM objects share. What
// keeps it loaded is counted by the shared core (module_state.h).

#include <string>
#include <string_view>

#include <windows.h>
#include <oaidl.h>

namespace tilvo::ocx {

// The module's instance handle, as DllMain received it.
HINSTANCE ModuleInstance();
// The module's own path.
std::wstring ModulePath();
// The type information for guid in the type library of the module's resources
// (TYPELIB 1, loaded once): S_OK with *info counted, or the loader's failure.
HRESULT ModuleTypeInfo(REFGUID guid, ITypeInfo** info);
// String resource id of the module, or empty when it has none.
std::wstring ModuleString(UINT id);
// Removes the window classes the module registered (it is being unloaded).
void UnregisterWindowClasses();

// A copy of text in memory from CoTaskMemAlloc, or null when there is none to be had.
LPOLESTR TaskMemText(std::wstring_view text);
// A counted copy of text as an automation string (null for the empty text, as automation allows).
BSTR AutomationText(std::string_view utf8);
// An automation string as UTF-8 (null reads as empty).
std::string Utf8Text(BSTR text);

}  // namespace tilvo::ocx
