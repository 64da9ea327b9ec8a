// The module's class factories, one for each class it serves, and the two
// entry points that hand them out and tell whether the module is still in use.

#include <atomic>

#include "artcontrol/automation/module_state.h"
#include "tilvo/prop_page.h"
#include "tilvo/server.h"
#include "tilvo/tilvo.h"

namespace tilvo {
namespace {

// The factories live as long as the module; their references only count uses.
class Factory : public IClassFactory {
 public:
  using Create = HRESULT (*)(const InstanceSetup& setup, const Guid& riid, void** object);
  Factory(const Guid& clsid, Create create) : clsid_(clsid), create_(create) {}

  const Guid& ClassId() const { return clsid_; }

  std::uint32_t AddRef() override {
    LockModule();
    return static_cast<std::uint32_t>(++references_);
  }
  std::uint32_t Release() override {
    UnlockModule();
    return static_cast<std::uint32_t>(--references_);
  }
  HRESULT CreateInstance(const InstanceSetup& setup, const Guid& riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    return create_(setup, riid, object);
  }
  HRESULT LockServer(bool lock) override {
    if (lock) {
      LockModule();
    } else {
      UnlockModule();
    }
    return S_OK;
  }

 private:
  Guid clsid_;
  Create create_;
  std::atomic<long> references_{0};
};

HRESULT CreateControl(const InstanceSetup& setup, const Guid& riid, void** object) {
  if (!SameGuid(riid, IID_IUnknown) && !SameGuid(riid, kDispatchInterface.guid)) return E_NOINTERFACE;
  if (setup.site == nullptr) return E_POINTER;
  *object = setup.clientDirectory ? new CTilvoCtrl(*setup.site, *setup.clientDirectory) : new CTilvoCtrl(*setup.site);
  return S_OK;
}

HRESULT CreatePage(const InstanceSetup&, const Guid& riid, void** object) {
  if (!SameGuid(riid, IID_IUnknown) && !SameGuid(riid, IID_IPropertyPage)) return E_NOINTERFACE;
  *object = new TilvoPropPageCore();
  return S_OK;
}

Factory& ControlFactory() {
  static Factory factory(kControlClass.guid, CreateControl);
  return factory;
}

Factory& PageFactory() {
  static Factory factory(kPropertyPageClass.guid, CreatePage);
  return factory;
}

}  // namespace

bool SameGuid(const Guid& a, const Guid& b) {
  if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
  for (int i = 0; i < 8; ++i) {
    if (a.data4[i] != b.data4[i]) return false;
  }
  return true;
}

}  // namespace tilvo

extern "C" tilvo::HRESULT DllGetClassObject(const tilvo::Guid* rclsid, const tilvo::Guid* riid, void** ppv) {
  using namespace tilvo;
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (rclsid == nullptr || riid == nullptr) return E_POINTER;
  Factory* factory = nullptr;
  for (Factory* f : {&ControlFactory(), &PageFactory()}) {
    if (SameGuid(*rclsid, f->ClassId())) factory = f;
  }
  if (factory == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
  if (!SameGuid(*riid, IID_IClassFactory) && !SameGuid(*riid, IID_IUnknown)) return E_NOINTERFACE;
  factory->AddRef();
  *ppv = static_cast<IClassFactory*>(factory);
  return S_OK;
}

extern "C" tilvo::HRESULT DllCanUnloadNow() { return tilvo::ModuleInUse() ? tilvo::S_FALSE : tilvo::S_OK; }
