#pragma once
// The class factories of the module's two classes, the control and its
// property page, as DllGetClassObject hands them out.

#include <windows.h>

namespace tilvo::ocx {

// The factory of class rclsid for interface riid (IClassFactory or
// IUnknown): S_OK with *ppv counted; CLASS_E_CLASSNOTAVAILABLE for another
// class; E_NOINTERFACE for another interface; E_POINTER without ppv.
HRESULT GetClassFactory(REFCLSID rclsid, REFIID riid, void** ppv);

}  // namespace tilvo::ocx
