// The module's entry, its resources and its two class-serving entry points.
#include "artcontrol/ocx/module.h"

#include <mutex>

#include "artcontrol/automation/module_state.h"
#include "artcontrol/ocx/class_factory.h"
#include "artcontrol/platform/module.h"
#include "artcontrol/platform/win32/wide_text.h"

namespace tilvo::ocx {
namespace {

HINSTANCE g_instance = nullptr;

// Kept for the life of the process: the system's loader caches it anyway,
// and a module may not release COM objects while it is being unloaded.
ITypeLib* g_typeLibrary = nullptr;
std::mutex g_typeLibraryLock;

HRESULT ModuleTypeLib(ITypeLib** library) {
  std::lock_guard<std::mutex> lock(g_typeLibraryLock);
  if (g_typeLibrary == nullptr) {
    const HRESULT hr = ::LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &g_typeLibrary);
    if (FAILED(hr)) return hr;
  }
  *library = g_typeLibrary;
  g_typeLibrary->AddRef();
  return S_OK;
}

}  // namespace

HINSTANCE ModuleInstance() { return g_instance; }

std::wstring ModulePath() {
  // The module that holds this very function.
  return platform::Utf16FromUtf8(platform::PathOfModuleContaining(reinterpret_cast<const void*>(&ModulePath)));
}

HRESULT ModuleTypeInfo(REFGUID guid, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  ITypeLib* library = nullptr;
  const HRESULT hr = ModuleTypeLib(&library);
  if (FAILED(hr)) return hr;
  const HRESULT found = library->GetTypeInfoOfGuid(guid, info);
  library->Release();
  return found;
}

std::wstring ModuleString(UINT id) {
  const wchar_t* text = nullptr;
  // With a zero length the call gives a pointer into the resource itself.
  const int length = ::LoadStringW(g_instance, id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

LPOLESTR TaskMemText(std::wstring_view text) {
  auto* copy = static_cast<LPOLESTR>(::CoTaskMemAlloc((text.size() + 1) * sizeof(OLECHAR)));
  if (copy == nullptr) return nullptr;
  text.copy(copy, text.size());
  copy[text.size()] = L'\0';
  return copy;
}

BSTR AutomationText(std::string_view utf8) {
  if (utf8.empty()) return nullptr;
  const std::wstring wide = platform::Utf16FromUtf8(utf8);
  return ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

std::string Utf8Text(BSTR text) {
  if (text == nullptr) return {};
  return platform::Utf8FromUtf16(std::wstring_view(text, ::SysStringLen(text)));
}

}  // namespace tilvo::ocx

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    tilvo::ocx::g_instance = instance;
    ::DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    // Unloaded by FreeLibrary (not at process exit): a DLL's window classes
    // outlive it unless it removes them.
    tilvo::ocx::UnregisterWindowClasses();
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  return tilvo::ocx::GetClassFactory(rclsid, riid, ppv);
}

STDAPI DllCanUnloadNow() { return tilvo::ModuleInUse() ? S_FALSE : S_OK; }
