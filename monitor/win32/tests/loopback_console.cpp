#include "monitor/win32/tests/loopback_console.h"

#include <ws2tcpip.h>

namespace monitor::testing {
namespace {

sockaddr_in Loopback(unsigned short port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

// Whether `socket` has something to read within `limit_ms`.
bool Readable(SOCKET socket, DWORD limit_ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(socket, &set);
  timeval limit{static_cast<long>(limit_ms / 1000), static_cast<long>(limit_ms % 1000) * 1000};
  return select(0, &set, nullptr, nullptr, &limit) == 1;
}

void CloseSocket(SOCKET& socket) {
  if (socket != INVALID_SOCKET) closesocket(socket);
  socket = INVALID_SOCKET;
}

}  // namespace

void StartSockets() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
}

LoopbackConsole::LoopbackConsole(int backlog) {
  StartSockets();
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = Loopback(0);
  int length = sizeof(address);
  bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  listen(listener_, backlog);
  getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
}

LoopbackConsole::~LoopbackConsole() {
  CloseSocket(peer_);
  CloseSocket(filler_);
  CloseSocket(listener_);
}

bool LoopbackConsole::Accept(DWORD limit_ms) {
  if (!Readable(listener_, limit_ms)) return false;
  CloseSocket(peer_);
  peer_ = accept(listener_, nullptr, nullptr);
  received_.clear();
  return peer_ != INVALID_SOCKET;
}

void LoopbackConsole::Stall() {
  filler_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  const sockaddr_in address = Loopback(port_);
  connect(filler_, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
}

bool LoopbackConsole::ReadSome(DWORD limit_ms) {
  if (peer_ == INVALID_SOCKET || !Readable(peer_, limit_ms)) return true;
  char chunk[4096];
  const int got = recv(peer_, chunk, sizeof(chunk), 0);
  if (got <= 0) return false;
  received_.append(chunk, static_cast<size_t>(got));
  return true;
}

std::string LoopbackConsole::ReceiveUntil(std::string_view ending, DWORD limit_ms) {
  const ULONGLONG deadline = GetTickCount64() + limit_ms;
  while (!(received_.size() >= ending.size() &&
           received_.compare(received_.size() - ending.size(), ending.size(), ending) == 0)) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline || !ReadSome(static_cast<DWORD>(deadline - now))) break;
  }
  return received_;
}

void LoopbackConsole::Send(std::string_view bytes) {
  send(peer_, bytes.data(), static_cast<int>(bytes.size()), 0);
}

void LoopbackConsole::ClosePeer(bool reset) {
  if (reset && peer_ != INVALID_SOCKET) {
    const linger abortive{1, 0};
    setsockopt(peer_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abortive),
               sizeof(abortive));
  }
  CloseSocket(peer_);
}

bool LoopbackConsole::PeerClosed(DWORD limit_ms) {
  const ULONGLONG deadline = GetTickCount64() + limit_ms;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    if (!ReadSome(static_cast<DWORD>(deadline - now))) return true;
  }
}

}  // namespace monitor::testing
