#include "artcontrol/ocx/class_factory.h"

#include "artcontrol/automation/module_state.h"
#include "artcontrol/ocx/control.h"
#include "artcontrol/ocx/prop_page.h"
#include "artcontrol/ocx/tilvo_h.h"

namespace tilvo::ocx {
namespace {

// One factory per class, living as long as the module; the references that
// hosts hold, and their locks, keep the module loaded.
class ClassFactory final : public IClassFactory {
 public:
  using Create = HRESULT (*)(REFIID riid, void** object);
  ClassFactory(const CLSID& clsid, Create create) : clsid_(clsid), create_(create) {}

  const CLSID& ClassId() const { return clsid_; }

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (riid != IID_IUnknown && riid != IID_IClassFactory) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override {
    LockModule();
    return static_cast<ULONG>(::InterlockedIncrement(&references_));
  }
  STDMETHODIMP_(ULONG) Release() override {
    UnlockModule();
    return static_cast<ULONG>(::InterlockedDecrement(&references_));
  }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    // Neither class can be part of another object.
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return create_(riid, object);
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock) {
      LockModule();
    } else {
      UnlockModule();
    }
    return S_OK;
  }

 private:
  CLSID clsid_;
  Create create_;
  LONG references_ = 0;
};

ClassFactory g_controlFactory(CLSID_Tilvo, CreateTilvoControl);
ClassFactory g_pageFactory(CLSID_CTilvoPropPage, CreateTilvoPropPage);

}  // namespace

HRESULT GetClassFactory(REFCLSID rclsid, REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  for (ClassFactory* factory : {&g_controlFactory, &g_pageFactory}) {
    if (rclsid == factory->ClassId()) return factory->QueryInterface(riid, ppv);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace tilvo::ocx
