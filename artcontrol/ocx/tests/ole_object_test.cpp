// What containers ask of the control before and around siting it: its
// interfaces, status, verbs, type name, extent, property page, safety and
// class information; the module's class factories and use count.

#include <gtest/gtest.h>

#include <string>

#include <objsafe.h>

#include "com_host.h"
#include "tilvo/identities.h"

namespace tilvo::ocx::testing {
namespace {

TEST(OleObject, AnswersWhatContainersAskFor) {
  ComPtr<IDispatch> control = CreateControl();
  for (const IID* iid : {&IID_IOleObject, &IID_IOleControl, &IID_IOleInPlaceObject, &IID_IOleInPlaceActiveObject,
                         &IID_IOleWindow, &IID_IViewObject, &IID_IViewObject2, &IID_IPersist, &IID_IPersistStreamInit,
                         &IID_IPersistPropertyBag, &IID_IPersistStorage, &IID_ISpecifyPropertyPages,
                         &IID_IObjectSafety, &IID_IProvideClassInfo, &IID_IProvideClassInfo2,
                         &IID_IConnectionPointContainer, &DIID__DTilvo}) {
    ComPtr<IUnknown> found;
    EXPECT_EQ(control->QueryInterface(*iid, reinterpret_cast<void**>(found.GetAddressOf())), S_OK);
  }
  ComPtr<IOleObject> object;
  ASSERT_EQ(control.As(&object), S_OK);
  DWORD status = 0;
  ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
  EXPECT_EQ(status, 0x20191u);
  LPOLESTR type = nullptr;
  ASSERT_EQ(object->GetUserType(USERCLASSTYPE_FULL, &type), S_OK);
  EXPECT_EQ(std::wstring(type), L"Tilvo Control");
  ::CoTaskMemFree(type);

  ComPtr<IEnumOLEVERB> verbs;
  ASSERT_EQ(object->EnumVerbs(&verbs), S_OK);
  OLEVERB verb[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(verbs->Next(3, verb, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  EXPECT_EQ(verb[0].lVerb, OLEIVERB_PRIMARY);
  EXPECT_EQ(std::wstring(verb[0].lpszVerbName), L"&Edit");
  EXPECT_EQ(verb[1].lVerb, OLEIVERB_PROPERTIES);
  EXPECT_EQ(std::wstring(verb[1].lpszVerbName), L"&Properties...");
  for (ULONG i = 0; i < fetched; ++i) ::CoTaskMemFree(verb[i].lpszVerbName);

  SIZEL extent{1234, 567};
  ASSERT_EQ(object->SetExtent(DVASPECT_CONTENT, &extent), S_OK);
  SIZEL back{};
  ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &back), S_OK);
  EXPECT_EQ(back.cx, 1234);
  EXPECT_EQ(back.cy, 567);

  // A change of the container's ambient properties asks for a new picture, which the container should save.
  ComPtr<IOleControl> oleControl;
  ComPtr<IPersistStreamInit> persist;
  ASSERT_EQ(control.As(&oleControl), S_OK);
  ASSERT_EQ(control.As(&persist), S_OK);
  ASSERT_EQ(persist->InitNew(), S_OK);
  ASSERT_EQ(oleControl->OnAmbientPropertyChange(DISPID_AMBIENT_BACKCOLOR), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_OK);

  ComPtr<ISpecifyPropertyPages> pages;
  ASSERT_EQ(control.As(&pages), S_OK);
  CAUUID list{};
  ASSERT_EQ(pages->GetPages(&list), S_OK);
  ASSERT_EQ(list.cElems, 1u);
  EXPECT_TRUE(::IsEqualCLSID(list.pElems[0], CLSID_CTilvoPropPage));
  ::CoTaskMemFree(list.pElems);
}

TEST(OleObject, SafetyMatchesTheTwoCategories) {
  ComPtr<IDispatch> control = CreateControl();
  ComPtr<IObjectSafety> safety;
  ASSERT_EQ(control->QueryInterface(IID_IObjectSafety, reinterpret_cast<void**>(safety.GetAddressOf())), S_OK);
  const DWORD caller = INTERFACESAFE_FOR_UNTRUSTED_CALLER;
  const DWORD data = INTERFACESAFE_FOR_UNTRUSTED_DATA;
  const struct {
    const IID* iid;
    DWORD supported;
    HRESULT setCaller;
    HRESULT setData;
  } cases[] = {
      {&IID_IDispatch, caller, S_OK, E_FAIL},
      {&DIID__DTilvo, caller, S_OK, E_FAIL},
      {&IID_IPersistPropertyBag, data, E_FAIL, S_OK},
      {&IID_IPersistStreamInit, data, E_FAIL, S_OK},
      {&IID_IOleObject, 0, E_FAIL, E_FAIL},
  };
  for (const auto& c : cases) {
    DWORD supported = 9;
    DWORD enabled = 9;
    ASSERT_EQ(safety->GetInterfaceSafetyOptions(*c.iid, &supported, &enabled), S_OK);
    EXPECT_EQ(supported, c.supported);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(*c.iid, caller, caller), c.setCaller);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(*c.iid, data, data), c.setData);
    ASSERT_EQ(safety->GetInterfaceSafetyOptions(*c.iid, &supported, &enabled), S_OK);
    EXPECT_EQ(enabled, c.supported);
  }
  DWORD supported = 0;
  DWORD enabled = 0;
  EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IClassFactory, &supported, &enabled), E_NOINTERFACE);
}

TEST(Module, FactoriesAndTheUseCount) {
  const HMODULE module = ::LoadLibraryW(ModuleUnderTest().c_str());
  ASSERT_NE(module, nullptr);
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
  const auto getClassObject =
      reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
  const auto canUnloadNow =
      reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(::GetProcAddress(module, "DllCanUnloadNow")));
  ASSERT_NE(getClassObject, nullptr);
  ASSERT_NE(canUnloadNow, nullptr);

  ComPtr<IClassFactory> factory;
  EXPECT_EQ(getClassObject(IID_IDispatch, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())),
            CLASS_E_CLASSNOTAVAILABLE);
  for (const CLSID* clsid : {&CLSID_Tilvo, &CLSID_CTilvoPropPage}) {
    ASSERT_EQ(getClassObject(*clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.ReleaseAndGetAddressOf())),
              S_OK);
    ComPtr<IUnknown> object;
    ComPtr<IUnknown> outer = factory;
    EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_IUnknown, reinterpret_cast<void**>(object.GetAddressOf())),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, reinterpret_cast<void**>(object.GetAddressOf())),
              E_NOINTERFACE);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(object.GetAddressOf())), S_OK);
    factory.Reset();
    EXPECT_EQ(canUnloadNow(), S_FALSE);  // the object lives
    object.Reset();
  }
  // The tests' other controls are gone by now; a lock alone keeps the module.
  ASSERT_EQ(getClassObject(CLSID_Tilvo, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())), S_OK);
  factory->LockServer(TRUE);
  factory.Reset();
  EXPECT_EQ(canUnloadNow(), S_FALSE);
  ASSERT_EQ(getClassObject(CLSID_Tilvo, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())), S_OK);
  factory->LockServer(FALSE);
  factory.Reset();
  EXPECT_EQ(canUnloadNow(), S_OK);
  ::FreeLibrary(module);
}

}  // namespace
}  // namespace tilvo::ocx::testing
