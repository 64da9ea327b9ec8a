// Profiles and password sources: what the config file may say, which profile
// is used, which option wins, and the permissions that make orvo refuse.
#include "tools/orvo/profiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "tools/orvo/cli.h"
#include "tools/orvo/platform_files.h"
#include "tools/orvo/tests/fake_server.h"
#include "tools/orvo/tests/file_sharing.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using testing::AfterLogin;
using testing::Expect;
using testing::FakeServer;
using testing::Send;
using testing::Sharing;

Environment Env(std::map<std::string, std::string> variables) {
  Environment env;
  env.variable = [variables](const std::string& name) -> std::optional<std::string> {
    auto found = variables.find(name);
    if (found == variables.end()) return std::nullopt;
    return found->second;
  };
  return env;
}

TEST(ProfilesTest, ParsesWhatAConfigFileMaySay) {
  struct Case {
    const char* text;
    std::string problem;  // empty: parses
  } cases[] = {
      {"# servers\n[default]\nhost = shard.example.net\nport=4100\nuser = \"Warden\"\n\n[test]\n; none\n", ""},
      {"host = x\n", "line 1: a key before the first [profile]"},
      {"[a]\npassword = northwind\n", "line 2: the password itself is never kept here"},
      {"[a]\npasword-file = x\n", "line 2: unknown key pasword-file"},
      {"[a]\nport = 70000\n", "line 2: bad port 70000"},
      {"[a]\npassword-file = x\npassword-command = y\n", "line 3: give password-file or password-command, not both"},
      {"[a]\n[a]\n", "line 2: a second profile a"},
      {"[]\n", "line 1: bad section header"},
      {"[a]\nhost\n", "line 2: expected KEY = VALUE"},
  };
  for (const Case& c : cases) {
    std::vector<Profile> profiles;
    std::string problem = ParseProfiles(c.text, Env({}), "/cfg", &profiles);
    EXPECT_EQ(problem.substr(0, c.problem.size()), c.problem) << c.text;
    EXPECT_EQ(problem.empty(), c.problem.empty()) << problem;
  }
  std::vector<Profile> profiles;
  // The home folder is $HOME, or %USERPROFILE% on Windows.
  ParseProfiles("[a]\nuser = \"Warden\"\nport=4100\nssh = warden@shard:2222\npassword-file = ~/pw\n[b]\npassword-file = pw\n",
                Env({{"HOME", "/home/w"}, {"USERPROFILE", "/home/w"}}), "/cfg", &profiles);
  ASSERT_EQ(profiles.size(), 2u);
  EXPECT_EQ(profiles[0].user, "Warden");
  EXPECT_EQ(profiles[0].port, 4100);
  EXPECT_EQ(profiles[0].ssh, "warden@shard:2222");
  EXPECT_EQ(profiles[0].password_file, platform::JoinPath("/home/w", "pw"));
  EXPECT_EQ(profiles[1].password_file, platform::JoinPath("/cfg", "pw"));
}

TEST(ProfilesTest, ChoosesTheNamedOrTheDefaultProfile) {
  std::vector<Profile> profiles(2);
  profiles[0].name = "default";
  profiles[1].name = "test";
  struct Case {
    std::optional<std::string> wanted, host;
    int chosen;  // the index, or -1 for none
    std::optional<std::string> ssh = std::nullopt;
  } cases[] = {
      {"test", std::nullopt, 1},
      {std::nullopt, std::nullopt, 0},
      {std::nullopt, "127.0.0.1", 0},  // the default's own machine
      {std::nullopt, "elsewhere.example", -1},
      {"default", "elsewhere.example", 0},
      // Through another SSH server than the default's, the service is another.
      {std::nullopt, std::nullopt, -1, "warden@elsewhere.example"},
      {"default", std::nullopt, 0, "warden@elsewhere.example"},
  };
  for (const Case& c : cases) {
    const Profile* chosen = nullptr;
    std::string error;
    EXPECT_EQ(ChooseProfile(profiles, c.wanted, c.host, c.ssh, &chosen, &error), 0);
    EXPECT_EQ(chosen, c.chosen < 0 ? nullptr : &profiles[static_cast<size_t>(c.chosen)])
        << c.wanted.value_or("-") << " " << c.host.value_or("-");
  }
  const Profile* chosen = nullptr;
  std::string error;
  EXPECT_EQ(ChooseProfile(profiles, "live", std::nullopt, std::nullopt, &chosen, &error), -1);
  EXPECT_EQ(error, "no profile live (there are: default test)");
  profiles.resize(1);
  profiles[0].name = "test";
  EXPECT_EQ(ChooseProfile(profiles, std::nullopt, std::nullopt, std::nullopt, &chosen, &error), 0);
  EXPECT_EQ(chosen, nullptr);
}

// orvo run whole against a scripted service, with a config folder of its own.
class ProfileRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = fs::temp_directory_path() /
            ("orvo_profiles_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(home_);
    fs::create_directories(home_ / "orvo");
  }
  void TearDown() override { fs::remove_all(home_); }

  void Write(const std::string& name, const std::string& text, Sharing sharing) {
    fs::path p = home_ / "orvo" / name;
    fs::remove(p);
    std::ofstream(p) << text;
    ASSERT_TRUE(testing::ShareFile(p.string(), sharing));
  }
  // Runs orvo port against a service that expects `user` and `password`
  // (and no login at all when `user` is empty); the exit status.
  int Run(std::vector<std::string> args, std::map<std::string, std::string> variables,
          std::optional<std::string> password_variable, const std::string& user, const std::string& password) {
    std::vector<testing::Step> steps;
    if (!user.empty()) {
      steps = AfterLogin({Expect("PORT"), Send("2593"), Expect("QUIT"), Send("Closing connection.\r\n")}, user,
                         password);
    }
    FakeServer server(steps);
    variables["XDG_CONFIG_HOME"] = home_.string();
    variables["APPDATA"] = home_.string();
    Environment env = Env(variables);
    env.password_variable = password_variable;
    std::ostringstream out;
    env.out = &out;
    env.err = &err_;
    err_.str("");
    args.insert(args.begin(), {"--port", std::to_string(server.Port())});
    args.push_back("port");
    int status = RunOrvo(args, env);
    if (user.empty()) {
      // Nothing connected: satisfy the server's accept so that it ends.
      platform::Connection nobody;
      std::string error;
      platform::Connect("127.0.0.1", server.Port(), 1000, &nobody, &error);
    }
    EXPECT_EQ(server.Finish(), std::vector<std::string>{}) << err_.str();
    return status;
  }

  fs::path home_;
  std::ostringstream err_;
};

TEST_F(ProfileRunTest, TheCommandLineThenTheVariablesThenTheProfile) {
  Write("warden.pw", "from-file\nsecond\n", Sharing::kPrivate);
  Write("open.pw", "from-file\n", Sharing::kOthersRead);
  // The commands say the same to sh and to cmd.
  Write("config",
        "[default]\nuser = Warden\npassword-command = echo from-command&& echo second\n"
        "[keeper]\nuser = Keeper\npassword-file = warden.pw\n"
        "[broken]\nuser = Warden\npassword-command = echo half&& exit 3\n"
        "[silent]\nuser = Warden\npassword-command = exit 0\n"
        "[open]\nuser = Warden\npassword-file = open.pw\n",
        Sharing::kPrivate);
  struct Case {
    std::vector<std::string> args;
    std::map<std::string, std::string> variables;
    std::optional<std::string> password_variable;
    std::string user, password;  // what the service sees; empty: no login
    int status;
  } cases[] = {
      {{}, {}, std::nullopt, "Warden", "from-command", kExitOk},
      {{"--user", "Rowan"}, {}, std::nullopt, "Rowan", "from-command", kExitOk},
      {{"--host", "127.0.0.1"}, {}, std::nullopt, "Warden", "from-command", kExitOk},
      {{"--host", "localhost"}, {}, std::nullopt, "", "", kExitUsage},  // not the default's machine
      {{"--host", "localhost", "--profile", "default"}, {}, std::nullopt, "Warden", "from-command", kExitOk},
      {{"--profile", "keeper"}, {}, std::nullopt, "Keeper", "from-file", kExitOk},
      {{}, {{"ORVO_PROFILE", "keeper"}}, std::nullopt, "Keeper", "from-file", kExitOk},
      {{}, {{"ORVO_PROFILE", "keeper"}}, "from-variable", "Keeper", "from-variable", kExitOk},
      {{"--profile", "broken"}, {}, std::nullopt, "", "", kExitLocalFile},
      {{"--profile", "silent"}, {}, std::nullopt, "", "", kExitLocalFile},
      {{"--profile", "open"}, {}, std::nullopt, "", "", kExitLocalFile},
      {{"--profile", "live"}, {}, std::nullopt, "", "", kExitUsage},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.args, c.variables, c.password_variable, c.user, c.password), c.status)
        << ::testing::PrintToString(c.args) << " " << err_.str();
  }
}

TEST_F(ProfileRunTest, ProfilesMarksTheProfileTheSameOptionsUse) {
  Write("config", "[default]\nuser = Warden\n[keeper]\nuser = Keeper\n", Sharing::kPrivate);
  struct Case {
    std::vector<std::string> args;
    std::map<std::string, std::string> variables;
    std::string marked;  // empty: none
  } cases[] = {
      {{}, {}, "default"},
      {{"--host", "elsewhere.example"}, {}, ""},
      {{"--host", "elsewhere.example", "--profile", "default"}, {}, "default"},
      {{}, {{"ORVO_PROFILE", "keeper"}}, "keeper"},
  };
  for (const Case& c : cases) {
    std::map<std::string, std::string> variables = c.variables;
    variables["XDG_CONFIG_HOME"] = home_.string();
    variables["APPDATA"] = home_.string();
    Environment env = Env(variables);
    std::ostringstream out;
    env.out = &out;
    env.err = &err_;
    std::vector<std::string> args = c.args;
    args.push_back("profiles");
    ASSERT_EQ(RunOrvo(args, env), kExitOk) << err_.str();
    std::string marked;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
      if (line.starts_with("* ")) marked += line.substr(2, line.find('\t') - 2);
    }
    EXPECT_EQ(marked, c.marked) << ::testing::PrintToString(c.args);
  }
}

TEST_F(ProfileRunTest, RefusesAConfigFileOthersCanChangeOrReadWithAPasswordFile) {
  Write("warden.pw", "from-file\n", Sharing::kPrivate);
  struct Case {
    const char* text;
    Sharing sharing;
    std::string err_holds;  // empty: accepted
  } cases[] = {
      {"[default]\nuser = Warden\npassword-file = warden.pw\n", Sharing::kOthersRead, "others must not read it; run "},
      {"[default]\nuser = Warden\npassword-command = echo x\n", Sharing::kOthersWrite, "others may change it"},
      {"[default]\nuser = Warden\npassword-command = echo from-command\n", Sharing::kOthersRead, ""},
      {"[default]\nuser = Warden\npassword-file = warden.pw\n", Sharing::kPrivate, ""},
  };
  for (const Case& c : cases) {
    Write("config", c.text, c.sharing);
    bool accepted = c.err_holds.empty();
    std::string password = std::string(c.text).find("command") != std::string::npos ? "from-command" : "from-file";
    EXPECT_EQ(Run({}, {}, std::nullopt, accepted ? "Warden" : "", password), accepted ? kExitOk : kExitLocalFile)
        << c.text;
    EXPECT_NE(err_.str().find(c.err_holds), std::string::npos) << err_.str();
  }
}

}  // namespace
}  // namespace orvo
