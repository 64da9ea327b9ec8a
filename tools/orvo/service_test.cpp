// orvo against the real orvosvr: each command line an administrator would type.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "service/tests/server_process.h"
#include "tools/orvo/cli.h"

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
  void SetUp() override {
    ASSERT_TRUE(server_.Start());
    work_ = fs::temp_directory_path() / ("orvo-service-test-" + std::to_string(::getpid()));
    fs::create_directories(work_);
  }
  void TearDown() override { fs::remove_all(work_); }

  // Runs orvo as `user` with `password`; returns the exit status.
  int Run(const std::string& user, const std::string& password, std::vector<std::string> words) {
    std::vector<std::string> args = {"--port", std::to_string(server_.port()), "--user", user};
    args.insert(args.end(), words.begin(), words.end());
    out_.str("");
    err_.str("");
    orvo::Environment env;
    env.password_variable = password;
    env.read_secret = [](const std::string&, std::string*) { return -1; };
    env.in = &in_;
    env.out = &out_;
    env.err = &err_;
    return orvo::RunOrvo(args, env);
  }

  testing_support::ServerProcess server_;
  fs::path work_;
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

TEST_F(OrvoAgainstService, StoreOfMoreThan2999PacketsNeedsLarge) {
  const std::string data(3000 * 1023, 'x');
  std::string big = (work_ / "big.scp").string();
  std::ofstream(big, std::ios::binary) << data;
  EXPECT_EQ(Run("Warden", "northwind", {"put", "gyriondefs2.scp", big}), orvo::kExitUsage);
  ASSERT_EQ(Run("Warden", "northwind", {"--large", "put", "gyriondefs2.scp", big}), orvo::kExitOk) << err_.str();
  EXPECT_EQ(server_.ReadFile("scripts/gyriondefs2.scp"), data);
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

}  // namespace
