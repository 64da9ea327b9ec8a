// Windows implementation of orvo's interrupt: a console control handler
// takes Ctrl+C, sets a flag and sends a byte on a loopback socket that sends
// to itself, so that a wait that watches the socket wakes at once, also when
// the event came just before the wait began. (select watches sockets only.)
#include "tools/orvo/platform_interrupt.h"

// winsock2.h must come before windows.h.
#include <winsock2.h>
#include <windows.h>

#include <atomic>

#include "tools/orvo/win32_support.h"

namespace orvo::platform {

namespace {

std::atomic<bool> g_requested{false};
SOCKET g_wake = INVALID_SOCKET;

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI NoteInterrupt(DWORD event) {
  // Ctrl+Break still ends orvo, as the POSIX side leaves SIGQUIT alone.
  if (event != CTRL_C_EVENT) return FALSE;
  g_requested = true;
  char byte = 1;
  ::send(g_wake, &byte, 1, 0);  // a full queue already wakes every wait
  return TRUE;
}

// Waits up to `timeout_ms` for the wake socket; true when it has a byte.
bool WakeReadable(int timeout_ms) {
  fd_set ready;
  FD_ZERO(&ready);
  FD_SET(g_wake, &ready);
  timeval tv{};
  tv.tv_sec = timeout_ms / 1000;
  tv.tv_usec = (timeout_ms % 1000) * 1000;
  return ::select(0, &ready, nullptr, nullptr, &tv) == 1;
}

}  // namespace

int CatchInterrupts() {
  if (g_wake != INVALID_SOCKET) return 0;
  WSADATA data{};
  if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return -1;
  SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int len = sizeof addr;
  u_long on = 1;
  if (s == INVALID_SOCKET || ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0 ||
      ::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::ioctlsocket(s, FIONBIO, &on) != 0) {
    if (s != INVALID_SOCKET) ::closesocket(s);
    return -1;
  }
  ::SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
  g_wake = s;
  if (!::SetConsoleCtrlHandler(NoteInterrupt, TRUE)) {
    ::closesocket(s);
    g_wake = INVALID_SOCKET;
    return -1;
  }
  return 0;
}

bool InterruptRequested() { return g_requested; }

void ClearInterrupt() {
  // The flag first: an interrupt that comes while the socket is drained sets
  // it again, and the waits look at the flag before they wait.
  g_requested = false;
  if (g_wake == INVALID_SOCKET) return;
  char bytes[64];
  while (::recv(g_wake, bytes, sizeof bytes, 0) > 0) {
  }
}

intptr_t InterruptWaitHandle() { return g_wake == INVALID_SOCKET ? -1 : static_cast<intptr_t>(g_wake); }

bool AwaitInterrupt(int timeout_ms) {
  if (g_wake == INVALID_SOCKET) return false;
  return g_requested || (WakeReadable(timeout_ms) && g_requested);
}

}  // namespace orvo::platform
