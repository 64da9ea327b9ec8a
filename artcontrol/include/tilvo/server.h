#pragma once
// The module as a server of its two classes: the result codes of its entry
// points, the class factory a host asks for, and the four entry points that
// libtilvo.so exports by their plain names (a host finds them with the
// platform's symbol lookup after loading the module, as activation.h does).

#include <cstdint>
#include <optional>
#include <string>

#include "tilvo/identities.h"
#include "tilvo/site.h"

namespace tilvo {

// The 32-bit result of an entry point: 0 or 1 for success, negative for failure.
using HRESULT = std::int32_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT SELFREG_E_TYPELIB = static_cast<HRESULT>(0x80040200u);   // the type library could not be (un)registered
inline constexpr HRESULT SELFREG_E_CLASS = static_cast<HRESULT>(0x80040201u);     // a class could not be (un)registered
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);  // the module serves no such class
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);  // the class is not registered
inline constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3u);     // neither a registered ProgID nor a class id
inline constexpr HRESULT CO_E_ERRORINDLL = static_cast<HRESULT>(0x800401F9u);      // the module lacks DllGetClassObject
inline constexpr HRESULT E_MODULE_NOT_FOUND = static_cast<HRESULT>(0x8007007Eu);   // the registered module does not load
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);        // the object has no such interface
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);            // a required pointer is null

// Interface ids a host passes to the factory functions.
inline constexpr Guid IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr Guid IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr Guid IID_IPropertyPage = {0xB196B28D, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};

// True when the two GUIDs are the same.
bool SameGuid(const Guid& a, const Guid& b);

// What a new object is created with. The control needs its site; the client
// folder, when given, replaces the registry's (as the two-argument constructor
// of CTilvoCtrl does). The page class needs neither.
struct InstanceSetup {
  TilvoSite* site = nullptr;
  std::optional<std::string> clientDirectory;
};

// The factory of one class, as DllGetClassObject hands it out. Each factory
// a host holds keeps the module in use until released.
class IClassFactory {
 public:
  // Another reference to the factory; the new count.
  virtual std::uint32_t AddRef() = 0;
  // Drops a reference; the count left.
  virtual std::uint32_t Release() = 0;
  // Creates an object of the class for the interface riid (IUnknown, or
  // `_DTilvo` for the control and IPropertyPage for the page): *object
  // becomes a new CTilvoCtrl* or TilvoPropPageCore* that the caller deletes.
  // S_OK; E_POINTER without object (or without a site for the control);
  // E_NOINTERFACE for another interface.
  virtual HRESULT CreateInstance(const InstanceSetup& setup, const Guid& riid, void** object) = 0;
  // Keeps the module in use (lock) or lets it go (unlock); S_OK.
  virtual HRESULT LockServer(bool lock) = 0;

 protected:
  ~IClassFactory() = default;
};

}  // namespace tilvo

extern "C" {
// Writes the module's registration (type library, both classes, the two
// component categories) into the per-user registration file: S_OK,
// SELFREG_E_TYPELIB or SELFREG_E_CLASS.
tilvo::HRESULT DllRegisterServer();
// Removes the type library and the two classes with their category marks from
// that file: S_OK, SELFREG_E_TYPELIB or SELFREG_E_CLASS.
tilvo::HRESULT DllUnregisterServer();
// The factory of class rclsid for interface riid (IClassFactory or IUnknown):
// S_OK with *ppv set and counted, CLASS_E_CLASSNOTAVAILABLE for another class,
// E_NOINTERFACE for another interface, E_POINTER for a null pointer.
tilvo::HRESULT DllGetClassObject(const tilvo::Guid* rclsid, const tilvo::Guid* riid, void** ppv);
// S_OK when no object of the module lives and no factory is held or locked, otherwise S_FALSE.
tilvo::HRESULT DllCanUnloadNow();
}
