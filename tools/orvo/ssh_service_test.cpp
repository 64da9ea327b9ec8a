// orvo through a real OpenSSH server to a service that listens on the
// loopback address alone, as a shard owner lets staff in from home.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "testing/orvosvr/server_process.h"
#include "tools/orvo/cli.h"
#include "tools/orvo/tests/sshd.h"
#include "tools/orvo/tests/test_environment.h"

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string WithoutCr(std::string text) {
  std::erase(text, '\r');
  return text;
}

class OrvoThroughSsh : public ::testing::Test {
 protected:
  OrvoThroughSsh() : server_({"LISTENADDRESS 127.0.0.1", "ALLOWEDEXTENSIONS scp:ini", "ALLOWEDPATHS scripts"}) {}
  void SetUp() override {
    // No skipping: a machine without sshd fails here with the reason.
    ASSERT_TRUE(sshd_.Start()) << sshd_.Problem();
    ASSERT_TRUE(server_.Start()) << server_.Console();
    work_ = fs::path(sshd_.Path()) / "work";
    fs::create_directories(work_);
    ssh_ = sshd_.SshWrapper("ssh");
  }
  // user@127.0.0.1:port of the SSH server.
  std::string Destination(int port = 0) const {
    return sshd_.user() + "@127.0.0.1:" + std::to_string(port ? port : sshd_.port());
  }
  // Runs orvo in this process as Warden through ssh (`chosen`: as the
  // profile says); its exit status.
  int Orvo(std::vector<std::string> words, const std::string& input = "",
           std::map<std::string, std::string> variables = {}, bool chosen = true) {
    std::vector<std::string> args;
    if (chosen) args = {"--ssh", Destination(), "--port", std::to_string(server_.port()), "--user", "Warden"};
    args.insert(args.end(), words.begin(), words.end());
    variables["ORVO_SSH"] = ssh_;
    variables["TMPDIR"] = work_.string();
    variables["XDG_CONFIG_HOME"] = work_.string();
    out_.str("");
    err_.str("");
    in_.clear();
    in_.str(input);
    orvo::Environment env = orvo::testing::TestEnvironment(variables, "northwind", &in_, &out_, &err_);
    return orvo::RunOrvo(args, env);
  }

  orvo::testing::Sshd sshd_;
  testing_support::ServerProcess server_;
  fs::path work_;
  std::string ssh_;
  std::istringstream in_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(OrvoThroughSsh, EveryKindOfCommandReachesALoopbackService) {
  std::string items = (work_ / "items.scp").string();
  ASSERT_EQ(Orvo({"get", "gyrionitem2.scp", "-o", items}), orvo::kExitOk) << err_.str();
  EXPECT_EQ(Slurp(items), WithoutCr(server_.ReadFile("gyrionitem2.scp")));

  std::string defs = (work_ / "defs.scp").string();
  std::ofstream(defs, std::ios::binary) << "[DEFNAME moor]\nFOG=1\n";
  ASSERT_EQ(Orvo({"put", "gyriondefs2.scp", defs}), orvo::kExitOk) << err_.str();
  EXPECT_EQ(server_.ReadFile("scripts/gyriondefs2.scp"), "[DEFNAME moor]\r\nFOG=1\r\n");

  ASSERT_EQ(Orvo({"shell"}, "port\nspawns\n"), orvo::kExitOk) << err_.str();
  EXPECT_TRUE(out_.str().starts_with("2593\n")) << out_.str();
  EXPECT_NE(out_.str().find("NPC,C_OGRE_BOG,1432,1698,0"), std::string::npos) << out_.str();

  std::string editor = (work_ / "editor").string();
  std::ofstream(editor) << "#!/bin/sh\necho 'FOG=2' >> \"$1\"\n";
  fs::permissions(editor, fs::perms::owner_all);
  ASSERT_EQ(Orvo({"edit", "gyriondefs2.scp"}, "", {{"VISUAL", editor}}), orvo::kExitOk) << err_.str();
  EXPECT_TRUE(server_.ReadFile("gyriondefs2.scp").ends_with("\r\nFOG=2\r\n")) << err_.str();

  std::string local = (work_ / "local").string();
  ASSERT_EQ(Orvo({"sync", "pull", local, "scripts"}), orvo::kExitOk) << err_.str();
  EXPECT_EQ(Slurp(work_ / "local" / "gyriondefs2.scp"), "[DEFNAME moor]\nFOG=1\n");

  // A profile says the same.
  fs::create_directories(work_ / "orvo");
  std::ofstream(work_ / "orvo" / "config") << "[default]\nuser = Warden\nssh = " << Destination()
                                           << "\nport = " << server_.port() << "\n";
  fs::permissions(work_ / "orvo" / "config", fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_EQ(Orvo({"port"}, "", {}, false), orvo::kExitOk) << err_.str();
  EXPECT_EQ(out_.str(), "2593\n");
  ASSERT_EQ(Orvo({"profiles"}, "", {}, false), orvo::kExitOk);
  EXPECT_NE(out_.str().find("* default\tWarden@127.0.0.1:" + std::to_string(server_.port()) + " via ssh " +
                            Destination()),
            std::string::npos)
      << out_.str();

  // The service itself is not reachable but at its loopback address.
  EXPECT_NE(server_.Log().find("Login from IP 127.0.0.1 successful for user Warden"), std::string::npos);
}

// Runs the orvo program with `args` and these variables; its exit status, and
// what it and ssh wrote on standard error.
int RunOrvoProgram(const std::string& variables, const std::vector<std::string>& args, std::string* err) {
  std::string command = "env ORVO_PASSWORD=northwind " + variables + " '" + ORVO_BINARY + "'";
  for (const std::string& a : args) command += " '" + a + "'";
  command += " 2>&1 >/dev/null </dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  err->clear();
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) err->append(buffer, n);
  int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(OrvoThroughSsh, TransportFailuresExitFourInSshsOwnWords) {
  const std::string service_port = std::to_string(server_.port());
  struct Case {
    const char* what;
    std::string ssh;          // ORVO_SSH
    std::string destination;  // --ssh
    std::string port;         // --port
    std::string said;         // on standard error
  };
  const Case cases[] = {
      {"unknown host key", sshd_.SshWrapper("stranger", "-o UserKnownHostsFile=/dev/null"), Destination(),
       service_port, "Host key verification failed."},
      {"refused key", sshd_.SshWrapper("no-key", "-o PubkeyAuthentication=no"), Destination(), service_port,
       "Permission denied (publickey)."},
      {"no SSH server there", ssh_, Destination(1), service_port, "Connection refused"},
      {"no service behind it", ssh_, Destination(), "1", "stdio forwarding failed"},
      {"no ssh program", "/nonexistent/ssh", Destination(), service_port,
       "cannot start /nonexistent/ssh: No such file or directory"},
  };
  for (const Case& c : cases) {
    std::string err;
    int status = RunOrvoProgram("ORVO_SSH='" + c.ssh + "'",
                                {"--ssh", c.destination, "--port", c.port, "--user", "Warden", "port"}, &err);
    EXPECT_EQ(status, orvo::kExitConnection) << c.what << ": " << err;
    EXPECT_NE(err.find(c.said), std::string::npos) << c.what << ": " << err;
  }
  // Without ssh the service's port answers at its loopback address alone.
  std::string err;
  EXPECT_EQ(RunOrvoProgram("", {"--host", "127.0.0.2", "--port", service_port, "--user", "Warden", "port"}, &err),
            orvo::kExitConnection)
      << err;
}

}  // namespace
