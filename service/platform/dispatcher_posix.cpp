#include "service/platform/dispatcher.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <vector>

#include "service/platform/last_error.h"

namespace platform {

namespace {

// Which signal stands for which control or console event.
struct SignalRow {
  int number;
  uint32_t code;
};

const SignalRow kServiceControls[] = {
    {SIGTERM, 1},  // stop; systemd sends it for the system's shutdown too
    {SIGHUP, 4},   // interrogate
};

const SignalRow kConsoleEvents[] = {
    {SIGINT, 0},   // Ctrl+C
    {SIGQUIT, 1},  // Ctrl+\, the terminal's Ctrl+Break
    {SIGHUP, 2},   // the terminal was closed
    {SIGTERM, 6},  // the system shutting down
};

// The current routing: one table and its handler.
struct Route {
  std::vector<SignalRow> rows;
  ServiceControlRoutine control = nullptr;
  ConsoleControlRoutine console = nullptr;
};

// The signal handler writes the signal's number here; the watcher reads it.
int g_pipe[2] = {-1, -1};
std::once_flag g_started;
int g_start_error = 0;
std::mutex g_route_guard;
Route g_route;

// The manager's notification socket; never destroyed, as a control may still
// be answered while the process ends.
ServiceNotifier& Manager() {
  static ServiceNotifier* manager = new ServiceNotifier();
  return *manager;
}

// Only async-signal-safe calls: write, and errno saved for the thread it
// interrupted.
void OnSignal(int number) {
  int saved = errno;
  unsigned char byte = static_cast<unsigned char>(number);
  ssize_t ignored = ::write(g_pipe[1], &byte, 1);
  (void)ignored;
  errno = saved;
}

void EndByDefault(int number) {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  ::sigaction(number, &action, nullptr);
  ::kill(::getpid(), number);
}

// Answers one signal; false when it is left to its default action.
bool Answer(int number) {
  Route route;
  {
    std::lock_guard<std::mutex> lock(g_route_guard);
    route = g_route;
  }
  for (const SignalRow& row : route.rows) {
    if (row.number != number) continue;
    if (route.control != nullptr) {
      route.control(row.code);
      return true;
    }
    return route.console != nullptr && route.console(row.code);
  }
  return false;
}

void* Watch(void*) {
  for (;;) {
    unsigned char byte = 0;
    ssize_t n = ::read(g_pipe[0], &byte, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return nullptr;
    if (!Answer(byte)) EndByDefault(byte);
  }
}

void StartWatcher() {
  if (::pipe2(g_pipe, O_CLOEXEC) != 0) {
    g_start_error = errno;
    return;
  }
  // A signal must never block in its handler; a full pipe already holds
  // enough unhandled signals.
  ::fcntl(g_pipe[1], F_SETFL, O_NONBLOCK);
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
  pthread_t thread;
  g_start_error = ::pthread_create(&thread, &attr, Watch, nullptr);
  pthread_attr_destroy(&attr);
}

// Routes the signals of `rows` to the watcher, which hands them to the
// route's handler. Replaces any earlier routing.
template <size_t N>
bool RouteSignals(const SignalRow (&rows)[N], ServiceControlRoutine control, ConsoleControlRoutine console) {
  std::call_once(g_started, StartWatcher);
  if (g_start_error != 0) {
    SetLastError(g_start_error);
    return false;
  }
  {
    std::lock_guard<std::mutex> lock(g_route_guard);
    g_route = Route{std::vector<SignalRow>(rows, rows + N), control, console};
  }
  for (const SignalRow& row : rows) {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(row.number, &action, nullptr) != 0) {
      RecordSystemError();
      return false;
    }
  }
  return true;
}

}  // namespace

bool RunServiceDispatcher(const std::string& /*name*/, ServiceMainRoutine service_main, int argc, char** argv) {
  // systemd runs the process itself: it is the service when it was given a
  // notification socket.
  if (!ServiceNotifier::OpenFromEnvironment(&Manager())) return false;
  service_main(argc, argv);
  return true;
}

ServiceNotifier* RegisterServiceControlHandler(const std::string& /*name*/, ServiceControlRoutine handler) {
  if (!RouteSignals(kServiceControls, handler, nullptr)) return nullptr;
  return &Manager();
}

bool SetConsoleControlHandler(ConsoleControlRoutine handler) { return RouteSignals(kConsoleEvents, nullptr, handler); }

}  // namespace platform
