// End-to-end: the real orvosvr binary configured as a service: its switches,
// install and remove against a stand-in systemctl, the console debug mode,
// and a run under a service manager played by the test's own notification
// socket.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "service/tests/notify_socket.h"
#include "testing/orvosvr/server_process.h"
#include "testing/orvosvr/systemctl_standin.h"

namespace {

namespace fs = std::filesystem;
using testing_support::NotifySocket;
using testing_support::ServerProcess;
using testing_support::SystemctlStandIn;

const std::string kUsage =
    "orvosvr -install\t\t\tto install the service\n"
    "orvosvr -remove\t\t\tto remove the service\n"
    "orvosvr -debug\t\t\tto debug the service\n"
    "\nStartServiceCtrlDispatcher being called.\n"
    "This may take serveral seconds... Please wait.\n";
const std::string kNotConfigured = "You don't have Orvo Server configured as a service in orvosvr.cfg\n";

// A copy of the example game server whose orvosvr is configured by
// `config`, under a server name no other test process uses (the single-
// instance guard is machine-wide), with a stand-in systemctl on PATH and a
// unit folder of its own.
struct ServiceFolder {
  explicit ServiceFolder(const std::vector<std::string>& config = {"NTSERVICE"}) {
    static int counter = 0;
    server_name = "Northmoor " + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    full_name = "Orvo Server - " + server_name;
    server = std::make_unique<ServerProcess>(config);
    std::string ini = server->ReadFile("gyrion.ini");
    ini.replace(ini.find("[SERVERS]\r\nNorthmoor\r\n") + 11, 9, server_name);
    server->WriteFile("gyrion.ini", ini);
    standin = std::make_unique<SystemctlStandIn>(server->folder() / "standin");
    fs::create_directories(units());
    const char* path = std::getenv("PATH");
    server->SetEnv("PATH", standin->bin() + ":" + (path ? path : "/usr/bin:/bin"));
    server->SetEnv("ORVOSVR_UNIT_DIR", units().string());
    server->UnsetEnv("NOTIFY_SOCKET");
  }
  fs::path units() const { return server->folder() / "units"; }
  // The unit file's path: the full name escaped as systemd escapes unit names.
  fs::path unit() const {
    std::string name;
    for (char c : full_name) name += c == ' ' ? std::string("\\x20") : c == '-' ? std::string("\\x2d") : std::string(1, c);
    return units() / (name + ".service");
  }
  std::string Run(const std::vector<std::string>& args, int* exit_code) {
    std::string console;
    *exit_code = server->RunOnce(args, &console);
    return console;
  }

  std::string server_name;
  std::string full_name;
  std::unique_ptr<ServerProcess> server;
  std::unique_ptr<SystemctlStandIn> standin;
};

TEST(ServiceSwitches, FirstArgumentAndConfiguration) {
  struct Case {
    std::vector<std::string> config;
    std::vector<std::string> args;
    std::string want;  // "%s" stands for the server name
    int exit_code;
    bool installed;
  };
  const std::string installed = "orvosvr installed for server %s\n";
  const Case cases[] = {
      {{"NTSERVICE"}, {"-install"}, installed, 0, true},
      {{"NTSERVICE"}, {"/INSTALL"}, installed, 0, true},
      {{"NTSERVICE=0"}, {"-InStAlL", "-remove"}, installed, 0, true},
      {{"NTSERVICE"}, {"/remove"}, "OpenService() failed - No such file or directory (0x2)\n", 0, false},
      {{"NTSERVICE"}, {"install"}, kUsage, 255, false},
      {{"NTSERVICE"}, {"-installs"}, kUsage, 255, false},
      {{"NTSERVICE"}, {"-"}, kUsage, 255, false},
      {{"NTSERVICE"}, {}, kUsage, 255, false},
      {{}, {"-install"}, kNotConfigured, 255, false},
      {{"  NTSERVICE"}, {"-debug"}, kNotConfigured, 255, false},
      {{"#NTSERVICE"}, {"/remove"}, kNotConfigured, 255, false},
  };
  for (const Case& c : cases) {
    ServiceFolder folder(c.config);
    std::string args;
    for (const std::string& a : c.args) args += a + " ";
    int exit_code = -1;
    std::string want = c.want;
    if (want.find("%s") != std::string::npos) want.replace(want.find("%s"), 2, folder.server_name);
    EXPECT_EQ(folder.Run(c.args, &exit_code), want) << args;
    EXPECT_EQ(exit_code, c.exit_code) << args;
    EXPECT_EQ(fs::exists(folder.unit()), c.installed) << args;
  }
}

TEST(ServiceSwitches, InstallThenRemove) {
  ServiceFolder folder;
  int exit_code = -1;
  EXPECT_EQ(folder.Run({"-install"}, &exit_code), "orvosvr installed for server " + folder.server_name + "\n");
  std::ifstream in(folder.unit());
  std::string unit((std::istreambuf_iterator<char>(in)), {});
  std::string exe = (folder.server->folder() / "orvosvr").string();
  EXPECT_NE(unit.find("ExecStart=\"" + exe + "\"\n"), std::string::npos) << unit;
  EXPECT_NE(unit.find("WorkingDirectory=" + folder.server->folder().string() + "\n"), std::string::npos) << unit;
  for (const char* line : {"Type=notify\n", "Restart=on-failure\n", "WantedBy=multi-user.target\n"}) {
    EXPECT_NE(unit.find(line), std::string::npos) << unit;
  }

  folder.standin->QueueStates({"inactive"});
  EXPECT_EQ(folder.Run({"-remove"}, &exit_code), folder.full_name + " has been removed.\n");
  EXPECT_EQ(exit_code, 0);
  EXPECT_FALSE(fs::exists(folder.unit()));
  std::string unit_name = folder.unit().filename().string();
  EXPECT_EQ(folder.standin->Calls(),
            (std::vector<std::string>{"--version", "daemon-reload", "enable " + unit_name, "--version",
                                      "show --property=ActiveState --value " + unit_name, "disable " + unit_name,
                                      "daemon-reload"}));
}

TEST(DebugService, CtrlCAndCtrlBreakStopTheServerAndASecondInstanceIsRefused) {
  ServiceFolder moor;
  ServiceFolder fen;
  ASSERT_TRUE(moor.server->Start({"-debug", "extra"})) << moor.server->Console();
  // Another game server's service runs beside it.
  ASSERT_TRUE(fen.server->Start({"/DEBUG"})) << fen.server->Console();

  int exit_code = 0;
  EXPECT_EQ(moor.Run({"-debug"}, &exit_code),
            "Debugging " + moor.full_name +
                ".\nService Start pending...Orvo Server could not create a named pipe.\n"
                "This is usually due to another instance of this program running\non this machine.\nTerminating\n."
                "An unexpected error occurred (rc = -4).\n");
  EXPECT_EQ(exit_code, 256 - 4);

  moor.server->Signal(SIGINT);
  fen.server->Signal(SIGQUIT);
  EXPECT_EQ(moor.server->WaitForExit(), 0);
  EXPECT_EQ(fen.server->WaitForExit(), 0);
  for (ServiceFolder* f : {&moor, &fen}) {
    std::string console = f->server->Console();
    EXPECT_EQ(console.rfind("Debugging " + f->full_name + ".\nService Start pending...started.\n", 0), 0u) << console;
    EXPECT_TRUE(console.ends_with("Closing orvosvr\nThe exit code is 0\n")) << console;
  }
}

TEST(DebugService, ClosingTheConsoleEndsTheProcessAtOnce) {
  ServiceFolder folder;
  ASSERT_TRUE(folder.server->Start({"-debug"})) << folder.server->Console();
  folder.server->Signal(SIGHUP);
  EXPECT_EQ(folder.server->WaitForExit(), 128 + SIGHUP);
  EXPECT_EQ(folder.server->Console().find("Closing orvosvr"), std::string::npos);
}

TEST(UnderServiceManager, ReportsItsStatesAndStopsOnSigterm) {
  ServiceFolder folder;
  NotifySocket manager;
  ASSERT_FALSE(manager.address().empty());
  folder.server->SetEnv("NOTIFY_SOCKET", manager.address());
  ASSERT_TRUE(folder.server->Start()) << folder.server->Console();

  std::string starting = manager.ReceiveThrough("READY=1");
  const std::string extend = "\nEXTEND_TIMEOUT_USEC=5000000|";
  std::string want;
  for (int i = 1; i <= 5; ++i) want += "STATUS=Start pending (checkpoint " + std::to_string(i) + ")" + extend;
  EXPECT_EQ(starting, want + "READY=1\nSTATUS=Running|");

  // SIGHUP asks for the status only.
  folder.server->Signal(SIGHUP);
  EXPECT_EQ(manager.Receive(), "READY=1\nSTATUS=Running");
  EXPECT_EQ(folder.server->WaitForExit(0), -1);

  folder.server->Signal(SIGTERM);
  EXPECT_EQ(folder.server->WaitForExit(), 0);
  std::string stopping;
  for (std::string m = manager.Receive(0); m != "<timeout>"; m = manager.Receive(0)) stopping += m + "|";
  // The stop request, the control's own report, five more one second apart,
  // and the stopped state with the exit code (from the service and the entry routine).
  want.clear();
  for (int i = 6; i <= 12; ++i) want += "STOPPING=1\nSTATUS=Stop pending (checkpoint " + std::to_string(i) + ")" + extend;
  want += "STATUS=Stopped (exit code 0)|STATUS=Stopped (exit code 0)|";
  EXPECT_EQ(stopping, want);

  std::string console = folder.server->Console();
  EXPECT_EQ(console.rfind(kUsage, 0), 0u) << console;
  EXPECT_TRUE(console.ends_with("Closing orvosvr\n")) << console;
}

}  // namespace
