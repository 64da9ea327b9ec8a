// orvo against the real orvosvr: each command line an administrator would type.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "testing/orvosvr/server_process.h"
#include "testing/orvosvr/systemctl_standin.h"
#include "tools/orvo/checksum.h"
#include "tools/orvo/cli.h"
#include "tools/orvo/tests/json_check.h"
#include "tools/orvo/tests/test_environment.h"

namespace {

namespace fs = std::filesystem;

std::string WithoutCr(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != '\r') out += c;
  }
  return out;
}

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class OrvoAgainstService : public ::testing::Test {
 protected:
  OrvoAgainstService() : server_({"ALLOWEDEXTENSIONS scp:ini:def:txt", "ALLOWEDPATHS scripts"}) {}
  void SetUp() override {
    ASSERT_TRUE(server_.Start());
    work_ = fs::temp_directory_path() / ("orvo-service-test-" + std::to_string(::getpid()));
    fs::create_directories(work_);
  }
  void TearDown() override { fs::remove_all(work_); }

  // Runs orvo as `user` with `password`, with `input` on standard input and
  // `variables` (VISUAL, ...) in its environment; returns the exit status.
  int Run(const std::string& user, const std::string& password, std::vector<std::string> words,
          const std::string& input = "", std::map<std::string, std::string> variables = {}) {
    std::vector<std::string> args = {"--port", std::to_string(server_.port()), "--user", user};
    args.insert(args.end(), words.begin(), words.end());
    out_.str("");
    err_.str("");
    in_.clear();
    in_.str(input);
    variables["TMPDIR"] = work_.string();
    variables["XDG_CONFIG_HOME"] = work_.string();
    orvo::Environment env = orvo::testing::TestEnvironment(variables, password, &in_, &out_, &err_);
    env.err_is_terminal = terminal_;
    return orvo::RunOrvo(args, env);
  }
  int Admin(std::vector<std::string> words, const std::string& input = "",
            std::map<std::string, std::string> variables = {}) {
    return Run("Warden", "northwind", std::move(words), input, std::move(variables));
  }
  // A shell script in the work folder, for VISUAL.
  std::string Script(const std::string& name, const std::string& body) {
    fs::path p = work_ / name;
    std::ofstream(p) << "#!/bin/sh\n" << body;
    fs::permissions(p, fs::perms::owner_all);
    return p.string();
  }
  // The files of a folder of the game server (or of the work folder) that match `part`.
  static std::vector<std::string> FilesHolding(const fs::path& folder, const std::string& part) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      if (entry.path().filename().string().find(part) != std::string::npos) names.push_back(entry.path().string());
    }
    return names;
  }
  orvo::testing::JsonValue Json() {
    orvo::testing::JsonValue v;
    EXPECT_TRUE(orvo::testing::ParseJson(out_.str(), &v)) << out_.str();
    return v;
  }

  testing_support::ServerProcess server_;
  fs::path work_;
  bool terminal_ = false;  // standard error is a terminal
  std::istringstream in_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(OrvoAgainstService, AdministratorRoundTrip) {
  std::string items = (work_ / "items.scp").string();
  ASSERT_EQ(Run("Warden", "northwind", {"get", "gyrionitem2.scp", "-o", items}), orvo::kExitOk) << err_.str();
  EXPECT_EQ(Slurp(items), WithoutCr(server_.ReadFile("gyrionitem2.scp")));

  std::string defs = (work_ / "defs.scp").string();
  std::ofstream(defs, std::ios::binary) << "[DEFNAME moor]\nFOG=1\n";
  ASSERT_EQ(Run("Warden", "northwind", {"put", "gyriondefs2.scp", defs}), orvo::kExitOk) << err_.str();
  EXPECT_EQ(server_.ReadFile("scripts/gyriondefs2.scp"), "[DEFNAME moor]\r\nFOG=1\r\n");

  std::string npc = (work_ / "npc.scp").string();
  std::ofstream(npc, std::ios::binary) << "[]\nNAME=Bog hermit\n";
  ASSERT_EQ(Run("Warden", "northwind", {"merge", "npc", npc}), orvo::kExitOk) << err_.str();
  EXPECT_NE(out_.str().find("4003"), std::string::npos) << out_.str();
  EXPECT_NE(server_.ReadFile("gyrionchar2.scp").find("[4003]\r\nNAME=Bog hermit\r\n//// Inserted by Warden"),
            std::string::npos);

  ASSERT_EQ(Run("Warden", "northwind", {"spawns"}), orvo::kExitOk) << err_.str();
  EXPECT_NE(out_.str().find("NPC,C_OGRE_BOG,1432,1698,0"), std::string::npos);
  ASSERT_EQ(Run("Warden", "northwind", {"port"}), orvo::kExitOk);
  EXPECT_NE(out_.str().find("2593"), std::string::npos);
  ASSERT_EQ(Run("Warden", "northwind", {"resources"}), orvo::kExitOk) << err_.str();
  EXPECT_NE(out_.str().find("DATA/MUSIC.DEF"), std::string::npos) << out_.str();
}

TEST_F(OrvoAgainstService, StoresOfMoreThan2999PacketsNeedLarge) {
  const std::string data(3000 * 1023, 'x');
  fs::create_directories(work_ / "big");
  std::string big = (work_ / "big" / "gyriondefs2.scp").string();
  std::ofstream(big, std::ios::binary) << data;
  const std::string before = server_.ReadFile("gyriondefs2.scp");
  struct Case {
    std::vector<std::string> words;
    std::map<std::string, std::string> variables;
  } cases[] = {
      {{"put", "./gyriondefs2.scp", big}, {}},
      {{"sync", "push", (work_ / "big").string()}, {}},
      {{"edit", "gyriondefs2.scp"}, {{"VISUAL", Script("grow", "cat '" + big + "' > \"$1\"\n")}}},
  };
  for (const Case& c : cases) {
    server_.WriteFile("gyriondefs2.scp", before);
    EXPECT_EQ(Admin(c.words, "", c.variables), orvo::kExitUsage) << c.words[0];
    EXPECT_EQ(server_.ReadFile("gyriondefs2.scp"), before) << c.words[0];
    std::vector<std::string> large = c.words;
    large.insert(large.begin(), "--large");
    ASSERT_EQ(Admin(large, "", c.variables), orvo::kExitOk) << c.words[0] << ": " << err_.str();
    EXPECT_EQ(server_.ReadFile("gyriondefs2.scp"), data) << c.words[0];
  }
}

TEST_F(OrvoAgainstService, RefusalsGiveTheirExitStatus) {
  EXPECT_EQ(Run("Warden", "not-the-password", {"port"}), orvo::kExitLogin);
  EXPECT_EQ(Run("Rowan", "hearthstone", {"port"}), orvo::kExitLogin);
  std::string defs = (work_ / "defs.scp").string();
  std::ofstream(defs, std::ios::binary) << "x\n";
  EXPECT_EQ(Run("Keeper", "lantern7", {"put", "gyriondefs2.scp", defs}), orvo::kExitRefused);
  EXPECT_EQ(Run("Warden", "northwind", {"get", "no-such-file.scp", "-o", (work_ / "x").string()}),
            orvo::kExitRefused);
  EXPECT_FALSE(fs::exists(work_ / "x"));
  EXPECT_FALSE(fs::exists(server_.folder() / "scripts" / "gyriondefs2.scp"));
}

TEST_F(OrvoAgainstService, ShellRunsAScriptOverOneLoginAndStopsAtTheFirstFailure) {
  std::string script =
      "# a session\n"
      "port\n"
      "\n"
      "checksum gyrion.ini --json\n"
      "get nothere.scp\n"
      "port\n";
  EXPECT_EQ(Admin({"shell"}, script), orvo::kExitRefused) << err_.str();
  EXPECT_EQ(out_.str(), "2593\n{\"name\":\"gyrion.ini\",\"checksum\":" +
                            std::to_string(orvo::TextChecksum(server_.ReadFile("gyrion.ini"))) + "}\n");
  EXPECT_NE(err_.str().find("orvo: get nothere.scp: Could not open file nothere.scp."), std::string::npos);
  std::string log = server_.Log();
  size_t logins = 0;
  for (size_t at = log.find("Login from IP"); at != std::string::npos; at = log.find("Login from IP", at + 1)) ++logins;
  EXPECT_EQ(logins, 1u) << log;

  EXPECT_EQ(Admin({"shell"}, "port\nfrobnicate\nport\n"), orvo::kExitUsage);
  EXPECT_EQ(out_.str(), "2593\n");
  EXPECT_EQ(Admin({"shell"}, "port\nquit\nport\n"), orvo::kExitOk);
  EXPECT_EQ(out_.str(), "2593\n");
}

TEST_F(OrvoAgainstService, ShellLogsInAgainAfterTheServiceClosedTheSession) {
  // Starting the game server as a system service ends the session.
  testing_support::SystemctlStandIn systemctl(work_);
  systemctl.QueueStates({"loaded"});
  server_.Stop();
  server_.SetEnv("PATH", systemctl.bin() + ":" + std::getenv("PATH"));
  ASSERT_TRUE(server_.Start());
  std::string ini = server_.ReadFile("gyrion.ini");
  server_.WriteFile("gyrion.ini", ini.replace(ini.find("NTSERVICE=0"), 11, "NTSERVICE=1"));
  ASSERT_EQ(Admin({"shell"}, "start\nport\n"), orvo::kExitOk) << err_.str();
  EXPECT_EQ(out_.str(), "start requested; the service's log tells the outcome\n2593\n");
  EXPECT_NE(err_.str().find("logging in again"), std::string::npos) << err_.str();
}

TEST_F(OrvoAgainstService, EditStoresOnlyWhatChangedAndKeepsEveryEdit) {
  const std::string name = "gyriondefs2.scp";
  const std::string before = server_.ReadFile(name);
  std::string server_file = (server_.folder() / name).string();
  struct Case {
    const char* what;
    std::string editor;
    int status;
    bool stored;  // the server's file holds the edit
    bool kept;    // the edited copy stays in the scratch folder
  } cases[] = {
      {"unchanged", Script("same", "exit 0\n"), orvo::kExitOk, false, false},
      {"editor failure", Script("fails", "echo typed >> \"$1\"\nexit 3\n"), orvo::kExitLocalFile, false, true},
      {"editor failure, nothing typed", Script("quits", "exit 1\n"), orvo::kExitLocalFile, false, false},
      {"changed elsewhere meanwhile",
       Script("conflict", "printf 'x\\nsomeone else\\n' > '" + server_file + "'\necho typed >> \"$1\"\n"),
       orvo::kExitConflict, false, true},
      // A change the service's checksum cannot see: only the bytes tell.
      {"first line changed elsewhere meanwhile",
       Script("first-line", "sed -i '1s/^/x/' '" + server_file + "'\necho typed >> \"$1\"\n"), orvo::kExitConflict,
       false, true},
      {"changed", Script("edits", "echo typed >> \"$1\"\n"), orvo::kExitOk, true, false},
  };
  for (const Case& c : cases) {
    server_.WriteFile(name, before);
    EXPECT_EQ(Admin({"edit", name}, "", {{"VISUAL", c.editor}}), c.status) << c.what << ": " << err_.str();
    std::string now = server_.ReadFile(name);
    EXPECT_EQ(now.find("typed") != std::string::npos, c.stored) << c.what;
    std::vector<std::string> copies = FilesHolding(work_, "orvo-edit-");
    EXPECT_EQ(!FilesHolding(work_, name).empty(), c.kept) << c.what;
    if (c.kept) {
      EXPECT_NE(err_.str().find("your edited copy is kept at " + work_.string()), std::string::npos) << err_.str();
    }
    for (const std::string& copy : copies) fs::remove_all(copy);
  }
  // The store went to the very file that was fetched, with a backup beside it.
  EXPECT_EQ(server_.ReadFile(name), before + "typed\r\n");
  EXPECT_EQ(FilesHolding(server_.folder(), name + ".bkp.").size(), 1u);
}

TEST_F(OrvoAgainstService, SyncMovesOnlyWhatDiffersAndDeletesOnlyWhenAsked) {
  std::string local = (work_ / "local").string();
  ASSERT_EQ(Admin({"sync", "pull", local, "--dry-run"}), orvo::kExitOk) << err_.str();
  EXPECT_NE(out_.str().find("fetch   gyrionitem2.scp (new)"), std::string::npos) << out_.str();
  EXPECT_FALSE(fs::exists(local)) << "a dry run wrote";

  terminal_ = true;
  ASSERT_EQ(Admin({"sync", "pull", local}), orvo::kExitOk) << err_.str();
  terminal_ = false;
  EXPECT_NE(out_.str().find("pull: 12 fetched\n"), std::string::npos) << out_.str();
  EXPECT_NE(err_.str().find("\rorvo: [###"), std::string::npos) << "no progress bar";
  EXPECT_TRUE(err_.str().ends_with("\r\x1b[K")) << "the bar's line is not cleared";
  EXPECT_EQ(Slurp(work_ / "local" / "gyrionmap2.scp"), WithoutCr(server_.ReadFile("gyrionmap2.scp")));

  // One file changes on the server, one is only here.
  server_.WriteFile("gyrionname.scp", server_.ReadFile("gyrionname.scp") + "[NAMES more]\r\nBran\r\n");
  std::ofstream(work_ / "local" / "notes.txt") << "mine\n";
  ASSERT_EQ(Admin({"sync", "pull", local, "--dry-run", "--json"}), orvo::kExitOk) << err_.str();
  std::map<std::string, std::string> actions;
  orvo::testing::JsonValue plan = Json();
  for (const auto& file : plan["files"].items) actions[file["name"].text] = file["action"].text;
  EXPECT_EQ(actions["gyrionname.scp"], "fetch");
  EXPECT_EQ(actions["notes.txt"], "keep");
  EXPECT_EQ(actions["gyrionitem2.scp"], "same");

  ASSERT_EQ(Admin({"sync", "pull", local}), orvo::kExitOk) << err_.str();
  EXPECT_EQ(out_.str(), "fetched gyrionname.scp\nkeep    notes.txt (not on the server (--delete removes it))\n"
                        "pull: 1 fetched, 11 unchanged, 1 kept\n");
  ASSERT_EQ(Admin({"sync", "pull", local, "--delete"}), orvo::kExitOk) << err_.str();
  EXPECT_FALSE(fs::exists(work_ / "local" / "notes.txt"));

  // Push: one local change goes up, with one backup; the server keeps files
  // that are not here.
  std::ofstream(work_ / "local" / "gyrionmap2.scp", std::ios::app) << "[MORE]\r\nline\n";
  fs::remove(work_ / "local" / "gyrionspee.scp");
  ASSERT_EQ(Admin({"sync", "push", local, "--dry-run"}), orvo::kExitOk) << err_.str();
  EXPECT_EQ(FilesHolding(server_.folder(), ".bkp.").size(), 0u);
  ASSERT_EQ(Admin({"sync", "push", local}), orvo::kExitOk) << err_.str();
  EXPECT_EQ(out_.str(), "stored  gyrionmap2.scp\nkeep    gyrionspee.scp (only on the server)\n"
                        "push: 1 stored, 10 unchanged, 1 kept\n");
  EXPECT_NE(server_.ReadFile("gyrionmap2.scp").find("[MORE]\r\nline\r\n"), std::string::npos);
  EXPECT_EQ(FilesHolding(server_.folder(), ".bkp.").size(), 1u);
  EXPECT_TRUE(fs::exists(server_.folder() / "gyrionspee.scp"));

  // "again" sums to 512, which no line number below 512 sees: only the record
  // of the last sync tells that the file changed here. A pull keeps it; a
  // push without write level is refused file by file; with it, it goes up.
  std::ofstream(work_ / "local" / "gyrionmap2.scp", std::ios::app) << "again\n";
  ASSERT_EQ(Admin({"sync", "pull", local, "--dry-run"}), orvo::kExitOk) << err_.str();
  EXPECT_NE(out_.str().find("keep    gyrionmap2.scp (changed here since the last sync"), std::string::npos)
      << out_.str();
  EXPECT_EQ(Run("Keeper", "lantern7", {"sync", "push", local}), orvo::kExitRefused);
  EXPECT_NE(out_.str().find("failed  gyrionmap2.scp: This user does not have sufficient priveleges"),
            std::string::npos) << out_.str();
  ASSERT_EQ(Admin({"sync", "push", local}), orvo::kExitOk) << err_.str();
  EXPECT_NE(server_.ReadFile("gyrionmap2.scp").find("again\r\n"), std::string::npos);
}

TEST_F(OrvoAgainstService, PushRefusesWhatChangedOnTheServerSinceTheLastSync) {
  std::string local = (work_ / "local").string();
  ASSERT_EQ(Admin({"sync", "pull", local}), orvo::kExitOk) << err_.str();
  // A colleague changes two files on the server, one only in its first line,
  // which the checksum never sees; here one of them and a third file change.
  const std::string map = "x" + server_.ReadFile("gyrionmap2.scp");
  const std::string names = server_.ReadFile("gyrionname.scp") + "[NAMES more]\r\nBran\r\n";
  server_.WriteFile("gyrionmap2.scp", map);
  server_.WriteFile("gyrionname.scp", names);
  std::ofstream(work_ / "local" / "gyrionmap2.scp", std::ios::app) << "mine\n";
  std::ofstream(work_ / "local" / "gyriondefs2.scp", std::ios::app) << "mine\n";

  EXPECT_EQ(Admin({"sync", "push", local}), orvo::kExitConflict) << err_.str();
  EXPECT_EQ(out_.str(),
            "stored  gyriondefs2.scp\n"
            "refused gyrionmap2.scp (changed here and on the server since the last sync; --force stores it anyway)\n"
            "refused gyrionname.scp (changed on the server since the last sync; --force stores it anyway)\n"
            "push: 1 stored, 9 unchanged, 2 refused\n");
  EXPECT_EQ(server_.ReadFile("gyrionmap2.scp"), map);
  EXPECT_EQ(server_.ReadFile("gyrionname.scp"), names);
  EXPECT_NE(server_.ReadFile("gyriondefs2.scp").find("mine\r\n"), std::string::npos);
  // Refused again until forced; then the server holds what is here.
  EXPECT_EQ(Admin({"sync", "push", local}), orvo::kExitConflict) << err_.str();
  ASSERT_EQ(Admin({"sync", "push", local, "--force"}), orvo::kExitOk) << err_.str();
  EXPECT_NE(out_.str().find("stored  gyrionmap2.scp (changed here and on the server since the last sync; stored with "
                            "--force)\n"), std::string::npos) << out_.str();
  EXPECT_NE(server_.ReadFile("gyrionmap2.scp").find("mine\r\n"), std::string::npos);
  EXPECT_EQ(server_.ReadFile("gyrionname.scp").find("Bran"), std::string::npos);
  ASSERT_EQ(Admin({"sync", "push", local}), orvo::kExitOk) << err_.str();
  EXPECT_EQ(out_.str(), "push: 12 unchanged\n");
}

TEST_F(OrvoAgainstService, JsonReadsBack) {
  ASSERT_EQ(Admin({"dir", ".", "--json"}), orvo::kExitOk);
  orvo::testing::JsonValue dir = Json();
  size_t files = 0;
  for (const auto& entry : dir.items) {
    if (entry["folder"].boolean) {
      EXPECT_EQ(entry["name"].text, "scripts");
      continue;
    }
    ++files;
    // The local checksum agrees with the service's for every file.
    ASSERT_EQ(Admin({"--json", "checksum", entry["name"].text}), orvo::kExitOk);
    EXPECT_EQ(Json()["checksum"].number, orvo::TextChecksum(server_.ReadFile(entry["name"].text)))
        << entry["name"].text;
  }
  EXPECT_EQ(files, 12u);
  ASSERT_EQ(Admin({"spawns", "--json"}), orvo::kExitOk);
  orvo::testing::JsonValue spawns = Json();
  ASSERT_EQ(spawns.items.size(), 6u);
  EXPECT_EQ(spawns.items[2]["kind"].text, "NPC");
  EXPECT_EQ(spawns.items[2]["what"].text, "C_OGRE_BOG");
  EXPECT_EQ(spawns.items[2]["position"].text, "1432,1698,0");
  ASSERT_EQ(Admin({"resources", "--json"}), orvo::kExitOk);
  EXPECT_EQ(Json().items[1]["name"].text, "DATA/MUSIC.DEF");
  ASSERT_EQ(Admin({"port", "--json"}), orvo::kExitOk);
  EXPECT_EQ(Json()["port"].number, 2593);
}

}  // namespace
