// regsvr32 registers the module as hosts expect to find it, and unregisters
// it; a type library that cannot be registered gives its own failure code.
// Registration.* runs first (the other tests need it), Unregistration.* last.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "com_host.h"

namespace tilvo::ocx::testing {
namespace {

const std::string kControl = "{0904F7B3-2339-44C9-857C-6EB6CFEFA3B6}";
const std::string kPage = "{6537D7F1-F511-4C05-81B9-0F7AFF51A1EA}";
const std::string kLibrary = "{42509308-9EA0-4603-922E-F1AC67FF6F4A}";
const std::string kScripting = "{7DD95801-9882-11CF-9FA9-00AA006C42C4}";
const std::string kInitializing = "{7DD95802-9882-11CF-9FA9-00AA006C42C4}";

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// The module as the registry names it (Wine gives its path with backslashes).
std::string RegisteredModule() {
  std::string path = Narrow(ModuleUnderTest());
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

// What `reg query KEY /s` lists: each key with its values (name "(Default)" for the default).
using Keys = std::map<std::string, std::map<std::string, std::string>>;

// reg.exe always prints something, the keys or why there are none: a run
// that printed nothing ended before it started, and is tried again.
Keys RegQuery(const std::string& key, int* exitCode = nullptr) {
  std::string output;
  int code = 0;
  for (int attempt = 0; attempt < 3 && output.empty(); ++attempt) {
    if (attempt > 0) Note("reg.exe ended with %d before printing anything; once more", code);
    code = RunProgram(L"reg.exe query \"" + std::wstring(key.begin(), key.end()) + L"\" /s", &output);
  }
  if (exitCode != nullptr) *exitCode = code;
  Keys keys;
  std::string current;
  std::size_t at = 0;
  while (at < output.size()) {
    std::size_t end = output.find('\n', at);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("HKEY_", 0) == 0) {
      current = line;
      keys[current];
    } else if (line.rfind("    ", 0) == 0 && !current.empty()) {
      // "    NAME    REG_SZ    VALUE"
      const std::size_t type = line.find("    REG_", 4);
      if (type == std::string::npos) continue;
      const std::size_t value = line.find("    ", type + 4);
      keys[current][line.substr(4, type - 4)] = value == std::string::npos ? "" : line.substr(value + 4);
    }
  }
  return keys;
}

int Regsvr32(const std::wstring& switches, const std::wstring& module) {
  return RunProgram(L"regsvr32.exe " + switches + L" \"" + module + L"\"");
}

TEST(Registration, Regsvr32WritesTheClassesCategoriesAndTypeLibrary) {
  ASSERT_EQ(Regsvr32(L"/s", ModuleUnderTest()), 0);
  const std::string root = "HKEY_CLASSES_ROOT\\";
  const std::string control = root + "CLSID\\" + kControl;
  const Keys keys = RegQuery(root + "CLSID\\" + kControl);
  const Keys progId = RegQuery(root + "TILVO.TilvoCtrl.1");
  const Keys page = RegQuery(root + "CLSID\\" + kPage);
  const Keys library = RegQuery(root + "TypeLib\\" + kLibrary);
  const Keys categories = RegQuery(root + "Component Categories\\" + kScripting);
  const Keys initializing = RegQuery(root + "Component Categories\\" + kInitializing);
  const struct {
    const Keys& keys;
    std::string key;
    std::string name;
    std::string value;
  } rows[] = {
      {keys, control, "(Default)", "Tilvo Control"},
      {keys, control + "\\ProgID", "(Default)", "TILVO.TilvoCtrl.1"},
      {keys, control + "\\InprocServer32", "(Default)", RegisteredModule()},
      {keys, control + "\\InprocServer32", "ThreadingModel", "Apartment"},
      {keys, control + "\\MiscStatus\\1", "(Default)", "131473"},  // 0x20191
      {keys, control + "\\ToolboxBitmap32", "(Default)", RegisteredModule() + ", 1"},
      {keys, control + "\\TypeLib", "(Default)", kLibrary},
      {keys, control + "\\Version", "(Default)", "1.0"},
      {progId, root + "TILVO.TilvoCtrl.1", "(Default)", "Tilvo Control"},
      {progId, root + "TILVO.TilvoCtrl.1\\CLSID", "(Default)", kControl},
      {page, root + "CLSID\\" + kPage, "(Default)", "Tilvo Property Page"},
      {page, root + "CLSID\\" + kPage + "\\InprocServer32", "(Default)", RegisteredModule()},
      {library, root + "TypeLib\\" + kLibrary + "\\1.0", "(Default)", "Tilvo ActiveX Control module"},
      {library, root + "TypeLib\\" + kLibrary + "\\1.0\\409\\" + (sizeof(void*) == 8 ? "win64" : "win32"),
       "(Default)", RegisteredModule()},
      {categories, root + "Component Categories\\" + kScripting, "409", "Controls that are safely scriptable"},
      {initializing, root + "Component Categories\\" + kInitializing, "409",
       "Controls safely initializable from persistent data"},
  };
  for (const auto& row : rows) {
    const auto key = row.keys.find(row.key);
    ASSERT_NE(key, row.keys.end()) << row.key;
    const auto value = key->second.find(row.name);
    ASSERT_NE(value, key->second.end()) << row.key << " " << row.name;
    EXPECT_EQ(value->second, row.value) << row.key << " " << row.name;
  }
  for (const std::string& marker : {std::string("\\Control"), std::string("\\Insertable"),
                                    "\\Implemented Categories\\" + kScripting,
                                    "\\Implemented Categories\\" + kInitializing}) {
    EXPECT_EQ(keys.count(control + marker), 1u) << marker;
  }
  EXPECT_EQ(progId.count(root + "TILVO.TilvoCtrl.1\\Insertable"), 1u);

  // The type library loads from the registry, from the module.
  ComPtr<ITypeLib> registered;
  ASSERT_EQ(::LoadRegTypeLib(LIBID_TILVOLib, 1, 0, 0x409, &registered), S_OK);
  BSTR path = nullptr;
  ASSERT_EQ(::QueryPathOfRegTypeLib(LIBID_TILVOLib, 1, 0, 0x409, &path), S_OK);
  EXPECT_EQ(Narrow(std::wstring(path, ::SysStringLen(path))), RegisteredModule());
  ::SysFreeString(path);
}

TEST(Registration, ATypeLibraryThatCannotBeRegisteredGivesItsCode) {
  // A copy of the module whose type library resource is damaged.
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring copy = std::wstring(temp) + L"tilvo-damaged-typelib.ocx";
  ASSERT_TRUE(::CopyFileW(ModuleUnderTest().c_str(), copy.c_str(), FALSE));
  const HANDLE update = ::BeginUpdateResourceW(copy.c_str(), FALSE);
  ASSERT_NE(update, nullptr);
  char damaged[] = "no type library";
  ASSERT_TRUE(::UpdateResourceW(update, L"TYPELIB", MAKEINTRESOURCEW(1), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                damaged, sizeof damaged));
  ASSERT_TRUE(::EndUpdateResourceW(update, FALSE));

  const HMODULE module = ::LoadLibraryW(copy.c_str());
  ASSERT_NE(module, nullptr);
  using Entry = HRESULT(STDAPICALLTYPE*)();
  // Through void*, as FARPROC's type is not the entry point's.
  const auto registerServer =
      reinterpret_cast<Entry>(reinterpret_cast<void*>(::GetProcAddress(module, "DllRegisterServer")));
  ASSERT_NE(registerServer, nullptr);
  EXPECT_EQ(static_cast<unsigned long>(registerServer()), 0x80040200ul);  // SELFREG_E_TYPELIB
  ::FreeLibrary(module);
  EXPECT_NE(Regsvr32(L"/s", copy), 0);
  // Nothing of the copy was registered: the class still names the module.
  const Keys keys = RegQuery("HKEY_CLASSES_ROOT\\CLSID\\" + kControl + "\\InprocServer32");
  EXPECT_EQ(keys.at("HKEY_CLASSES_ROOT\\CLSID\\" + kControl + "\\InprocServer32").at("(Default)"), RegisteredModule());
  ::DeleteFileW(copy.c_str());
}

TEST(Registration, PerUserRegistrationLeavesTheMachineAlone) {
  const std::string user = "HKEY_CURRENT_USER\\Software\\Classes\\";
  ASSERT_EQ(Regsvr32(L"/s /n /i:user", ModuleUnderTest()), 0);
  Keys keys = RegQuery(user + "CLSID\\" + kControl);
  ASSERT_EQ(keys.count(user + "CLSID\\" + kControl + "\\InprocServer32"), 1u);
  EXPECT_EQ(keys.at(user + "CLSID\\" + kControl + "\\InprocServer32").at("(Default)"), RegisteredModule());
  EXPECT_EQ(keys.count(user + "CLSID\\" + kControl + "\\Implemented Categories\\" + kScripting), 1u);
  EXPECT_EQ(RegQuery(user + "TILVO.TilvoCtrl.1").count(user + "TILVO.TilvoCtrl.1\\CLSID"), 1u);

  ASSERT_EQ(Regsvr32(L"/s /u /n /i:user", ModuleUnderTest()), 0);
  int code = 0;
  keys = RegQuery(user + "CLSID\\" + kControl, &code);
  EXPECT_NE(code, 0);
  EXPECT_EQ(RegQuery(user + "TILVO.TilvoCtrl.1", &code).size(), 0u);
  // The machine's registration is untouched.
  ComPtr<ITypeLib> registered;
  EXPECT_EQ(::LoadRegTypeLib(LIBID_TILVOLib, 1, 0, 0x409, &registered), S_OK);
  EXPECT_EQ(RegQuery("HKEY_CLASSES_ROOT\\TILVO.TilvoCtrl.1").count("HKEY_CLASSES_ROOT\\TILVO.TilvoCtrl.1\\CLSID"), 1u);
}

TEST(Unregistration, Regsvr32RemovesTheClassesAndTheTypeLibrary) {
  ASSERT_EQ(Regsvr32(L"/s /u", ModuleUnderTest()), 0);
  for (const std::string& key : {"HKEY_CLASSES_ROOT\\CLSID\\" + kControl, "HKEY_CLASSES_ROOT\\CLSID\\" + kPage,
                                 std::string("HKEY_CLASSES_ROOT\\TILVO.TilvoCtrl.1"),
                                 "HKEY_CLASSES_ROOT\\TypeLib\\" + kLibrary}) {
    int code = 0;
    EXPECT_TRUE(RegQuery(key, &code).empty()) << key;
    EXPECT_NE(code, 0) << key;
  }
  ComPtr<ITypeLib> registered;
  EXPECT_NE(::LoadRegTypeLib(LIBID_TILVOLib, 1, 0, 0x409, &registered), S_OK);
  CLSID clsid{};
  EXPECT_NE(::CLSIDFromProgID(L"TILVO.TilvoCtrl.1", &clsid), S_OK);
  // The categories stay: other controls implement them too.
  EXPECT_FALSE(RegQuery("HKEY_CLASSES_ROOT\\Component Categories\\" + kScripting).empty());
  // Unregistering what is not registered succeeds.
  EXPECT_EQ(Regsvr32(L"/s /u", ModuleUnderTest()), 0);
}

}  // namespace
}  // namespace tilvo::ocx::testing
