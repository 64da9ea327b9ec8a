#include "service/platform/signals.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#include "service/platform/last_error.h"

namespace platform {

namespace {

struct SignalRow {
  ProcessSignal signal;
  int number;
};

const SignalRow kSignals[] = {
    {ProcessSignal::kInterrupt, SIGINT},
    {ProcessSignal::kQuit, SIGQUIT},
    {ProcessSignal::kHangup, SIGHUP},
    {ProcessSignal::kTerminate, SIGTERM},
};

// The signal handler writes the signal's number here; the watcher reads it.
int g_pipe[2] = {-1, -1};
std::once_flag g_started;
int g_start_error = 0;
std::mutex g_handler_guard;
SignalHandler g_handler;

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

void* Watch(void*) {
  for (;;) {
    unsigned char byte = 0;
    ssize_t n = ::read(g_pipe[0], &byte, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return nullptr;
    for (const SignalRow& row : kSignals) {
      if (row.number != byte) continue;
      SignalHandler handler;
      {
        std::lock_guard<std::mutex> lock(g_handler_guard);
        handler = g_handler;
      }
      if (!handler || !handler(row.signal)) EndByDefault(row.number);
    }
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

}  // namespace

bool RouteSignals(const std::vector<ProcessSignal>& signals, SignalHandler handler) {
  std::call_once(g_started, StartWatcher);
  if (g_start_error != 0) {
    SetLastError(g_start_error);
    return false;
  }
  {
    std::lock_guard<std::mutex> lock(g_handler_guard);
    g_handler = std::move(handler);
  }
  for (ProcessSignal wanted : signals) {
    for (const SignalRow& row : kSignals) {
      if (row.signal != wanted) continue;
      struct sigaction action {};
      action.sa_handler = OnSignal;
      sigemptyset(&action.sa_mask);
      action.sa_flags = SA_RESTART;
      if (::sigaction(row.number, &action, nullptr) != 0) {
        RecordSystemError();
        return false;
      }
    }
  }
  return true;
}

}  // namespace platform
