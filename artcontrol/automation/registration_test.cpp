#include "artcontrol/automation/registration.h"

#include <gtest/gtest.h>

#include "artcontrol/automation/class_registry.h"
#include "artcontrol/platform/file_store.h"
#include "testing/tilvo/scoped_environment.h"
#include "testing/temp_folder.h"

namespace tilvo {
namespace {

const std::string kModule = "/opt/tilvo/lib/libtilvo.so";

// A store in memory that can be told to fail its load or its n-th save.
class MemoryStore : public RegistrationStore {
 public:
  bool Load(std::string& out) override {
    out = text;
    return !failLoad;
  }
  bool Save(const std::string& in) override {
    ++saves;
    if (saves == failSave) return false;
    text = in;
    return true;
  }
  ClassRegistry Registry() const { return ClassRegistry::Parse(text); }

  std::string text;
  bool failLoad = false;
  int failSave = 0;  // the save that fails (1 = the first); 0: none
  int saves = 0;
};

std::string Clsid(const Identity& identity) { return "CLSID\\" + GuidText(identity.guid); }

TEST(Registration, WritesTheTypeLibraryBothClassesAndTheCategories) {
  MemoryStore store;
  ASSERT_EQ(RegisterServer(store, kModule), S_OK);
  const ClassRegistry r = store.Registry();
  const std::string control = Clsid(kControlClass);
  const std::string library = "TypeLib\\" + GuidText(kTypeLibrary.guid) + "\\1.0";
  const std::string scripting = "{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
  const std::string initializing = "{7DD95802-9882-11CF-9FA9-00AA006C42C4}";
  struct Row {
    std::string key;
    const char* name;
    std::string value;
  } rows[] = {
      {library, "@", "Tilvo ActiveX Control module"},
      {library + "\\409\\linux", "@", kModule},
      {library + "\\HELPDIR", "@", "/opt/tilvo/lib/"},
      {"Interface\\" + GuidText(kDispatchInterface.guid), "@", "_DTilvo"},
      {"Interface\\" + GuidText(kEventInterface.guid) + "\\TypeLib", "@", GuidText(kTypeLibrary.guid)},
      {control, "@", "Tilvo Control"},
      {control + "\\ProgID", "@", "TILVO.TilvoCtrl.1"},
      {control + "\\InprocServer32", "@", kModule},
      {control + "\\InprocServer32", "ThreadingModel", "Apartment"},
      {control + "\\ToolboxBitmap32", "@", kModule + ", 1"},
      {control + "\\MiscStatus\\1", "@", "131473"},  // 0x20191
      {control + "\\TypeLib", "@", GuidText(kTypeLibrary.guid)},
      {control + "\\Version", "@", "1.0"},
      {"TILVO.TilvoCtrl.1", "@", "Tilvo Control"},
      {"TILVO.TilvoCtrl.1\\CLSID", "@", GuidText(kControlClass.guid)},
      {Clsid(kPropertyPageClass), "@", "Tilvo Property Page"},
      {Clsid(kPropertyPageClass) + "\\InprocServer32", "@", kModule},
      {"Component Categories\\" + scripting, "409", "Controls that are safely scriptable"},
      {"Component Categories\\" + initializing, "409", "Controls safely initializable from persistent data"},
  };
  for (const Row& row : rows) EXPECT_EQ(r.Value(row.key, row.name), row.value) << row.key << " " << row.name;
  for (const std::string& key : {control + "\\Insertable", std::string("TILVO.TilvoCtrl.1\\Insertable"),
                                 control + "\\Implemented Categories\\" + scripting,
                                 control + "\\Implemented Categories\\" + initializing}) {
    EXPECT_TRUE(r.HasKey(key)) << key;
  }
  // The page is known by its class id alone.
  EXPECT_FALSE(r.HasKey("TILVO.TilvoPropPage.1"));
  EXPECT_EQ(store.saves, 2);  // the type library, then the classes
}

TEST(Registration, RegisteringAgainChangesNothingAndKeepsOtherEntries) {
  MemoryStore store;
  store.text = "[CLSID\\{11111111-2222-3333-4444-555555555555}]\n@=Someone else\n";
  ASSERT_EQ(RegisterServer(store, kModule), S_OK);
  const std::string once = store.text;
  ASSERT_EQ(RegisterServer(store, kModule), S_OK);
  EXPECT_EQ(store.text, once);
  EXPECT_EQ(store.Registry().Value("CLSID\\{11111111-2222-3333-4444-555555555555}", "@"), "Someone else");
  // A module that moved is registered at its new place.
  ASSERT_EQ(RegisterServer(store, "/usr/lib/libtilvo.so"), S_OK);
  EXPECT_EQ(store.Registry().Value(Clsid(kControlClass) + "\\InprocServer32", "@"), "/usr/lib/libtilvo.so");
}

TEST(Registration, UnregisteringRemovesTheClassesAndMarksButNotTheCategories) {
  MemoryStore store;
  store.text = "[CLSID\\{11111111-2222-3333-4444-555555555555}]\n@=Someone else\n"
               "[TypeLib\\" + GuidText(kTypeLibrary.guid) + "\\2.0]\n@=A later version\n";
  ASSERT_EQ(RegisterServer(store, kModule), S_OK);
  ASSERT_EQ(UnregisterServer(store), S_OK);
  const ClassRegistry r = store.Registry();
  for (const std::string& key : {Clsid(kControlClass), Clsid(kPropertyPageClass), std::string("TILVO.TilvoCtrl.1"),
                                 "TypeLib\\" + GuidText(kTypeLibrary.guid) + "\\1.0",
                                 "Interface\\" + GuidText(kDispatchInterface.guid),
                                 "Interface\\" + GuidText(kEventInterface.guid)}) {
    EXPECT_FALSE(r.HasKey(key)) << key;
  }
  EXPECT_TRUE(r.HasKey("Component Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}"));
  EXPECT_TRUE(r.HasKey("Component Categories\\{7DD95802-9882-11CF-9FA9-00AA006C42C4}"));
  EXPECT_TRUE(r.HasKey("CLSID\\{11111111-2222-3333-4444-555555555555}"));
  EXPECT_TRUE(r.HasKey("TypeLib\\" + GuidText(kTypeLibrary.guid) + "\\2.0"));
}

TEST(Registration, UnregisteringWhatWasNeverRegisteredWritesNothing) {
  MemoryStore store;
  EXPECT_EQ(UnregisterServer(store), S_OK);
  EXPECT_EQ(store.saves, 0);
  ASSERT_EQ(RegisterServer(store, kModule), S_OK);
  ASSERT_EQ(UnregisterServer(store), S_OK);
  const int saves = store.saves;
  EXPECT_EQ(UnregisterServer(store), S_OK);
  EXPECT_EQ(store.saves, saves);
}

TEST(Registration, FailuresNameTheStepThatFailed) {
  struct Case {
    const char* name;
    bool unregister;
    bool failLoad;
    int failSave;
    std::string module;
    HRESULT expected;
  } cases[] = {
      {"register: unreadable", false, true, 0, kModule, SELFREG_E_TYPELIB},
      {"register: type library not saved", false, false, 1, kModule, SELFREG_E_TYPELIB},
      {"register: classes not saved", false, false, 2, kModule, SELFREG_E_CLASS},
      {"register: no module path", false, false, 0, "", SELFREG_E_TYPELIB},
      {"register: a module path the file cannot hold", false, false, 0, "/tmp/two\nlines.so", SELFREG_E_TYPELIB},
      {"unregister: unreadable", true, true, 0, kModule, SELFREG_E_TYPELIB},
      {"unregister: type library not saved", true, false, 1, kModule, SELFREG_E_TYPELIB},
      {"unregister: classes not saved", true, false, 2, kModule, SELFREG_E_CLASS},
  };
  for (const Case& c : cases) {
    MemoryStore store;
    if (c.unregister) {
      ASSERT_EQ(RegisterServer(store, kModule), S_OK);
    }
    const std::string before = store.text;
    store.saves = 0;
    store.failLoad = c.failLoad;
    store.failSave = c.failSave;
    const HRESULT result = c.unregister ? UnregisterServer(store) : RegisterServer(store, c.module);
    EXPECT_EQ(result, c.expected) << c.name;
    if (c.failSave == 0 && !c.failLoad) {
      EXPECT_EQ(store.text, before) << c.name;  // nothing saved
    }
  }
}

TEST(RegistrationFile, LivesUnderTheUsersDataFolder) {
  struct Case {
    const char* xdg;
    const char* home;
    const char* expected;
  } cases[] = {
      {"/data", "/home/me", "/data/tilvo/registration.ini"},
      {"/data/", "/home/me", "/data/tilvo/registration.ini"},
      {"", "/home/me", "/home/me/.local/share/tilvo/registration.ini"},
      {"relative/data", "/home/me", "/home/me/.local/share/tilvo/registration.ini"},  // ignored, as XDG says
      {"", "", ""},
      {"relative", "", ""},
      {"/", "", "/tilvo/registration.ini"},
  };
  for (const Case& c : cases) EXPECT_EQ(RegistrationFilePath(c.xdg, c.home), c.expected) << c.xdg << "|" << c.home;
}

TEST(RegistrationFile, TheEntryPointsWriteAndEmptyTheFileOfTheEnvironment) {
  testing_support::TempFolder folder;
  testing::ScopedEnvironment data("XDG_DATA_HOME", folder.Path() + "/share");
  const std::string path = folder.Path() + "/share/tilvo/registration.ini";
  ASSERT_EQ(DllRegisterServer(), S_OK);
  FileRegistrationStore store(path);
  std::string text;
  ASSERT_TRUE(platform::PathExists(path));
  ASSERT_TRUE(store.Load(text));
  const ClassRegistry r = ClassRegistry::Parse(text);
  const std::optional<std::string> module = r.Value(Clsid(kControlClass) + "\\InprocServer32", "@");
  ASSERT_TRUE(module);
  EXPECT_EQ(module->substr(0, 1), "/");
  EXPECT_NE(module->find("libtilvo.so"), std::string::npos) << *module;

  ASSERT_EQ(DllUnregisterServer(), S_OK);
  ASSERT_TRUE(store.Load(text));
  EXPECT_FALSE(ClassRegistry::Parse(text).HasKey(Clsid(kControlClass)));
}

TEST(RegistrationFile, AFileThatCannotBeWrittenGivesTheTypeLibraryCode) {
  testing_support::TempFolder folder;
  // The data folder is a plain file, so no "tilvo" folder can be made in it.
  const std::string blocker = folder.WriteText("not-a-folder", "x");
  {
    testing::ScopedEnvironment data("XDG_DATA_HOME", blocker);
    EXPECT_EQ(DllRegisterServer(), SELFREG_E_TYPELIB);
    EXPECT_EQ(static_cast<std::uint32_t>(DllRegisterServer()), 0x80040200u);
  }
  {
    // The registration file is a folder: it cannot be read.
    testing::ScopedEnvironment data("XDG_DATA_HOME", folder.Path() + "/share");
    folder.WriteText("share/tilvo/registration.ini/inside", "x");
    EXPECT_EQ(DllRegisterServer(), SELFREG_E_TYPELIB);
    EXPECT_EQ(DllUnregisterServer(), SELFREG_E_TYPELIB);
  }
  EXPECT_EQ(static_cast<std::uint32_t>(SELFREG_E_CLASS), 0x80040201u);
}

}  // namespace
}  // namespace tilvo
