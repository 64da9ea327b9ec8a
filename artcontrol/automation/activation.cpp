#include "tilvo/activation.h"

#include "artcontrol/automation/class_registry.h"
#include "artcontrol/automation/registration.h"
#include "artcontrol/platform/module.h"

namespace tilvo {
namespace {

using GetClassObject = HRESULT (*)(const Guid*, const Guid*, void**);

// The class id that the name stands for, as the registry writes it; none when the name is neither.
std::optional<Guid> ClassIdOf(const ClassRegistry& registry, std::string_view name) {
  if (!name.empty() && name.front() == '{') return ParseGuid(name);
  const std::optional<std::string> text = registry.Value(std::string(name) + "\\CLSID", "@");
  return text ? ParseGuid(*text) : std::nullopt;
}

// Releases a factory reference when it goes.
struct FactoryReference {
  IClassFactory* factory = nullptr;
  ~FactoryReference() {
    if (factory != nullptr) factory->Release();
  }
};

}  // namespace

ActivatedControl::ActivatedControl() = default;
ActivatedControl::ActivatedControl(std::unique_ptr<CTilvoCtrl> control) : control_(std::move(control)) {}
ActivatedControl::~ActivatedControl() { reset(); }
ActivatedControl::ActivatedControl(ActivatedControl&& other) noexcept = default;

ActivatedControl& ActivatedControl::operator=(ActivatedControl&& other) noexcept {
  if (this != &other) {
    reset();
    control_ = std::move(other.control_);
    module_ = std::move(other.module_);
  }
  return *this;
}

void ActivatedControl::reset() {
  control_.reset();
  module_.reset();
}

HRESULT ActivateControl(std::string_view progIdOrClassId, TilvoSite& site, ActivatedControl& control,
                        const std::optional<std::string>& clientDirectory, const std::string& registrationFile) {
  control.reset();
  FileRegistrationStore store(registrationFile.empty() ? RegistrationFilePath() : registrationFile);
  std::string text;
  if (!store.Load(text)) return REGDB_E_CLASSNOTREG;
  const ClassRegistry registry = ClassRegistry::Parse(text);

  const std::optional<Guid> clsid = ClassIdOf(registry, progIdOrClassId);
  if (!clsid) return CO_E_CLASSSTRING;
  const std::optional<std::string> modulePath = registry.Value("CLSID\\" + GuidText(*clsid) + "\\InprocServer32", "@");
  if (!modulePath || modulePath->empty()) return REGDB_E_CLASSNOTREG;

  auto module = std::make_unique<platform::LoadedModule>(*modulePath);
  if (!module->IsLoaded()) return E_MODULE_NOT_FOUND;
  auto getClassObject = reinterpret_cast<GetClassObject>(module->Symbol("DllGetClassObject"));
  if (getClassObject == nullptr) return CO_E_ERRORINDLL;

  FactoryReference reference;
  void* factory = nullptr;
  HRESULT result = getClassObject(&*clsid, &IID_IClassFactory, &factory);
  if (result != S_OK) return result;
  reference.factory = static_cast<IClassFactory*>(factory);

  InstanceSetup setup;
  setup.site = &site;
  setup.clientDirectory = clientDirectory;
  void* object = nullptr;
  // The control's default interface.
  result = reference.factory->CreateInstance(setup, kDispatchInterface.guid, &object);
  if (result != S_OK) return result;
  control.control_.reset(static_cast<CTilvoCtrl*>(object));
  control.module_ = std::move(module);
  return S_OK;
}

}  // namespace tilvo
