// orvo.exe as a Windows administrator runs it, under Wine: against orvosvr.exe
// and against the Linux service, with the exit statuses of Linux, standard
// streams that carry bytes as they are, profiles in %APPDATA% and commands
// run by cmd.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

#include "testing/orvosvr/windows_server.h"
#include "testing/temp_folder.h"
#include "tools/orvo/cli.h"
#include "tools/orvo/tests/file_sharing.h"
#include "tools/orvo/platform.h"

namespace {

namespace fs = std::filesystem;
using orvo::testing::Sharing;
using testing_support::ProgramRun;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string WithoutCr(std::string text) {
  std::erase(text, '\r');
  return text;
}

uint16_t FreePort() {
  orvo::platform::Listener probe;
  return probe.Open() == 0 ? probe.Port() : 0;
}

bool Accepts(uint16_t port) {
  orvo::platform::Connection c;
  std::string error;
  return orvo::platform::Connect("127.0.0.1", port, 1000, &c, &error) == 0;
}

// Starts a shell command of the Linux side (Wine starts Linux programs too)
// and leaves it running.
void StartOnLinux(const std::string& script) {
  std::wstring line = L"/bin/sh -c \"" + fs::path(script).wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (::CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
  }
}

// The service orvo.exe talks to: the game server's folder as Windows names
// it, and its port.
class Service {
 public:
  virtual ~Service() = default;
  virtual fs::path Folder() const = 0;
  virtual uint16_t Port() const = 0;
};

class WindowsService : public Service {
 public:
  WindowsService() : server_({"ALLOWEDEXTENSIONS scp:ini:def:txt", "ALLOWEDPATHS scripts"}) {
    started_ = server_.Start();
  }
  bool Started() const { return started_; }
  fs::path Folder() const override { return server_.folder(); }
  uint16_t Port() const override { return static_cast<uint16_t>(server_.port()); }

 private:
  testing_support::WindowsServer server_;
  bool started_ = false;
};

// The Linux orvosvr on a copy of the example game server in the build tree
// (its folder is Z: and the same path under Wine). A time limit ends it even
// when the test does not.
class LinuxService : public Service {
 public:
  LinuxService() : unix_folder_(std::string(ORVO_TEST_SCRATCH) + "/orvo-linux-service"), port_(FreePort()) {
    fs::path folder = Folder();
    fs::remove_all(folder);
    fs::copy(fs::path(KIT_SOURCE_DIR) / "examples" / "gameserver", folder, fs::copy_options::recursive);
    std::ofstream cfg(folder / "orvosvr.cfg", std::ios::binary);
    cfg << "PORT " << port_ << "\r\nGYRIONPATH " << unix_folder_ << "\r\nRECEIVETIMEOUT 5000\r\n"
        << "ALLOWEDEXTENSIONS scp:ini:def:txt\r\nALLOWEDPATHS scripts\r\n";
    cfg.close();
    StartOnLinux("cd '" + unix_folder_ + "' && /bin/cp '" + LINUX_ORVOSVR + "' orvosvr && echo $$ > orvosvr.pid && " +
                 "exec /usr/bin/timeout 300 ./orvosvr </dev/null >console.out 2>&1");
    for (int i = 0; i < 300 && !Accepts(port_); ++i) ::Sleep(100);
  }
  ~LinuxService() override {
    StartOnLinux("kill $(/bin/cat '" + unix_folder_ + "/orvosvr.pid')");
    for (int i = 0; i < 100 && Accepts(port_); ++i) ::Sleep(100);
    std::error_code ec;
    fs::remove_all(Folder(), ec);
  }
  bool Started() const { return Accepts(port_); }
  fs::path Folder() const override { return fs::path("Z:" + unix_folder_); }
  uint16_t Port() const override { return port_; }

 private:
  std::string unix_folder_;
  uint16_t port_;
};

// Sets a variable of this process (and so of the programs it starts) for
// as long as it lives; an empty value unsets it.
class Variable {
 public:
  Variable(const wchar_t* name, const std::wstring& value) : name_(name) {
    wchar_t saved[32768];
    DWORD n = ::GetEnvironmentVariableW(name, saved, 32768);
    if (n > 0 && n < 32768) saved_ = std::wstring(saved, n);
    ::SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());
  }
  ~Variable() { ::SetEnvironmentVariableW(name_, saved_ ? saved_->c_str() : nullptr); }
  Variable(const Variable&) = delete;
  Variable& operator=(const Variable&) = delete;

 private:
  const wchar_t* name_;
  std::optional<std::wstring> saved_;
};

// Runs orvo.exe with `args` against `port`; `password` goes in ORVO_PASSWORD
// unless empty. The user's folders are the scratch folder.
ProgramRun RunOrvoExe(const testing_support::TempFolder& scratch, uint16_t port, std::vector<std::string> args,
                      const std::string& password = "northwind", const std::string& input = "") {
  std::string line = "\"" ORVO_EXE "\" --port " + std::to_string(port);
  for (const std::string& arg : args) line += " \"" + arg + "\"";
  std::wstring folder = fs::path(scratch.Path()).wstring();
  Variable password_variable(L"ORVO_PASSWORD", fs::path(password).wstring());
  Variable app_data(L"APPDATA", folder), local_app_data(L"LOCALAPPDATA", folder);
  Variable tmp(L"TMP", folder), temp(L"TEMP", folder);
  return testing_support::RunProgram(line, scratch.Path(), 60000, input);
}

struct ExeCase {
  const char* name;
  std::vector<std::string> args;
  std::string password;
  std::string input;
  int status;
  std::string out;        // standard output, exactly
  std::string err_holds;  // a part of standard error
};

// What every service must answer alike.
const ExeCase kAgainstEveryService[] = {
    {"port", {"--user", "Warden", "port"}, "northwind", "", orvo::kExitOk, "2593\n", ""},
    {"wrong password", {"--user", "Warden", "port"}, "not-it", "", orvo::kExitLogin, "", "Login failed"},
    {"no such file", {"--user", "Warden", "get", "nothere.scp", "-o", "-"}, "northwind", "", orvo::kExitRefused, "",
     "Could not open file nothere.scp."},
    {"too few privileges", {"--user", "Keeper", "put", "gyriondefs2.scp", "-"}, "lantern7", "x\n",
     orvo::kExitRefused, "", "sufficient priveleges"},
    {"shell script", {"--user", "Warden", "shell"}, "northwind", "port\n\nget nothere.scp\nport\n",
     orvo::kExitRefused, "2593\n", "orvo: get nothere.scp: Could not open file nothere.scp."},
    {"bad usage", {"--user", "Warden", "fetch"}, "northwind", "", orvo::kExitUsage, "", "unknown command fetch"},
};

void RunTable(const Service& service) {
  testing_support::TempFolder scratch("orvo-exe-");
  for (const ExeCase& c : kAgainstEveryService) {
    ProgramRun run = RunOrvoExe(scratch, service.Port(), c.args, c.password, c.input);
    EXPECT_EQ(run.exit_code, c.status) << c.name << ": " << run.err;
    EXPECT_EQ(run.raw_out, c.out) << c.name;
    EXPECT_NE(run.err.find(c.err_holds), std::string::npos) << c.name << ": " << run.err;
  }
  // Files travel byte for byte: standard output and input are not text
  // streams, and Ctrl+Z ends nothing.
  std::string items = Slurp(service.Folder() / "gyrionitem2.scp");
  ProgramRun get = RunOrvoExe(scratch, service.Port(), {"--user", "Warden", "get", "gyrionitem2.scp", "-o", "-"});
  EXPECT_EQ(get.exit_code, orvo::kExitOk) << get.err;
  EXPECT_EQ(get.raw_out, WithoutCr(items));
  std::string target = scratch.File("items.scp");
  ASSERT_EQ(RunOrvoExe(scratch, service.Port(), {"--user", "Warden", "get", "gyrionitem2.scp", "-o", target}).exit_code,
            orvo::kExitOk);
  EXPECT_EQ(Slurp(target), WithoutCr(items));
  ProgramRun put = RunOrvoExe(scratch, service.Port(), {"--user", "Warden", "put", "gyriondefs2.scp", "-"},
                              "northwind", "[DEFNAME moor]\nFOG=\x1a\n");
  EXPECT_EQ(put.exit_code, orvo::kExitOk) << put.err;
  EXPECT_EQ(put.raw_out, "stored gyriondefs2.scp (21 bytes)\n");
  EXPECT_EQ(Slurp(service.Folder() / "scripts" / "gyriondefs2.scp"), "[DEFNAME moor]\r\nFOG=\x1a\r\n");
  // Nobody listens on a port that was just free.
  ProgramRun none = RunOrvoExe(scratch, FreePort(), {"--user", "Warden", "port"});
  EXPECT_EQ(none.exit_code, orvo::kExitConnection) << none.err;
}

TEST(OrvoExe, AgainstTheWindowsService) {
  WindowsService service;
  ASSERT_TRUE(service.Started());
  RunTable(service);
  // --ssh, with the stand-in that plays ssh.exe under Wine.
  testing_support::TempFolder scratch("orvo-exe-");
  Variable ssh(L"ORVO_SSH", fs::path(SSH_STANDIN_EXE).wstring());
  ProgramRun run = RunOrvoExe(scratch, service.Port(), {"--ssh", "shard", "--user", "Warden", "port"});
  EXPECT_EQ(run.exit_code, orvo::kExitOk) << run.err;
  EXPECT_EQ(run.raw_out, "2593\n");
}

TEST(OrvoExe, AgainstTheLinuxService) {
  if (std::string(LINUX_ORVOSVR).empty()) {
    std::cout << "[ note ] no Linux orvosvr was given (KIT_HOST_ORVOSVR): orvo.exe talks to orvosvr.exe only\n";
    GTEST_SKIP();
  }
  LinuxService service;
  ASSERT_TRUE(service.Started()) << Slurp(service.Folder() / "console.out");
  RunTable(service);
}

TEST(OrvoExe, ProfilesLiveInAppData) {
  WindowsService service;
  ASSERT_TRUE(service.Started());
  testing_support::TempFolder scratch("orvo-exe-");
  std::string config = scratch.WriteText("orvo\\config",
                                     "[default]\nport = " + std::to_string(service.Port()) +
                                         "\nuser = Warden\npassword-command = echo northwind\n"
                                         "[file]\nport = " + std::to_string(service.Port()) +
                                         "\nuser = Warden\npassword-file = warden.pw\n");
  std::string password_file = scratch.WriteText("orvo\\warden.pw", "northwind\r\n");
  ASSERT_TRUE(orvo::testing::ShareFile(config, Sharing::kPrivate));
  struct Case {
    const char* name;
    std::vector<std::string> args;
    Sharing password_file;
    int status;
    std::string err_holds;
  } cases[] = {
      {"a password command run by cmd", {"port"}, Sharing::kPrivate, orvo::kExitOk, ""},
      {"a password file others may read", {"--profile", "file", "port"}, Sharing::kOthersRead, orvo::kExitLocalFile,
       "is open to others; run icacls"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(orvo::testing::ShareFile(password_file, c.password_file));
    ProgramRun run = RunOrvoExe(scratch, service.Port(), c.args, "");
    EXPECT_EQ(run.exit_code, c.status) << c.name << ": " << run.err;
    EXPECT_NE(run.err.find(c.err_holds), std::string::npos) << c.name << ": " << run.err;
  }
}

TEST(OrvoExe, EditRunsTheEditorThroughCmd) {
  WindowsService service;
  ASSERT_TRUE(service.Started());
  testing_support::TempFolder scratch("orvo-exe-");
  Variable visual(L"VISUAL", fs::path(scratch.WriteText("edit.cmd", "@echo typed>> \"%~1\"\r\n")).wstring());
  ProgramRun run = RunOrvoExe(scratch, service.Port(), {"--user", "Warden", "edit", "gyriondefs2.scp"});
  EXPECT_EQ(run.exit_code, orvo::kExitOk) << run.err;
  EXPECT_NE(Slurp(service.Folder() / "gyriondefs2.scp").find("typed\r\n"), std::string::npos);
  for (const auto& entry : fs::directory_iterator(scratch.Path())) {
    EXPECT_EQ(entry.path().filename().string().find("orvo-edit-"), std::string::npos) << "a scratch folder is left";
  }
}

}  // namespace
