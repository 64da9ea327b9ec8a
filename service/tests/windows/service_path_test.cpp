// The service path under Wine: "orvosvr -install" with NTSERVICE in
// "orvosvr.cfg", the service started through the Service Control Manager
// ("net start"), a client session against it, the stop with its status
// reports, the events as far as Wine records them, "orvosvr -remove", and STRT
// starting the game server's own service.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>
#include <vector>

#include "service/platform/clock.h"
#include "service/tests/raw_client.h"
#include "testing/orvosvr/windows_server.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Fetch;
using testing_support::ProgramRun;
using testing_support::RawClient;
using testing_support::WindowsServer;
using testing_support::WithoutCr;

const std::string kService = "Orvo Server - Northmoor";
const std::string kGameService = "Gyrion - Northmoor";
constexpr int kDeadlineMs = 60000;

// A service's status as the manager reports it; dwCurrentState 0 when it
// cannot be queried.
SERVICE_STATUS Query(const std::string& name) {
  SERVICE_STATUS status{};
  SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  SC_HANDLE service = manager ? ::OpenServiceA(manager, name.c_str(), SERVICE_QUERY_STATUS) : nullptr;
  if (service == nullptr || !::QueryServiceStatus(service, &status)) status.dwCurrentState = 0;
  if (service) ::CloseServiceHandle(service);
  if (manager) ::CloseServiceHandle(manager);
  return status;
}

// Polls the service until it is in `state`; every status seen on the way is
// kept in `seen`. False when it never gets there.
bool WaitForState(const std::string& name, DWORD state, std::vector<SERVICE_STATUS>* seen = nullptr) {
  int64_t deadline = platform::MonotonicMs() + kDeadlineMs;
  while (platform::MonotonicMs() < deadline) {
    SERVICE_STATUS status = Query(name);
    if (seen) seen->push_back(status);
    if (status.dwCurrentState == state) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

bool SendStop(const std::string& name) {
  SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  SC_HANDLE service = manager ? ::OpenServiceA(manager, name.c_str(), SERVICE_STOP) : nullptr;
  SERVICE_STATUS status{};
  bool sent = service != nullptr && ::ControlService(service, SERVICE_CONTROL_STOP, &status);
  if (service) ::CloseServiceHandle(service);
  if (manager) ::CloseServiceHandle(manager);
  return sent;
}

// A value under HKEY_LOCAL_MACHINE with its type; type 0 when missing.
struct RegistryValue {
  DWORD type = 0;
  std::string data;
};

RegistryValue ReadValue(const std::string& key, const char* name) {
  RegistryValue value;
  HKEY h = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return value;
  DWORD size = 0;
  if (::RegQueryValueExA(h, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
    value.data.resize(size);
    ::RegQueryValueExA(h, name, nullptr, &value.type, reinterpret_cast<BYTE*>(value.data.data()), &size);
  }
  ::RegCloseKey(h);
  return value;
}

// One event as Wine's event log stub traces it: "ReportEventA (handle,type,
// category,id,...)" on the fixme channel of advapi, followed by one line per
// insertion string on the eventlog channel.
struct TracedEvent {
  unsigned type = 0;
  unsigned id = 0;
  std::vector<std::string> inserts;
};

std::vector<TracedEvent> TracedEvents(const std::string& trace) {
  std::vector<TracedEvent> events;
  size_t at = 0;
  while ((at = trace.find('\n', at)) != std::string::npos) {
    size_t start = ++at;
    size_t end = trace.find('\n', start);
    std::string line = trace.substr(start, end == std::string::npos ? std::string::npos : end - start);
    size_t report = line.find("fixme:advapi:ReportEventA (");
    size_t insert = line.find(":eventlog:ReportEventW L\"");
    if (report != std::string::npos) {
      TracedEvent e;
      unsigned category = 0;
      // The handle is a pointer in hexadecimal; type, category and id follow.
      size_t comma = line.find(',', report);
      if (comma != std::string::npos &&
          std::sscanf(line.c_str() + comma + 1, "0x%x,0x%x,0x%x", &e.type, &category, &e.id) == 3) {
        events.push_back(e);
      }
    } else if (insert != std::string::npos && !events.empty()) {
      size_t open = insert + std::string(":eventlog:ReportEventW L\"").size();
      size_t close = line.rfind('"');
      if (close != std::string::npos && close >= open) events.back().inserts.push_back(line.substr(open, close - open));
    }
  }
  return events;
}

// Where the test's Wine session writes the traces of the processes that
// services.exe starts (the session's first process's standard error), as the
// test driver names it; empty when it does not.
std::string EventTraceFile() {
  const char* file = std::getenv("KIT_WINE_EVENT_TRACE");
  return file != nullptr ? file : "";
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class ServicePath : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<WindowsServer>(std::vector<std::string>{"NTSERVICE"});
  }
  void TearDown() override {
    // Leave nothing installed, whatever failed.
    if (Query(kService).dwCurrentState != 0) server_->RunOnce("-remove");
    server_.reset();
  }
  RawClient LoggedIn() {
    RawClient c(server_->port());
    EXPECT_EQ(c.Login("Warden", "northwind"), "Login successful. Protocol 1.0\r\n");
    return c;
  }
  ProgramRun Net(const std::string& verb, const std::string& service) {
    return testing_support::RunProgram("net " + verb + " \"" + service + "\"", server_->folder());
  }
  std::unique_ptr<WindowsServer> server_;
};

TEST_F(ServicePath, InstallStartServeStopAndRemove) {
  // Install: the service entry and the registry keys.
  ProgramRun install = server_->RunOnce("-install");
  EXPECT_EQ(install.out, "orvosvr installed for server Northmoor\n");
  EXPECT_EQ(install.exit_code, 0);
  std::string exe = server_->Executable();
  {
    SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = ::OpenServiceA(manager, kService.c_str(), SERVICE_QUERY_CONFIG);
    ASSERT_NE(service, nullptr);
    DWORD size = 0;
    ::QueryServiceConfigA(service, nullptr, 0, &size);
    std::vector<char> buffer(size);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    ASSERT_TRUE(::QueryServiceConfigA(service, config, size, &size));
    EXPECT_EQ(config->dwServiceType, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
    EXPECT_EQ(config->dwStartType, static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_EQ(config->dwErrorControl, static_cast<DWORD>(SERVICE_ERROR_NORMAL));
    EXPECT_EQ(std::string(config->lpBinaryPathName), "\"" + exe + "\"");
    EXPECT_EQ(std::string(config->lpDisplayName), kService);
    ::CloseServiceHandle(service);
    ::CloseServiceHandle(manager);
  }
  const std::string source_key = "System\\CurrentControlSet\\Services\\EventLog\\Application\\orvosvr";
  RegistryValue message_file = ReadValue(source_key, "EventMessageFile");
  EXPECT_EQ(message_file.type, static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_EQ(message_file.data, exe + std::string(1, '\0'));
  RegistryValue types = ReadValue(source_key, "TypesSupported");
  EXPECT_EQ(types.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(types.data, std::string("\x07\0\0\0", 4));
  RegistryValue working = ReadValue("System\\CurrentControlSet\\Services\\" + kService + "\\Parameters", "WorkingPath");
  EXPECT_EQ(working.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(working.data.substr(0, working.data.find('\0')), server_->folder().string());

  ProgramRun again = server_->RunOnce("-install");
  EXPECT_EQ(again.out.rfind("CreateService() failed - ", 0), 0u) << again.out;
  EXPECT_NE(again.out.find(" (0x431)\n"), std::string::npos) << again.out;

  // Started from a console, the service's process finds no manager to talk to.
  ProgramRun plain = server_->RunOnce("");
  EXPECT_EQ(plain.exit_code, -1);
  EXPECT_NE(plain.out.find("\nStartServiceCtrlDispatcher being called.\n"), std::string::npos);

  // Start through the Service Control Manager.
  ProgramRun start = Net("start", kService);
  EXPECT_EQ(start.exit_code, 0) << start.out << start.err;
  ASSERT_TRUE(WaitForState(kService, SERVICE_RUNNING));
  SERVICE_STATUS running = Query(kService);
  EXPECT_EQ(running.dwControlsAccepted, static_cast<DWORD>(SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN));
  EXPECT_EQ(running.dwCheckPoint, 0u);

  {
    // A session against the service.
    ASSERT_TRUE(server_->WaitForLog("startup complete\r\n"));
    int64_t deadline = platform::MonotonicMs() + kDeadlineMs;
    RawClient probe(server_->port());
    while (!probe.connected() && platform::MonotonicMs() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      probe = RawClient(server_->port());
    }
    probe.Close();
    RawClient c = LoggedIn();
    EXPECT_EQ(Fetch(c, "GITM"), WithoutCr(server_->ReadFile("gyrionitem2.scp")));
    c.Send("QUIT");
    EXPECT_EQ(c.Receive(), "Closing connection.\r\n");
  }
  // While the service runs, a console copy for the same game server is
  // refused at the pipe.
  ProgramRun debug = server_->RunOnce("-debug");
  EXPECT_EQ(debug.exit_code, -4);
  EXPECT_NE(debug.out.find("Orvo Server could not create a named pipe.\n"), std::string::npos) << debug.out;

  // The stop: stop pending, reported with growing checkpoints and a wait
  // hint, then stopped with exit code 0.
  ASSERT_TRUE(SendStop(kService));
  std::vector<SERVICE_STATUS> seen;
  ASSERT_TRUE(WaitForState(kService, SERVICE_STOPPED, &seen));
  DWORD last_checkpoint = 0;
  int pending = 0;
  for (const SERVICE_STATUS& s : seen) {
    if (s.dwCurrentState != SERVICE_STOP_PENDING) continue;
    ++pending;
    EXPECT_GE(s.dwCheckPoint, last_checkpoint);
    EXPECT_EQ(s.dwWaitHint, 5000u);
    last_checkpoint = s.dwCheckPoint;
  }
  EXPECT_GT(pending, 0);
  EXPECT_GT(last_checkpoint, 0u);
  EXPECT_EQ(seen.back().dwWin32ExitCode, 0u);
  EXPECT_EQ(seen.back().dwCheckPoint, 0u);
  EXPECT_NE(server_->Log().find("orvosvr for Win32 version 0.13.3.6 startup complete\r\n"), std::string::npos);

  // Removing a running service stops it first, a dot a second.
  ProgramRun restart = Net("start", kService);
  EXPECT_EQ(restart.exit_code, 0) << restart.out;
  ASSERT_TRUE(WaitForState(kService, SERVICE_RUNNING));
  ProgramRun remove = server_->RunOnce("-remove");
  EXPECT_EQ(remove.out.rfind("Stopping orvosvr.", 0), 0u) << remove.out;
  size_t stopped = remove.out.find("\norvosvr has stopped.\nOrvo Server - Northmoor has been removed.\n");
  EXPECT_NE(stopped, std::string::npos) << remove.out;
  EXPECT_EQ(remove.out.find_first_not_of('.', 16), stopped) << remove.out;
  // A deleted service is gone once the last handle to it closes, which may
  // be the stopped process's a moment after -remove returns.
  EXPECT_TRUE(WaitForState(kService, 0));
  // The event source stays registered.
  EXPECT_EQ(ReadValue(source_key, "TypesSupported").type, static_cast<DWORD>(REG_DWORD));
  ProgramRun gone = server_->RunOnce("-remove");
  EXPECT_EQ(gone.out.rfind("OpenService() failed - ", 0), 0u) << gone.out;
  EXPECT_NE(gone.out.find(" (0x424)\n"), std::string::npos) << gone.out;

  // The events: Wine keeps no event log that could be read back, but its stub
  // traces each report with its type, id and insertion strings, for every
  // process of the session.
  std::printf("[ note ] Wine keeps no event log to read back: the events are checked in its stub's traces\n");
  std::string trace_file = EventTraceFile();
  std::vector<TracedEvent> events = trace_file.empty() ? std::vector<TracedEvent>() : TracedEvents(Slurp(trace_file));
  if (events.empty()) {
    std::printf("[ note ] no Wine event traces to check (%s)\n",
                trace_file.empty() ? "KIT_WINE_EVENT_TRACE is not set" : trace_file.c_str());
    return;
  }
  struct Want {
    unsigned id;
    unsigned type;
  };
  const Want wanted[] = {
      {0xE00003EA, 1},                                                     // the dispatcher refused a console start
      {0x600003E8, 4}, {0x600003E9, 4}, {0x600003EB, 4}, {0x600003EC, 4},  // start, running, stop, stopped
      {0x600003E8, 4}, {0x600003E9, 4}, {0x600003EB, 4}, {0x600003EC, 4},  // and again, stopped by -remove
  };
  ASSERT_EQ(events.size(), std::size(wanted));
  for (size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(events[i].id, wanted[i].id) << i;
    EXPECT_EQ(events[i].type, wanted[i].type) << i;
    ASSERT_FALSE(events[i].inserts.empty()) << i;
    EXPECT_EQ(events[i].inserts[0], kService) << i;
  }
  EXPECT_EQ(events[0].inserts.size(), 2u);
  EXPECT_NE(events[0].inserts.back().find("(0x427)"), std::string::npos) << events[0].inserts.back();
}

TEST_F(ServicePath, StartingTheGameServersService) {
  // The game server's own service, "Gyrion - <server name>", with a stand-in.
  fs::copy_file(FAKE_GAME_SERVER, server_->folder() / "gyrionsvr.exe");
  std::string command = "\"" + (server_->folder() / "gyrionsvr.exe").string() + "\" --service";
  SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  ASSERT_NE(manager, nullptr);
  SC_HANDLE game = ::CreateServiceA(manager, kGameService.c_str(), kGameService.c_str(), SERVICE_ALL_ACCESS,
                                    SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                    command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(game, nullptr) << ::GetLastError();

  std::string ini = server_->ReadFile("gyrion.ini");
  server_->WriteFile("gyrion.ini", ini.replace(ini.find("NTSERVICE=0"), 11, "NTSERVICE=1 // as a service"));
  ASSERT_TRUE(server_->Start("-debug")) << server_->Console();
  RawClient c = LoggedIn();
  c.Send("STRT");
  // The session ends without a reply.
  EXPECT_TRUE(c.Closed(kDeadlineMs));
  EXPECT_TRUE(server_->WaitForFile("gyrionsvr-started.txt", kDeadlineMs));
  EXPECT_EQ(server_->ReadFile("gyrionsvr-started.txt"), "service");
  ASSERT_TRUE(server_->WaitForLog("Service Started Successfully\r\n", kDeadlineMs)) << server_->Log();
  std::string log = server_->Log();
  EXPECT_TRUE(testing_support::HasLinesInOrder(
      log, {"User Warden is attempting to start the server\r\n", "Attempting to open the SCUM\r\n",
            "Attempting to open the Gyrion - Northmoor service\r\n", "Attempting to start the service\r\n",
            "Service Started Successfully\r\n"}))
      << log;
  EXPECT_TRUE(WaitForState(kGameService, SERVICE_RUNNING));

  // A second start finds it running.
  RawClient again = LoggedIn();
  again.Send("STRT");
  EXPECT_TRUE(again.Closed(kDeadlineMs));
  EXPECT_TRUE(server_->WaitForLog("Service Start Failed\r\n", kDeadlineMs));

  SendStop(kGameService);
  WaitForState(kGameService, SERVICE_STOPPED);
  ::DeleteService(game);
  ::CloseServiceHandle(game);
  ::CloseServiceHandle(manager);
}

}  // namespace
