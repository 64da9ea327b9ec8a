// POSIX implementation of orvo's interrupt: SIGINT sets a flag and writes a
// byte to a pipe, so that a poll that includes the pipe wakes at once, also
// when the signal came just before the poll began.
#include "tools/orvo/platform_interrupt.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace orvo::platform {

namespace {

volatile sig_atomic_t g_requested = 0;
int g_pipe[2] = {-1, -1};

void OnInterrupt(int) {
  int saved = errno;
  g_requested = 1;
  char byte = 1;
  (void)!::write(g_pipe[1], &byte, 1);  // a full pipe already wakes every wait
  errno = saved;
}

}  // namespace

int CatchInterrupts() {
  if (g_pipe[0] >= 0) return 0;
  if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a blocking read (the terminal's, a password prompt's)
  // returns EINTR, and its caller looks at the flag.
  action.sa_flags = 0;
  if (::sigaction(SIGINT, &action, nullptr) != 0) {
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
    return -1;
  }
  return 0;
}

bool InterruptRequested() { return g_requested != 0; }

void ClearInterrupt() {
  // The flag first: an interrupt that comes while the pipe is drained sets it
  // again, and the waits look at the flag before they poll.
  g_requested = 0;
  if (g_pipe[0] < 0) return;
  char bytes[64];
  while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
  }
}

intptr_t InterruptWaitHandle() { return g_pipe[0]; }

}  // namespace orvo::platform
