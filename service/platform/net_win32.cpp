#include "service/platform/net.h"

// Windows Sockets 1.1 for everything but the listener's and peers'
// addresses, which may be IPv6: those take Windows Sockets 2's address calls.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "service/platform/socket_addresses.h"

namespace platform {

namespace {

constexpr WORD kVersion11 = MAKEWORD(1, 1);

thread_local int g_last_error = 0;

SOCKET Sock(const Socket& s) { return static_cast<SOCKET>(s.Native()); }
SOCKET Sock(NativeSocket native) { return static_cast<SOCKET>(native); }

int Remember(int result) {
  if (result == SOCKET_ERROR) g_last_error = ::WSAGetLastError();
  return result;
}

// Sockets are kept from the programs the process starts, as handles are,
// and a failure is remembered.
SOCKET Remember(SOCKET result) {
  if (result == INVALID_SOCKET) {
    g_last_error = ::WSAGetLastError();
  } else {
    ::SetHandleInformation(reinterpret_cast<HANDLE>(result), HANDLE_FLAG_INHERIT, 0);
  }
  return result;
}

timeval Interval(int timeout_ms) {
  timeval tv{};
  tv.tv_sec = timeout_ms / 1000;
  tv.tv_usec = (timeout_ms % 1000) * 1000;
  return tv;
}

// Waits until one of `count` sockets is readable; which ones are comes back
// in `ready`.
WaitResult WaitForAny(const SOCKET* sockets, int count, int timeout_ms, bool* ready) {
  fd_set set;
  FD_ZERO(&set);
  for (int i = 0; i < count; ++i) FD_SET(sockets[i], &set);
  timeval tv = Interval(std::max(timeout_ms, 0));
  int rc = Remember(::select(0, &set, nullptr, nullptr, timeout_ms < 0 ? nullptr : &tv));
  if (rc == SOCKET_ERROR) return WaitResult::kError;
  if (rc == 0) return WaitResult::kTimeout;
  for (int i = 0; i < count; ++i) ready[i] = FD_ISSET(sockets[i], &set) != 0;
  return WaitResult::kReady;
}

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(port);
  return addr;
}

}  // namespace

void Socket::Close() {
  if (native_ != kNoSocket) {
    ::closesocket(Sock(native_));
    native_ = kNoSocket;
  }
}

int NetStartup() {
  WSADATA data{};
  int rc = ::WSAStartup(kVersion11, &data);
  if (rc != 0) {
    g_last_error = rc;
    return -1;
  }
  return 0;
}

void NetCleanup() { ::WSACleanup(); }

Socket OpenListener(const std::string& address, uint16_t port, int backlog, int* stage) {
  sockaddr_storage where{};
  socklen_t size = 0;
  *stage = 2;
  if (!ListenerAddress(address, port, &where, &size)) {
    g_last_error = WSAEINVAL;
    return Socket();
  }
  *stage = 1;
  Socket s(static_cast<NativeSocket>(Remember(::socket(where.ss_family, SOCK_STREAM, 0))));
  if (!s.Valid()) return s;
  BOOL on = TRUE;
  ::setsockopt(Sock(s), SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof on);
  linger lg{1, 60};
  ::setsockopt(Sock(s), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&lg), sizeof lg);
  // "::" takes IPv4 peers too; Windows takes only IPv6 ones by default.
  DWORD off = 0;
  if (where.ss_family == AF_INET6) {
    ::setsockopt(Sock(s), IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char*>(&off), sizeof off);
  }
  *stage = 2;
  if (Remember(::bind(Sock(s), reinterpret_cast<sockaddr*>(&where), size)) == SOCKET_ERROR) return Socket();
  *stage = 3;
  if (Remember(::listen(Sock(s), backlog)) == SOCKET_ERROR) return Socket();
  *stage = 0;
  return s;
}

// Windows Sockets 1.1 names 5 as SOMAXCONN; the system takes the larger value
// of Windows Sockets 2, which asks the provider for its longest backlog.
int MaxListenBacklog() { return 0x7fffffff; }

int LocalPort(const Socket& s) {
  sockaddr_storage addr{};
  int len = sizeof addr;
  if (::getsockname(Sock(s), reinterpret_cast<sockaddr*>(&addr), &len) == SOCKET_ERROR) return -1;
  return PortOf(addr);
}

Socket Accept(const Socket& listener, std::string* peer) {
  sockaddr_storage addr{};
  int len = sizeof addr;
  SOCKET s = Remember(::accept(Sock(listener), reinterpret_cast<sockaddr*>(&addr), &len));
  if (s == INVALID_SOCKET) return Socket();
  BOOL on = TRUE;
  ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  *peer = NumericText(addr, len);
  return Socket(static_cast<NativeSocket>(s));
}

WaitResult WaitReadable(const Socket& s, int timeout_ms) {
  SOCKET sockets[1] = {Sock(s)};
  bool ready[1] = {false};
  return WaitForAny(sockets, 1, timeout_ms, ready);
}

// A datagram socket on the loopback address that sends to itself: a Windows
// Sockets 1.1 wait watches nothing but sockets. The byte it sends is never
// read, so once signalled it stays readable.
WakeEvent::WakeEvent() {
  WSADATA data{};
  if (::WSAStartup(kVersion11, &data) != 0) return;
  SOCKET s = Remember(::socket(AF_INET, SOCK_DGRAM, 0));
  sockaddr_in addr = Loopback(0);
  int len = sizeof addr;
  u_long nonblocking = 1;
  if (s == INVALID_SOCKET || ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == SOCKET_ERROR ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) == SOCKET_ERROR ||
      ::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == SOCKET_ERROR ||
      ::ioctlsocket(s, FIONBIO, &nonblocking) == SOCKET_ERROR) {
    if (s != INVALID_SOCKET) ::closesocket(s);
    ::WSACleanup();
    return;
  }
  read_ = static_cast<NativeSocket>(s);
  write_ = read_;
}

WakeEvent::~WakeEvent() {
  if (read_ == kNoSocket) return;
  ::closesocket(Sock(read_));
  ::WSACleanup();
}

void WakeEvent::Signal() {
  if (write_ == kNoSocket) return;
  char c = 1;
  // A full queue already means "signalled".
  ::send(Sock(write_), &c, 1, 0);
}

WaitResult WaitReadableOrWake(const Socket& s, const WakeEvent& wake, int timeout_ms) {
  SOCKET sockets[2] = {Sock(s), Sock(wake.read_)};
  bool ready[2] = {false, false};
  WaitResult w = WaitForAny(sockets, wake.Valid() ? 2 : 1, timeout_ms, ready);
  if (w == WaitResult::kReady && ready[1]) return WaitResult::kWoken;
  return w;
}

long SendSome(const Socket& s, const void* data, size_t len) {
  int n = ::send(Sock(s), static_cast<const char*>(data), static_cast<int>(std::min<size_t>(len, INT_MAX)), 0);
  return static_cast<long>(Remember(n));
}

long ReceiveSome(const Socket& s, void* data, size_t len) {
  int n = ::recv(Sock(s), static_cast<char*>(data), static_cast<int>(std::min<size_t>(len, INT_MAX)), 0);
  return static_cast<long>(Remember(n));
}

void SetLinger(const Socket& s, int seconds) {
  linger lg{1, static_cast<u_short>(std::clamp(seconds, 0, 65535))};
  ::setsockopt(Sock(s), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&lg), sizeof lg);
}

void SetSendTimeout(const Socket& s, int send_timeout_ms) {
  if (send_timeout_ms <= 0) return;
  DWORD ms = static_cast<DWORD>(send_timeout_ms);
  ::setsockopt(Sock(s), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
}

void ShutdownBoth(const Socket& s) { ::shutdown(Sock(s), SD_BOTH); }

int LastSocketError() { return g_last_error; }

Socket Connect(const std::string& host, uint16_t port, const std::string& source) {
  AddressList found(host, std::to_string(port), 0);
  AddressList from(source, "", AI_NUMERICHOST | AI_PASSIVE);
  if (!source.empty() && from.list == nullptr) return Socket();
  for (const addrinfo* ai = found.list; ai != nullptr; ai = ai->ai_next) {
    Socket s(static_cast<NativeSocket>(Remember(::socket(ai->ai_family, ai->ai_socktype, ai->ai_protocol))));
    if (!s.Valid()) continue;
    if (from.list != nullptr &&
        Remember(::bind(Sock(s), from.list->ai_addr, static_cast<int>(from.list->ai_addrlen))) == SOCKET_ERROR) {
      continue;
    }
    if (Remember(::connect(Sock(s), ai->ai_addr, static_cast<int>(ai->ai_addrlen))) != SOCKET_ERROR) return s;
  }
  return Socket();
}

bool SocketPair(Socket* a, Socket* b) {
  Socket listener(static_cast<NativeSocket>(Remember(::socket(AF_INET, SOCK_STREAM, 0))));
  if (!listener.Valid()) return false;
  sockaddr_in addr = Loopback(0);
  int len = sizeof addr;
  if (Remember(::bind(Sock(listener), reinterpret_cast<sockaddr*>(&addr), sizeof addr)) == SOCKET_ERROR ||
      Remember(::listen(Sock(listener), 1)) == SOCKET_ERROR ||
      Remember(::getsockname(Sock(listener), reinterpret_cast<sockaddr*>(&addr), &len)) == SOCKET_ERROR) {
    return false;
  }
  Socket first(static_cast<NativeSocket>(Remember(::socket(AF_INET, SOCK_STREAM, 0))));
  if (!first.Valid() ||
      Remember(::connect(Sock(first), reinterpret_cast<sockaddr*>(&addr), sizeof addr)) == SOCKET_ERROR) {
    return false;
  }
  SOCKET second = Remember(::accept(Sock(listener), nullptr, nullptr));
  if (second == INVALID_SOCKET) return false;
  *a = std::move(first);
  *b = Socket(static_cast<NativeSocket>(second));
  return true;
}

}  // namespace platform
