#include "tilvo/activation.h"

#include <cstring>

#include <gtest/gtest.h>

#include "artcontrol/automation/registration.h"
#include "artcontrol/platform/module.h"
#include "testing/tilvo/scoped_environment.h"
#include "testing/temp_folder.h"
#include "tilvo/headless_site.h"
#include "tilvo/prop_page.h"

namespace tilvo {
namespace {

constexpr Guid kUnknownClass = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};

// Every test here registers into a data folder of its own.
class ActivationTest : public ::testing::Test {
 protected:
  std::string RegistrationFile() const { return folder_.Path() + "/share/tilvo/registration.ini"; }

  testing_support::TempFolder folder_;
  testing::ScopedEnvironment data_{"XDG_DATA_HOME", folder_.Path() + "/share"};
  HeadlessSite site_;
};

TEST_F(ActivationTest, RegisterCreateByProgIdAndClassIdUnregisterAndCreationFails) {
  const std::string client = folder_.Path() + "/client";
  ASSERT_EQ(DllRegisterServer(), S_OK);
  for (const std::string& name : {std::string("TILVO.TilvoCtrl.1"), std::string("tilvo.tilvoctrl.1"),
                                 GuidText(kControlClass.guid), std::string("{0904f7b3-2339-44c9-857c-6eb6cfefa3b6}")}) {
    ActivatedControl control;
    ASSERT_EQ(ActivateControl(name, site_, control, client), S_OK) << name;
    ASSERT_TRUE(control) << name;
    EXPECT_EQ(control->GetReadyState(), 2);
    EXPECT_EQ(control->GetMulPath(), client + "/");
    control->SetObject(4, 1);
    EXPECT_EQ(control->GetArtType(), 4);
  }

  ASSERT_EQ(DllUnregisterServer(), S_OK);
  ActivatedControl control;
  EXPECT_EQ(ActivateControl("TILVO.TilvoCtrl.1", site_, control), CO_E_CLASSSTRING);
  EXPECT_EQ(ActivateControl(GuidText(kControlClass.guid), site_, control), REGDB_E_CLASSNOTREG);
  EXPECT_FALSE(control);
}

TEST_F(ActivationTest, RefusalsSayWhatWasMissing) {
  ASSERT_EQ(DllRegisterServer(), S_OK);
  const std::string libc = platform::PathOfModuleContaining(reinterpret_cast<const void*>(&std::strlen));
  ASSERT_FALSE(libc.empty());
  struct Case {
    const char* name;
    std::string registration;  // the file's text; empty: as DllRegisterServer wrote it
    std::string progIdOrClassId;
    HRESULT expected;
  } cases[] = {
      {"unknown ProgID", "", "TILVO.Nothing.1", CO_E_CLASSSTRING},
      {"malformed class id", "", "{0904F7B3}", CO_E_CLASSSTRING},
      {"empty name", "", "", CO_E_CLASSSTRING},
      {"unregistered class id", "", GuidText(kUnknownClass), REGDB_E_CLASSNOTREG},
      {"the page is no control", "", GuidText(kPropertyPageClass.guid), E_NOINTERFACE},
      {"ProgID naming a damaged class id", "[X.Y.1\\CLSID]\n@={nonsense}\n", "X.Y.1", CO_E_CLASSSTRING},
      {"module missing",
       "[CLSID\\" + GuidText(kControlClass.guid) + "\\InprocServer32]\n@=" + folder_.Path() + "/none.so\n",
       GuidText(kControlClass.guid), E_MODULE_NOT_FOUND},
      {"module named without a path",
       "[CLSID\\" + GuidText(kControlClass.guid) + "\\InprocServer32]\n@=libtilvo.so\n", GuidText(kControlClass.guid),
       E_MODULE_NOT_FOUND},
      {"module without the entry point", "[CLSID\\" + GuidText(kControlClass.guid) + "\\InprocServer32]\n@=" + libc + "\n",
       GuidText(kControlClass.guid), CO_E_ERRORINDLL},
      {"empty module value", "[CLSID\\" + GuidText(kControlClass.guid) + "\\InprocServer32]\n@=\n",
       GuidText(kControlClass.guid), REGDB_E_CLASSNOTREG},
  };
  for (const Case& c : cases) {
    if (!c.registration.empty()) folder_.WriteText("share/tilvo/registration.ini", c.registration);
    ActivatedControl control;
    EXPECT_EQ(ActivateControl(c.progIdOrClassId, site_, control), c.expected) << c.name;
    EXPECT_FALSE(control) << c.name;
  }
}

TEST_F(ActivationTest, NoRegistrationFileMeansNothingIsRegistered) {
  ActivatedControl control;
  EXPECT_EQ(ActivateControl("TILVO.TilvoCtrl.1", site_, control), CO_E_CLASSSTRING);
  EXPECT_EQ(ActivateControl(GuidText(kControlClass.guid), site_, control), REGDB_E_CLASSNOTREG);
  // A registration file given by name is read instead of the environment's.
  ASSERT_EQ(DllRegisterServer(), S_OK);
  EXPECT_EQ(ActivateControl("TILVO.TilvoCtrl.1", site_, control, std::nullopt, folder_.File("elsewhere.ini")),
            CO_E_CLASSSTRING);
  EXPECT_EQ(ActivateControl("TILVO.TilvoCtrl.1", site_, control, folder_.Path(), RegistrationFile()), S_OK);
}

TEST(ClassObjects, TheModuleServesItsTwoClasses) {
  struct Case {
    const char* name;
    const Guid* clsid;
    const Guid* iid;
    HRESULT expected;
  } cases[] = {
      {"control factory", &kControlClass.guid, &IID_IClassFactory, S_OK},
      {"page factory", &kPropertyPageClass.guid, &IID_IClassFactory, S_OK},
      {"factory as IUnknown", &kControlClass.guid, &IID_IUnknown, S_OK},
      {"another class", &kUnknownClass, &IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
      {"the type library is no class", &kTypeLibrary.guid, &IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
      {"another interface", &kControlClass.guid, &kDispatchInterface.guid, E_NOINTERFACE},
      {"no class id", nullptr, &IID_IClassFactory, E_POINTER},
      {"no interface id", &kControlClass.guid, nullptr, E_POINTER},
  };
  for (const Case& c : cases) {
    void* factory = reinterpret_cast<void*>(1);
    EXPECT_EQ(DllGetClassObject(c.clsid, c.iid, &factory), c.expected) << c.name;
    EXPECT_EQ(factory != nullptr, c.expected == S_OK) << c.name;
    if (factory != nullptr) static_cast<IClassFactory*>(factory)->Release();
  }
  EXPECT_EQ(DllGetClassObject(&kControlClass.guid, &IID_IClassFactory, nullptr), E_POINTER);
}

TEST(ClassObjects, FactoriesMakeTheirObjectsForTheirInterfacesOnly) {
  testing_support::TempFolder folder;
  HeadlessSite site;
  void* raw = nullptr;
  ASSERT_EQ(DllGetClassObject(&kControlClass.guid, &IID_IClassFactory, &raw), S_OK);
  auto* controls = static_cast<IClassFactory*>(raw);
  ASSERT_EQ(DllGetClassObject(&kPropertyPageClass.guid, &IID_IClassFactory, &raw), S_OK);
  auto* pages = static_cast<IClassFactory*>(raw);

  InstanceSetup setup;
  setup.site = &site;
  setup.clientDirectory = folder.Path();
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(controls->CreateInstance(setup, IID_IPropertyPage, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(controls->CreateInstance({}, kDispatchInterface.guid, &object), E_POINTER);  // a control needs its site
  EXPECT_EQ(controls->CreateInstance(setup, kDispatchInterface.guid, nullptr), E_POINTER);
  ASSERT_EQ(controls->CreateInstance(setup, kDispatchInterface.guid, &object), S_OK);
  std::unique_ptr<CTilvoCtrl> control(static_cast<CTilvoCtrl*>(object));
  EXPECT_EQ(control->GetMulPath(), folder.Dir());
  ASSERT_EQ(site.events.size(), 1u);  // ReadyStateChange reached the site

  EXPECT_EQ(pages->CreateInstance({}, kDispatchInterface.guid, &object), E_NOINTERFACE);
  ASSERT_EQ(pages->CreateInstance({}, IID_IPropertyPage, &object), S_OK);
  std::unique_ptr<TilvoPropPageCore> page(static_cast<TilvoPropPageCore*>(object));
  EXPECT_EQ(page->Value(0), -1);
  controls->Release();
  pages->Release();
}

TEST(ClassObjects, TheModuleStaysInUseWhileAnythingOfItLives) {
  testing_support::TempFolder folder;
  HeadlessSite site;
  ASSERT_EQ(DllCanUnloadNow(), S_OK);

  void* raw = nullptr;
  ASSERT_EQ(DllGetClassObject(&kControlClass.guid, &IID_IClassFactory, &raw), S_OK);
  auto* factory = static_cast<IClassFactory*>(raw);
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);  // a factory is held
  EXPECT_EQ(factory->LockServer(true), S_OK);
  EXPECT_EQ(factory->Release(), 0u);
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);  // locked
  EXPECT_EQ(factory->LockServer(false), S_OK);
  EXPECT_EQ(DllCanUnloadNow(), S_OK);

  {
    CTilvoCtrl control(site, folder.Path());
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  }
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
  {
    TilvoPropPageCore page;
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  }
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

}  // namespace
}  // namespace tilvo
