#include "service/protocol/listener.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "service/gamedata/spawn_list.h"
#include "service/host/config.h"
#include "service/host/event_messages.h"
#include "service/host/log.h"
#include "service/host/service_control.h"
#include "service/host/text_lines.h"
#include "service/platform/clock.h"
#include "service/platform/net.h"
#include "service/platform/process.h"
#include "service/protocol/session.h"

namespace protocol {

namespace {

constexpr const char* kVersion = "0.13.3.6";
constexpr int kPauseMs = 10;
// The longest the loop sleeps before it looks at the spawn timer again.
constexpr long long kLongestWaitSeconds = 3600;

std::vector<std::string> SplitHosts(const std::string& list) {
  std::vector<std::string> tokens;
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    size_t end = comma == std::string::npos ? list.size() : comma;
    if (end > start) tokens.push_back(list.substr(start, end - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return tokens;
}

bool AnyMatches(const std::string& list, const std::string& address, const std::optional<std::string>& host_name) {
  for (const std::string& token : SplitHosts(list)) {
    if (HostMatches(address, host_name, token)) return true;
  }
  return false;
}

void RunDetachedOrInline(bool inline_run, std::function<void()> work) {
  if (inline_run) {
    work();
  } else {
    std::thread(std::move(work)).detach();
  }
}

void Admit(platform::Socket socket, const std::string& peer, const std::shared_ptr<LoginFailures>& failures) {
  // A blocked address learns nothing, not even the greeting, and costs no
  // lookup, no thread and no log line.
  if (failures && failures->Blocked(peer, platform::MonotonicMs())) return;
  auto session = std::make_unique<ClientSession>();
  session->socket = std::move(socket);
  session->address = peer;
  session->login_failures = failures;
  std::optional<std::string> host_name = platform::ReverseLookup(peer);
  host::WriteLog("Checking if host %s is allowed to connect...\n", session->address.c_str());
  if (!IsHostAllowed(session->address, host_name)) {
    platform::ShutdownBoth(session->socket);
    if (host_name) {
      host::WriteLog("Blocking incoming connection from %s (%s).\n", session->address.c_str(), host_name->c_str());
    } else {
      host::WriteLog("Blocking incoming connection from %s.\n", session->address.c_str());
    }
    return;
  }
  if (host_name) {
    host::WriteLog("Socket %ld connected from %s (%s).\n", session->socket.Id(), session->address.c_str(),
                   host_name->c_str());
  } else {
    host::WriteLog("Socket %ld connected from %s.\n", session->socket.Id(), session->address.c_str());
  }
  std::shared_ptr<ClientSession> owned(std::move(session));
  RunDetachedOrInline(host::Config().no_multithreading, [owned]() { SessionMain(*owned); });
}

// Milliseconds until the spawn list is due again ("more than SPAWNREFRESHTIME
// seconds" after the last reload; the clock counts whole seconds).
int MsUntilReload(long long last_reload) {
  if (last_reload == 0) return 0;
  long long refresh = std::max<long long>(host::Config().spawn_refresh_time, 0);
  long long due = last_reload + refresh + 1;
  long long now = platform::UnixTime();
  if (due <= now) return 0;
  return static_cast<int>(std::min(due - now, kLongestWaitSeconds) * 1000);
}

}  // namespace

bool HostMatches(const std::string& address, const std::optional<std::string>& host_name, const std::string& token) {
  if (token.empty()) {
    host::WriteLog("ERROR: TestHost is empty.\n");
    return false;
  }
  if (host::ContainsNoCase(address, token) != std::string::npos) return true;
  return host_name && host::ContainsNoCase(*host_name, token) != std::string::npos;
}

bool IsHostAllowed(const std::string& address, const std::optional<std::string>& host_name) {
  const std::string denied = host::Config().denied_hosts;
  const std::string allowed = host::Config().allowed_hosts;
  if (address.empty()) {
    host::WriteLog("Unable to determine hostname for client.\n");
    return false;
  }
  if (!denied.empty() && AnyMatches(denied, address, host_name)) return false;
  if (allowed.empty()) return true;
  return AnyMatches(allowed, address, host_name);
}

int ServerMain(int /*argc*/, char** /*argv*/) {
  host::ResetConfig();
  if (!host::CreateOutputMutex()) {
    host::PrintConsole("Unable to create mutex for standard output.  Closing.");
    host::ReportServiceEvent(host::kEventNoOutputMutex, {host::Service().full_name});
    return 0;
  }
  host::ReadServiceConfig();
  host::ReadGameIni();
  const host::ServiceConfig& config = host::Config();

  host::WriteLog("Initializing socket libraries....");
  platform::NetStartup();
  host::WriteLog("done\n");
  host::WriteLog("orvosvr for %s version %s startup complete\n", platform::PlatformName(), kVersion);

  if (!config.listen_address.empty() && !platform::IsListenAddress(config.listen_address)) {
    // Never every address in place of the one the administrator named.
    host::WriteLog("Fatal error: LISTENADDRESS %s is not an IP address.\n",
                   host::EscapeForLog(config.listen_address).c_str());
    platform::NetCleanup();
    host::DestroyOutputMutex();
    return 0;
  }
  int stage = 0;
  // The backlog is at least the system's longest: a burst of connections
  // waits there instead of being dropped.
  int backlog = std::max<int>(config.max_connections, platform::MaxListenBacklog());
  platform::Socket listener = platform::OpenListener(config.listen_address, config.port, backlog, &stage);
  if (!listener.Valid()) {
    host::WriteLog(stage == 3 ? "Fatal error: Unable to listen to socket.\n" : "Fatal error: Unable to bind socket.\n");
    platform::NetCleanup();
    host::DestroyOutputMutex();
    return 0;
  }

  // A stop request wakes the loop at once; whoever runs the service may have
  // made the event already.
  platform::WakeEvent own_stop_event;
  host::ServiceControl& service = host::Service();
  if (service.stop_event == nullptr) host::SetStopEvent(&own_stop_event);

  std::shared_ptr<LoginFailures> failures;
  if (config.max_login_failures > 0 && config.login_block_time > 0) {
    failures = std::make_shared<LoginFailures>(config.max_login_failures,
                                               static_cast<int64_t>(config.login_block_time) * 1000);
  }
  long long last_reload = 0;
  bool poll_failed = false;
  int poll_error = 0;
  while (!host::StopRequested()) {
    platform::WaitResult w = platform::WaitReadableOrWake(listener, *service.stop_event, MsUntilReload(last_reload));
    poll_failed = w == platform::WaitResult::kError;
    if (poll_failed) {
      poll_error = platform::LastSocketError();
      platform::SleepMs(kPauseMs);
    } else if (w == platform::WaitResult::kReady) {
      std::string peer;
      platform::Socket socket = platform::Accept(listener, &peer);
      if (socket.Valid()) Admit(std::move(socket), peer, failures);
    }
    long long now = platform::UnixTime();
    if (now - last_reload > std::max<long long>(config.spawn_refresh_time, 0)) {
      last_reload = now;
      host::WriteLog("Reloading Spawn information.\n");
      RunDetachedOrInline(config.no_multithreading, [] { gamedata::LoadSpawnList(); });
    }
  }
  if (poll_failed) host::WriteLog("Server terminated with a socket error -- %ld\n", static_cast<long>(poll_error));
  // A client that tries while the service stops is refused at once, rather
  // than left waiting in the backlog until the process ends.
  listener.Close();

  for (int i = 0; i < 5; ++i) {
    host::ReportStatus();
    platform::SleepMs(1000);
  }
  if (service.stop_event == &own_stop_event) host::SetStopEvent(nullptr);
  platform::NetCleanup();
  host::DestroyOutputMutex();
  host::PrintConsole("Closing orvosvr\n");
  return 0;
}

}  // namespace protocol
