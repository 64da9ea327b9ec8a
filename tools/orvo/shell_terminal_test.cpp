// orvo shell on a pseudo-terminal, against a scripted service: the keys an
// administrator presses (Ctrl-C, Tab) and closing the terminal. Every wait is
// for text the terminal shows, with a deadline.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tools/orvo/tests/fake_server.h"
#include "tools/orvo/packets.h"
#include "tools/orvo/replies.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using testing::AfterLogin;
using testing::Expect;
using testing::FakeServer;
using testing::Send;
using testing::Step;

constexpr std::string_view kPrompt = "orvo builder@127.0.0.1> ";
constexpr auto kPatience = std::chrono::seconds(30);

// orvo shell running on the far side of a pseudo-terminal, in a folder of its
// own that is also its home.
class Terminal {
 public:
  explicit Terminal(uint16_t port) {
    folder_ = fs::temp_directory_path() /
              ("orvo_terminal_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
               std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    pid_ = ::forkpty(&master_, nullptr, nullptr, nullptr);
    if (pid_ != 0) return;
    // The child: orvo with a home, a password and a terminal type of its own.
    if (::chdir(folder_.c_str()) != 0) ::_exit(126);
    ::setenv("HOME", folder_.c_str(), 1);
    ::setenv("XDG_STATE_HOME", (folder_ / "state").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
    ::setenv("ORVO_PASSWORD", "secret", 1);
    ::setenv("TERM", "xterm", 1);
    ::unsetenv("ORVO_PROFILE");
    std::string port_text = std::to_string(port);
    ::execl(ORVO_BINARY, "orvo", "--port", port_text.c_str(), "--user", "builder", "--timeout", "20", "shell",
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ~Terminal() {
    if (master_ >= 0) ::close(master_);
    if (pid_ > 0 && status_ < 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    fs::remove_all(folder_);
  }

  const fs::path& folder() const { return folder_; }
  void Type(std::string_view keys) {
    ASSERT_EQ(::write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }

  // Waits until the terminal shows `text` after what earlier waits found;
  // false when it has not within the patience.
  bool Await(std::string_view text) {
    auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
      size_t found = shown_.find(text, seen_);
      if (found != std::string::npos) {
        seen_ = found + text.size();
        return true;
      }
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd p{master_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
      char buffer[4096];
      ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) return false;  // orvo has ended
      shown_.append(buffer, static_cast<size_t>(n));
    }
  }
  const std::string& Shown() const { return shown_; }

  // Closes the terminal (orvo gets SIGHUP) when `hang_up`, and waits for orvo
  // to end: its exit status, or 128 plus the signal that ended it.
  int End(bool hang_up) {
    if (hang_up) {
      ::close(master_);
      master_ = -1;
    } else {
      while (Await("\n")) {
      }
    }
    int status = 0;
    ::waitpid(pid_, &status, 0);
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return status_;
  }

 private:
  fs::path folder_;
  int master_ = -1;
  pid_t pid_ = -1;
  int status_ = -1;
  std::string shown_;
  size_t seen_ = 0;
};

std::string History(const fs::path& folder) {
  std::ifstream in(folder / "state" / "orvo" / "history", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(TerminalShellTest, CtrlCDropsTheLineTabCompletesQuietlyAndTheHistoryOutlivesTheTerminal) {
  FakeServer server(AfterLogin({Expect("PORT"), Send("2593")}));
  Terminal t(server.Port());
  ASSERT_TRUE(t.Await(kPrompt)) << t.Shown();
  t.Type("checksum half-typed");
  ASSERT_TRUE(t.Await("half-typed"));
  t.Type("\x03");
  ASSERT_TRUE(t.Await(kPrompt)) << "Ctrl-C ended the session: " << t.Shown();
  t.Type("port\r");
  ASSERT_TRUE(t.Await("2593")) << t.Shown();
  ASSERT_TRUE(t.Await(kPrompt));
  t.Type("chec\t");
  ASSERT_TRUE(t.Await("ksum ")) << t.Shown();
  EXPECT_EQ(t.Shown().find('\a'), std::string::npos) << "a unique completion rang the bell";

  EXPECT_EQ(t.End(true), 128 + SIGHUP);
  EXPECT_EQ(History(t.folder()), "_HiStOrY_V2_\nport\n");
  EXPECT_EQ(server.Finish(), std::vector<std::string>{});
}

TEST(TerminalShellTest, CtrlCCancelsATransferAndLeavesEveryFileWhole) {
  const std::string chunk(1024, 'g');
  struct Case {
    const char* command;
    std::vector<Step> steps;  // up to where the service stops answering
    std::string shown;        // the progress that says the transfer is under way
  } cases[] = {
      {"get big.scp\r", {Expect("GFILbig.scp"), Send("2000000"), Send(chunk), Expect("1024")}, "1024 of 2000000"},
      {"put big.scp\r",
       {Expect("SFILbig.scp"), Send(std::string(kReadyForFile)), Expect(chunk.substr(0, 1023)), Send("1023")},
       "1023 of 2000000"},
  };
  for (const Case& c : cases) {
    FakeServer server(AfterLogin(c.steps));
    Terminal t(server.Port());
    if (std::string(c.command).starts_with("put")) std::ofstream(t.folder() / "big.scp") << std::string(2000000, 'g');
    ASSERT_TRUE(t.Await(kPrompt)) << t.Shown();
    t.Type(c.command);
    ASSERT_TRUE(t.Await(c.shown)) << c.command << t.Shown();
    t.Type("\x03");
    ASSERT_TRUE(t.Await("interrupted")) << c.command << t.Shown();
    ASSERT_TRUE(t.Await(kPrompt)) << c.command << t.Shown();
    // The service saw the connection end, with no end marker before it.
    EXPECT_EQ(server.Finish(), std::vector<std::string>{}) << c.command;
    EXPECT_EQ(std::count(server.Rest().begin(), server.Rest().end(), std::string(kEndMarker)), 0) << c.command;
    t.Type("\x04");
    EXPECT_EQ(t.End(false), 0) << t.Shown();
    // A fetch leaves nothing behind, not even its temporary file; a store
    // leaves its local file.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(t.folder())) {
      if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected;
    if (std::string(c.command).starts_with("put")) expected.push_back("big.scp");
    EXPECT_EQ(names, expected) << c.command;
  }
}

}  // namespace
}  // namespace orvo
