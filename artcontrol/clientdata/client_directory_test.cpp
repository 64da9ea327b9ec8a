#include "artcontrol/clientdata/client_directory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <vector>

#include "artcontrol/platform/registry_posix.h"
#include "testing/temp_folder.h"

namespace tilvo {
namespace {

using platform::RegistryRead;

TEST(ClientDirectory, DirectoryIsThePathUpToItsLastSeparator) {
  const struct {
    const char* exePath;
    const char* directory;
  } cases[] = {
      {"/games/client/client.exe", "/games/client/"},
      {"/client.exe", "/"},
      {"client.exe", ""},
      {"", ""},
      {"/games/client/", "/games/client/"},
      {"C:\\Games\\client.exe", ""},  // a backslash is no separator here
      {"/j\xC3\xA9u/\xE3\x83\x86/client.exe", "/j\xC3\xA9u/\xE3\x83\x86/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.exePath);
    EXPECT_EQ(DirectoryOfExePath(c.exePath), c.directory);
  }
}

struct FakeValue {
  RegistryRead read;
  std::string value;
};

TEST(ClientDirectory, TheOlderKeysDecideThenTheCurrentInstallersPlacesInTurn) {
  const std::string first = "SOFTWARE\\Origin Worlds Online\\Ultima Online\\1.0|ExePath";
  const std::string second = "SOFTWARE\\Origin Worlds Online\\Ultima Online Third Dawn\\1.0|ExePath";
  const std::string classic = "SOFTWARE\\Electronic Arts\\EA Games\\Ultima Online Classic|InstallDir";
  const std::string enhanced = "SOFTWARE\\Electronic Arts\\EA Games\\Ultima Online Enhanced|InstallDir";
  const std::string enhancedExe = "SOFTWARE\\Electronic Arts\\EA Games\\Ultima Online Enhanced|ExePath";
  const FakeValue none{RegistryRead::kNoValue, ""};
  const struct {
    const char* name;
    std::map<std::string, FakeValue> values;
    const char* mulPath;
    int queries;
  } cases[] = {
      {"first key", {{first, {RegistryRead::kRead, "/a/client.exe"}}, {second, {RegistryRead::kRead, "/b/c.exe"}}},
       "/a/", 1},
      {"first key without a value passes over the second", {{first, none}, {second, {RegistryRead::kRead, "/b/c.exe"}}},
       "", 4},
      {"only the second key", {{second, {RegistryRead::kRead, "/b/c.exe"}}}, "/b/", 2},
      {"second key without a value", {{second, none}}, "", 5},
      {"no key", {}, "", 5},
      {"value without a separator", {{first, {RegistryRead::kRead, "client.exe"}}}, "", 4},
      {"the 2D client's folder", {{classic, {RegistryRead::kRead, "/ea/classic"}}}, "/ea/classic/", 3},
      {"a folder ending in the separator", {{classic, {RegistryRead::kRead, "/ea/classic/"}}}, "/ea/classic/", 3},
      {"an older key before it", {{second, {RegistryRead::kRead, "/b/c.exe"}}, {classic, {RegistryRead::kRead, "/ea"}}},
       "/b/", 2},
      {"an older key without a value, then it", {{first, none}, {classic, {RegistryRead::kRead, "/ea"}}}, "/ea/", 2},
      {"the 3D client's folder", {{classic, none}, {enhanced, {RegistryRead::kRead, "/ea/kr"}}}, "/ea/kr/", 4},
      {"the 3D client's executable", {{enhanced, {RegistryRead::kRead, ""}}, {enhancedExe, {RegistryRead::kRead, "/ea/kr/uo.exe"}}},
       "/ea/kr/", 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int queries = 0;
    const std::string mulPath =
        ResolveClientDirectory([&](std::string_view key, std::string_view valueName, std::string& value) {
          ++queries;
          const auto found = c.values.find(std::string(key) + "|" + std::string(valueName));
          if (found == c.values.end()) return RegistryRead::kNoKey;
          if (found->second.read == RegistryRead::kRead) value = found->second.value;
          return found->second.read;
        });
    EXPECT_EQ(mulPath, c.mulPath);
    EXPECT_EQ(queries, c.queries);
  }
}

// --- the Linux sources ------------------------------------------------------

const char kIniFirst[] = "[SOFTWARE\\Origin Worlds Online\\Ultima Online\\1.0]\n";
const char kIniSecond[] = "[SOFTWARE\\Origin Worlds Online\\Ultima Online Third Dawn\\1.0]\n";

struct IniCase {
  const char* name;
  std::string text;
  const char* mulPath;
};

TEST(ClientDirectory, RegistryFileSectionsAreTheKeyPaths) {
  const std::string longPath = "/" + std::string(250, 'x') + "/c.exe";  // 257 bytes
  const std::string tooLong = "/" + std::string(253, 'x') + "/c.exe";   // 260 bytes: no room for the zero
  const IniCase cases[] = {
      {"first key", std::string(kIniFirst) + "ExePath=/opt/uo/client.exe\n", "/opt/uo/"},
      {"first key without ExePath stops",
       std::string(kIniFirst) + "Other=1\n" + kIniSecond + "ExePath=/td/client.exe\n", ""},
      {"only the second key", std::string("; set by hand\n") + kIniSecond + "ExePath = /td/client.exe \n", "/td/"},
      {"quoted value, other case", "[software\\origin worlds online\\ultima online\\1.0]\r\nexepath=\"/q u/c.exe\"\r\n",
       "/q u/"},
      {"value after another section", std::string(kIniFirst) + "[Other]\nExePath=/wrong/c.exe\n", ""},
      {"no section", "ExePath=/x/c.exe\n", ""},
      {"empty file", "", ""},
      {"257-byte value", std::string(kIniFirst) + "ExePath=" + longPath + "\n",
       ""},  // replaced below
      {"260-byte value", std::string(kIniFirst) + "ExePath=" + tooLong + "\n", ""},
      {"the 2D client's folder", "[SOFTWARE\\Electronic Arts\\EA Games\\Ultima Online Classic]\nInstallDir=/ea/uo\n",
       "/ea/uo/"},
  };
  for (const IniCase& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::TempFolder home;
    platform::RegistryPlaces places;
    places.registryFile = home.WriteText("tilvo/registry.ini", c.text);
    places.winePrefix = home.File("wine");
    const std::string mulPath =
        ResolveClientDirectory([&](std::string_view key, std::string_view valueName, std::string& value) {
          return platform::ReadClientRegistryValue(places, key, valueName, value);
        });
    const std::string expected =
        std::string(c.name) == "257-byte value" ? longPath.substr(0, longPath.size() - 5) : std::string(c.mulPath);
    EXPECT_EQ(mulPath, expected);
  }
}

// A Wine prefix: system.reg with the given keys, and drive c: linked to drive_c.
struct WinePrefix {
  testing_support::TempFolder folder;

  explicit WinePrefix(const std::string& systemReg) {
    folder.WriteText("system.reg", "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n" +
                                       systemReg);
    std::filesystem::create_directories(folder.File("drive_c/Games"));
    std::filesystem::create_directories(folder.File("dosdevices"));
    std::filesystem::create_directory_symlink("../drive_c", folder.File("dosdevices/c:"));
  }
  std::string Resolve() const {
    platform::RegistryPlaces places;
    places.registryFile = folder.File("no-registry.ini");
    places.winePrefix = folder.Path();
    return ResolveClientDirectory([&](std::string_view key, std::string_view valueName, std::string& value) {
      return platform::ReadClientRegistryValue(places, key, valueName, value);
    });
  }
};

std::string WineKey(const char* path) {
  return std::string("[") + path + "] 1700000000\n#time=1d9a0b0c0d0e0f0\n";
}

const char kWineFirst[] = "Software\\\\Origin Worlds Online\\\\Ultima Online\\\\1.0";
const char kWineSecond[] = "Software\\\\Origin Worlds Online\\\\Ultima Online Third Dawn\\\\1.0";
const char kWineWowFirst[] = "Software\\\\Wow6432Node\\\\Origin Worlds Online\\\\Ultima Online\\\\1.0";
const char kWineWowSecond[] = "Software\\\\Wow6432Node\\\\Origin Worlds Online\\\\Ultima Online Third Dawn\\\\1.0";

TEST(ClientDirectory, WineRegistryPathsBecomeHostPathsThroughDosdevices) {
  // "C:\Games\UO\client.exe" in Wine's escaping.
  const std::string exe = "\"ExePath\"=\"C:\\\\Games\\\\UO\\\\client.exe\"\n";
  // The same text as REG_EXPAND_SZ in UTF-16LE hex, run over two lines.
  const std::string hexExe =
      "\"ExePath\"=hex(2):43,00,3a,00,5c,00,47,00,61,00,6d,00,65,00,73,00,5c,00,\\\n"
      "  55,00,4f,00,5c,00,63,00,2e,00,65,00,78,00,65,00,00,00\n";
  const std::string ok = "drive_c/Games/UO/";
  const struct {
    const char* name;
    std::string systemReg;
    std::string mulPath;  // relative to the prefix; empty: none
  } cases[] = {
      {"first key", WineKey(kWineFirst) + exe, ok},
      {"first key under Wow6432Node", WineKey(kWineWowFirst) + exe, ok},
      {"second key under Wow6432Node", WineKey(kWineWowSecond) + exe, ok},
      {"first key without ExePath stops", WineKey(kWineFirst) + "\"Other\"=\"1\"\n\n" + WineKey(kWineSecond) + exe, ""},
      {"native copy without ExePath decides", WineKey(kWineFirst) + "\n" + WineKey(kWineWowFirst) + exe, ""},
      {"hex(2) value over two lines", WineKey(kWineFirst) + hexExe, "drive_c/Games/UO/"},
      {"str(2) value", WineKey(kWineFirst) + "\"ExePath\"=str(2):\"C:\\\\Games\\\\client.exe\"\n", "drive_c/Games/"},
      {"lower-case key and value names", "[software\\\\origin worlds online\\\\ultima online\\\\1.0] 1\n" +
                                             std::string("\"exepath\"=\"c:\\\\Games\\\\client.exe\"\n"),
       "drive_c/Games/"},
      {"a drive without a link", WineKey(kWineFirst) + "\"ExePath\"=\"D:\\\\UO\\\\client.exe\"\n", ""},
      {"no drive", WineKey(kWineFirst) + "\"ExePath\"=\"\\\\\\\\server\\\\uo\\\\client.exe\"\n", ""},
      {"unterminated string", WineKey(kWineFirst) + "\"ExePath\"=\"C:\\\\Games\n", ""},
      {"no keys", "", ""},
      {"the 2D client's folder under Wow6432Node",
       WineKey("Software\\\\Wow6432Node\\\\Electronic Arts\\\\EA Games\\\\Ultima Online Classic") +
           "\"InstallDir\"=\"C:\\\\Games\\\\UO Classic\"\n",
       "drive_c/Games/UO Classic/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WinePrefix prefix(c.systemReg);
    EXPECT_EQ(prefix.Resolve(), c.mulPath.empty() ? std::string() : prefix.folder.File("") + c.mulPath);
  }
}

TEST(ClientDirectory, WineValuesLongerThanTheClientsBufferAreUnreadable) {
  const std::string fits = "C:\\\\" + std::string(250, 'a') + "\\\\c.exe";     // 259 bytes unescaped
  const std::string tooLong = "C:\\\\" + std::string(251, 'a') + "\\\\c.exe";  // 260 bytes
  WinePrefix ok(WineKey(kWineFirst) + "\"ExePath\"=\"" + fits + "\"\n");
  EXPECT_EQ(ok.Resolve(), ok.folder.File("") + "drive_c/" + std::string(250, 'a') + "/");
  WinePrefix over(WineKey(kWineFirst) + "\"ExePath\"=\"" + tooLong + "\"\n");
  EXPECT_EQ(over.Resolve(), "");
}

TEST(ClientDirectory, AnAbsoluteDosdevicesLinkIsFollowed) {
  testing_support::TempFolder elsewhere;
  WinePrefix prefix(WineKey(kWineFirst) + "\"ExePath\"=\"E:\\\\uo\\\\client.exe\"\n");
  std::filesystem::create_directory_symlink(elsewhere.Path(), prefix.folder.File("dosdevices/e:"));
  EXPECT_EQ(prefix.Resolve(), elsewhere.Path() + "/uo/");
}

// Sets or clears environment variables for the test's lifetime.
class ScopedEnvironment {
 public:
  void Set(const char* name, const std::optional<std::string>& value) {
    const char* old = std::getenv(name);
    saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
    Apply(name, value);
  }
  ~ScopedEnvironment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) Apply(it->first, it->second);
  }

 private:
  static void Apply(const char* name, const std::optional<std::string>& value) {
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(ClientDirectory, TheEnvironmentNamesBothSources) {
  testing_support::TempFolder home;
  ScopedEnvironment environment;
  environment.Set("HOME", home.Path());
  environment.Set("XDG_CONFIG_HOME", std::nullopt);
  environment.Set("WINEPREFIX", std::nullopt);

  // Nothing set up: no client directory.
  EXPECT_EQ(ResolveClientDirectory(), "");

  // The default Wine prefix, ~/.wine.
  WinePrefix wine(WineKey(kWineFirst) + "\"ExePath\"=\"C:\\\\Games\\\\client.exe\"\n");
  std::filesystem::create_directory_symlink(wine.folder.Path(), home.File(".wine"));
  EXPECT_EQ(ResolveClientDirectory(), home.File(".wine") + "/drive_c/Games/");

  // WINEPREFIX names another prefix.
  environment.Set("WINEPREFIX", wine.folder.Path());
  EXPECT_EQ(ResolveClientDirectory(), wine.folder.File("") + "drive_c/Games/");

  // The default registry file, ~/.config/tilvo/registry.ini, shadows Wine even without the key.
  home.WriteText(".config/tilvo/registry.ini", "# empty\n");
  EXPECT_EQ(ResolveClientDirectory(), "");
  home.WriteText(".config/tilvo/registry.ini", std::string(kIniSecond) + "ExePath=/home/uo/client.exe\n");
  EXPECT_EQ(ResolveClientDirectory(), "/home/uo/");

  // XDG_CONFIG_HOME moves the registry file; the one there is absent, so Wine answers.
  environment.Set("XDG_CONFIG_HOME", home.File("xdg"));
  EXPECT_EQ(ResolveClientDirectory(), wine.folder.File("") + "drive_c/Games/");
  home.WriteText("xdg/tilvo/registry.ini", std::string(kIniFirst) + "ExePath=/xdg/uo/client.exe\n");
  EXPECT_EQ(ResolveClientDirectory(), "/xdg/uo/");

  // A relative XDG_CONFIG_HOME is ignored: the default file answers again.
  environment.Set("XDG_CONFIG_HOME", "xdg");
  EXPECT_EQ(ResolveClientDirectory(), "/home/uo/");
}

}  // namespace
}  // namespace tilvo
