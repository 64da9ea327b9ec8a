// orvo as a whole against a scripted service on a loopback port: what each
// command prints, where the password comes from, and the exit status of every
// kind of failure.
#include "tools/orvo/cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/orvo/tests/fake_server.h"
#include "tools/orvo/tests/file_sharing.h"
#include "tools/orvo/packets.h"
#include "tools/orvo/replies.h"

namespace orvo {
namespace {

using std::string_literals::operator""s;
using testing::AfterLogin;
using testing::Close;
using testing::Expect;
using testing::FakeServer;
using testing::Send;
using testing::Step;

const std::string kMarker(kEndMarker);
const std::string kNoPrivilege = "This user does not have sufficient priveleges on the remote server\r\n";

std::vector<Step> ThenQuit(std::vector<Step> steps) {
  steps.push_back(Expect("QUIT"));
  steps.push_back(Send("Closing connection.\r\n"));
  return AfterLogin(std::move(steps));
}

// A scratch folder for the files a test reads and writes.
class ScratchDir {
 public:
  ScratchDir() {
    path_ = std::filesystem::temp_directory_path() /
            ("orvo_cli_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() { std::filesystem::remove_all(path_); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  std::string Write(const std::string& name, const std::string& text) const {
    std::ofstream(File(name), std::ios::binary) << text;
    return File(name);
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  std::filesystem::path path_;
};

struct Outcome {
  int status;
  std::string out, err;
  std::vector<std::string> server_failures;
};

// Runs orvo against `steps` on a loopback port, as user builder with the
// password "secret" from ORVO_PASSWORD unless `env_password` says otherwise.
Outcome RunAgainst(std::vector<Step> steps, std::vector<std::string> args,
                   std::optional<std::string> env_password = "secret", const std::string& stdin_text = "") {
  FakeServer server(std::move(steps));
  std::vector<std::string> all = {"--port", std::to_string(server.Port()), "--user", "builder", "--timeout", "5"};
  all.insert(all.end(), args.begin(), args.end());
  std::istringstream in(stdin_text);
  std::ostringstream out, err;
  Environment env;
  env.password_variable = env_password;
  env.read_secret = [](const std::string&, std::string*) { return -1; };
  env.in = &in;
  env.out = &out;
  env.err = &err;
  int status = RunOrvo(all, env);
  return {status, out.str(), err.str(), server.Finish()};
}

struct CliCase {
  const char* name;
  std::vector<std::string> args;
  std::vector<Step> steps;
  int status;
  std::string out;
  std::string err_holds;
  std::string stdin_text = "";
};

class CommandTest : public ::testing::TestWithParam<CliCase> {};

TEST_P(CommandTest, PrintsTheAnswerAndExits) {
  const CliCase& c = GetParam();
  Outcome o = RunAgainst(c.steps, c.args, "secret", c.stdin_text);
  EXPECT_EQ(o.status, c.status) << o.err;
  EXPECT_EQ(o.out, c.out);
  EXPECT_NE(o.err.find(c.err_holds), std::string::npos) << o.err;
  EXPECT_EQ(o.server_failures, std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandTest,
    ::testing::Values(
        CliCase{"GetToStandardOutput", {"get", "gyrion.ini", "-o", "-"},
                ThenQuit({Expect("GINI"), Send("6"), Send("[A]\nB\n"), Expect("6"), Send(kMarker)}), kExitOk,
                "[A]\nB\n", ""},
        CliCase{"GetRefused", {"get", "gyrionitem2.scp", "-o", "-"},
                ThenQuit({Expect("GITM"), Send(kNoPrivilege)}), kExitRefused, "",
                "orvo: get gyrionitem2.scp: This user does not have sufficient priveleges on the remote server\n"},
        CliCase{"GetMissingFile", {"get", "nothere.scp", "-o", "-"},
                ThenQuit({Expect("GFILnothere.scp"), Send("Could not open file nothere.scp.\r\n")}), kExitRefused,
                "", "Could not open file nothere.scp."},
        CliCase{"GetBrokenConnection", {"get", "gyrionitem2.scp", "-o", "-"},
                AfterLogin({Expect("GITM"), Send("9"), Send("abc"), Expect("3"), Close()}), kExitConnection,
                "abc", "closed the connection"},
        CliCase{"PutFromStandardInput", {"put", "gyriondefs2.scp", "-"},
                ThenQuit({Expect("SDFS"), Send("Ready to receive entry.  Send CRLF.CRLF to signal end of file\r\n"),
                          Expect("from stdin\n"), Send("11"), Expect(kMarker), Send("File Received")}),
                kExitOk, "stored gyriondefs2.scp (11 bytes)\n", "", "from stdin\n"},
        CliCase{"Spawns", {"spawns"},
                ThenQuit({Expect("GSPN"), Send("22"), Send("NPC,C_OGRE,100,200,0\r\n"), Send(".\r\n")}), kExitOk,
                "NPC,C_OGRE,100,200,0\r\n", ""},
        CliCase{"Dir", {"dir", "."},
                ThenQuit({Expect("GDIR."), Send("\x10\0\0\0scripts\0\x80\0\0\0gyrion.ini\0"s), Send(kMarker)}),
                kExitOk, "00000010 d---- scripts\n00000080 ----- gyrion.ini\n", ""},
        CliCase{"Checksum", {"checksum", "gyrion.ini"}, ThenQuit({Expect("GFCSgyrion.ini"), Send("-46")}), kExitOk,
                "-46\n", ""},
        CliCase{"Resources", {"resources"},
                ThenQuit({Expect("GRES"), Send("ART.MUL \t7"), Send(kMarker)}), kExitOk, "ART.MUL \t7\n", ""},
        CliCase{"Port", {"port"}, ThenQuit({Expect("PORT"), Send("2593")}), kExitOk, "2593\n", ""},
        CliCase{"PortRefused", {"port"}, ThenQuit({Expect("PORT"), Send("0")}), kExitRefused, "", "refused PORT"},
        CliCase{"StartAsSystemService", {"start"}, AfterLogin({Expect("STRT"), Close()}), kExitOk,
                "start requested; the service's log tells the outcome\n", ""},
        CliCase{"RawShowsEveryByte", {"--idle", "1", "raw", "GFCS", "x"},
                AfterLogin({Expect("GFCSx"), Send("12"), Send("a\r\n\x01")}), kExitOk, "2: 12\n4: a\\r\\n\\x01\n",
                ""},
        CliCase{"RawRefused", {"--idle", "1", "raw", "GACT"}, AfterLogin({Expect("GACT"), Send(kNoPrivilege)}),
                kExitRefused,
                "68: This user does not have sufficient priveleges on the remote server\\r\\n\n", ""},
        CliCase{"UnknownWord", {"--idle", "1", "raw", "XYZ"},
                AfterLogin({Expect("XYZ"), Send("Command unknown (XYZ).\r\n")}), kExitRefused,
                "24: Command unknown (XYZ).\\r\\n\n", "orvo: raw XYZ: Command unknown (XYZ).\n"}),
    [](const auto& test) { return std::string(test.param.name); });

std::vector<Step> RefusedLogin(const std::string& reply) {
  return {Send("OrvoSvr connected.\r\n\r\nUsername: "), Expect("builder"), Send("Password: "), Expect("secret"),
          Send(reply), Close()};
}

TEST(LoginExitTest, EachRefusalExitsWithTheLoginStatus) {
  for (const char* reply : {"Login failed.  Bad userid or password.\r\n", "Login failed.  Insufficient priveleges.\r\n",
                            "Login failed.  Account file not found.\r\n"}) {
    Outcome o = RunAgainst(RefusedLogin(reply), {"port"});
    EXPECT_EQ(o.status, kExitLogin) << reply;
    EXPECT_EQ(o.err, "orvo: login as builder: " + PrintableText(reply) + "\n");
    EXPECT_EQ(o.server_failures, std::vector<std::string>{});
  }
}

TEST(LoginExitTest, NoServiceExitsWithTheConnectionStatus) {
  uint16_t port = 0;
  {
    platform::Listener gone;
    ASSERT_EQ(gone.Open(), 0);
    port = gone.Port();
  }
  std::ostringstream out, err;
  Environment env;
  env.password_variable = "secret";
  env.out = &out;
  env.err = &err;
  EXPECT_EQ(RunOrvo({"--port", std::to_string(port), "--user", "builder", "port"}, env), kExitConnection);
  EXPECT_NE(err.str().find("cannot connect to 127.0.0.1:" + std::to_string(port)), std::string::npos) << err.str();
}

TEST(UsageTest, BadCommandLinesNeverConnect) {
  struct Case {
    std::vector<std::string> args;
    std::string err_holds;
  } cases[] = {
      {{"--user", "builder"}, "no command given"},
      {{"--user", "builder", "fetch", "x"}, "unknown command fetch"},
      {{"get", "x"}, "--user is required"},
      {{"--user", "builder", "get"}, "wrong number of arguments for get"},
      {{"--user", "builder", "spawns", "extra"}, "wrong number of arguments for spawns"},
      {{"--user", "builder", "merge", "weapon", "f"}, "merge takes item or npc"},
      {{"--user", "builder", "put", "x", "-o", "y"}, "-o belongs to get"},
      {{"--user", "builder", "--large", "get", "x"}, "--large belongs to put, edit and sync"},
      {{"--user", "builder", "sync", "pull", "d", "--force"}, "--force belongs to sync push"},
      {{"--user", "builder", "--password", "secret", "port"}, "never taken from the command line"},
      {{"--user", "builder", "--port", "70000", "port"}, "bad port 70000"},
      {{"--user", "builder", "--timeout", "0", "port"}, "bad time-out 0"},
      {{"--user", "builder", "--bogus", "1", "port"}, "unknown option --bogus"},
      {{"--user"}, "option --user needs a value"},
  };
  for (const Case& c : cases) {
    std::ostringstream out, err;
    Environment env;
    env.password_variable = "secret";
    env.out = &out;
    env.err = &err;
    EXPECT_EQ(RunOrvo(c.args, env), kExitUsage) << c.err_holds;
    EXPECT_NE(err.str().find(c.err_holds), std::string::npos) << err.str();
  }
}

TEST(PasswordTest, FileThenVariableThenPrompt) {
  ScratchDir dir;
  std::string file = dir.Write("pw", "from-file\r\nsecond line\n");
  ASSERT_TRUE(testing::ShareFile(file, testing::Sharing::kPrivate));
  std::string open_file = dir.Write("open-pw", "from-file\n");
  ASSERT_TRUE(testing::ShareFile(open_file, testing::Sharing::kOthersRead));
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::optional<std::string> variable;
    int prompt_result;
    std::string sent;  // the password the service must see; empty: none is sent
    int status;
  } cases[] = {
      {"the file wins", {"--password-file", file}, "from-env", 0, "from-file", kExitOk},
      {"then the variable", {}, "from-env", 0, "from-env", kExitOk},
      {"an empty variable is an empty password", {}, "", 0, "\r\n", kExitOk},
      {"then the prompt", {}, std::nullopt, 0, "typed", kExitOk},
      {"no terminal", {}, std::nullopt, -1, "", kExitUsage},
      {"unreadable file", {"--password-file", dir.File("none")}, "from-env", 0, "", kExitLocalFile},
      {"a file others may read is refused", {"--password-file", open_file}, "from-env", 0, "", kExitLocalFile},
  };
  for (const Case& c : cases) {
    std::vector<Step> steps;
    if (!c.sent.empty()) {
      steps = {Send("OrvoSvr connected.\r\n\r\nUsername: "), Expect("builder"), Send("Password: "), Expect(c.sent),
               Send("Login successful. Protocol 1.0\r\n"), Expect("PORT"), Send("2593"), Expect("QUIT"),
               Send("Closing connection.\r\n")};
    }
    FakeServer server(steps);
    std::vector<std::string> args = {"--port", std::to_string(server.Port()), "--user", "builder"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.push_back("port");
    std::ostringstream out, err;
    Environment env;
    env.password_variable = c.variable;
    env.read_secret = [&](const std::string& prompt, std::string* secret) {
      EXPECT_EQ(prompt, "Password for builder: ");
      *secret = "typed";
      return c.prompt_result;
    };
    env.out = &out;
    env.err = &err;
    if (c.sent.empty()) {
      // Nothing connects: satisfy the server's accept so that it ends.
      platform::Connection nobody;
      std::string error;
      platform::Connect("127.0.0.1", server.Port(), 1000, &nobody, &error);
      EXPECT_EQ(RunOrvo(args, env), c.status) << c.name;
    } else {
      EXPECT_EQ(RunOrvo(args, env), c.status) << c.name << ": " << err.str();
    }
    EXPECT_EQ(server.Finish(), std::vector<std::string>{}) << c.name;
  }
}

TEST(FilesTest, GetWritesTheNamedFileAndPutReadsIt) {
  ScratchDir dir;
  std::string target = dir.Write("items.scp", "old\r\n");
  Outcome o = RunAgainst(ThenQuit({Expect("GITM"), Send("4"), Send("new\n"), Expect("4"), Send(kMarker)}),
                         {"get", "gyrionitem2.scp", "-o", target});
  EXPECT_EQ(o.status, kExitOk) << o.err;
  EXPECT_EQ(dir.Read("items.scp"), "new\n");

  o = RunAgainst(ThenQuit({Expect("GITM"), Send("Could not open file gyrionitem2.scp.\r\n")}),
                 {"get", "gyrionitem2.scp", "-o", target});
  EXPECT_EQ(o.status, kExitRefused);
  EXPECT_EQ(dir.Read("items.scp"), "new\n") << "a failed fetch touched the output file";

  std::string entry = dir.Write("ogre.scp", "[4005]\nNAME=ogre\n");
  o = RunAgainst(ThenQuit({Expect("SCHR"),
                           Send("Ready to receive entry.  Send CRLF.CRLF to signal end of entry\r\n"),
                           Expect("[4005]\nNAME=ogre\n"), Send("17"), Expect(kMarker), Send("OK - ID=4005")}),
                 {"merge", "npc", entry});
  EXPECT_EQ(o.status, kExitOk) << o.err;
  EXPECT_EQ(o.out, "4005\n");

  o = RunAgainst(AfterLogin({Expect("QUIT"), Send("Closing connection.\r\n")}),
                 {"put", "gyriondefs2.scp", dir.File("absent.scp")});
  EXPECT_EQ(o.status, kExitLocalFile);
  EXPECT_NE(o.err.find("cannot read " + dir.File("absent.scp")), std::string::npos) << o.err;
}

TEST(ProgressTest, TransfersOverOneMegabyteShowTheirProgress) {
  const size_t chunks = 1100;  // 1100 KB
  std::vector<Step> steps = {Expect("GITM"), Send(std::to_string(chunks * 1024))};
  for (size_t i = 0; i < chunks; ++i) {
    steps.push_back(Send(std::string(1024, 'p')));
    steps.push_back(Expect("1024"));
  }
  steps.push_back(Send(kMarker));
  Outcome o = RunAgainst(ThenQuit(steps), {"get", "gyrionitem2.scp", "-o", "-"});
  EXPECT_EQ(o.status, kExitOk);
  EXPECT_EQ(o.out.size(), chunks * 1024);
  EXPECT_NE(o.err.find("orvo:  10% ("), std::string::npos) << o.err;
  EXPECT_NE(o.err.find("orvo: 100% (1126400 of 1126400 bytes)\n"), std::string::npos) << o.err;

  o = RunAgainst(ThenQuit({Expect("GITM"), Send("1048576"), Send("x"), Expect("1"), Send(kMarker)}),
                 {"get", "gyrionitem2.scp", "-o", "-"});
  EXPECT_EQ(o.err, "") << "a transfer of one megabyte or less shows no progress";
}

}  // namespace
}  // namespace orvo
