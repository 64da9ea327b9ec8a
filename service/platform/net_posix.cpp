#include "service/platform/net.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "service/platform/socket_addresses.h"

namespace platform {

namespace {

thread_local int g_last_error = 0;

// Sockets are file descriptors here.
int Fd(const Socket& s) { return static_cast<int>(s.Native()); }

int Remember(int result) {
  if (result < 0) g_last_error = errno;
  return result;
}

// A poll that resumes after signals, keeping the deadline.
int PollWithDeadline(pollfd* fds, nfds_t count, int timeout_ms) {
  struct timespec start {};
  clock_gettime(CLOCK_MONOTONIC, &start);
  for (;;) {
    int rc = poll(fds, count, timeout_ms);
    if (rc >= 0 || errno != EINTR) return Remember(rc);
    if (timeout_ms < 0) continue;
    struct timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    long elapsed = (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
    if (elapsed >= timeout_ms) return 0;
    timeout_ms -= static_cast<int>(elapsed);
    start = now;
  }
}

}  // namespace

void Socket::Close() {
  if (native_ != kNoSocket) {
    ::close(static_cast<int>(native_));
    native_ = kNoSocket;
  }
}

int NetStartup() {
  // A peer that vanishes must not end the process with SIGPIPE.
  signal(SIGPIPE, SIG_IGN);
  return 0;
}

void NetCleanup() {}

Socket OpenListener(const std::string& address, uint16_t port, int backlog, int* stage) {
  sockaddr_storage where{};
  socklen_t size = 0;
  *stage = 2;
  if (!ListenerAddress(address, port, &where, &size)) {
    g_last_error = EINVAL;
    return Socket();
  }
  *stage = 1;
  Socket s(Remember(::socket(where.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0)));
  if (!s.Valid()) return s;
  int on = 1;
  setsockopt(Fd(s), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  linger lg{1, 60};
  setsockopt(Fd(s), SOL_SOCKET, SO_LINGER, &lg, sizeof lg);
  // "::" takes IPv4 peers too, whatever the system's default.
  int off = 0;
  if (where.ss_family == AF_INET6) setsockopt(Fd(s), IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
  *stage = 2;
  if (Remember(::bind(Fd(s), reinterpret_cast<sockaddr*>(&where), size)) < 0) return Socket();
  *stage = 3;
  if (Remember(::listen(Fd(s), backlog)) < 0) return Socket();
  *stage = 0;
  return s;
}

int MaxListenBacklog() { return SOMAXCONN; }

int LocalPort(const Socket& s) {
  sockaddr_storage addr{};
  socklen_t len = sizeof addr;
  if (getsockname(Fd(s), reinterpret_cast<sockaddr*>(&addr), &len) < 0) return -1;
  return PortOf(addr);
}

Socket Accept(const Socket& listener, std::string* peer) {
  sockaddr_storage addr{};
  socklen_t len = sizeof addr;
  int fd = Remember(::accept4(Fd(listener), reinterpret_cast<sockaddr*>(&addr), &len, SOCK_CLOEXEC));
  if (fd < 0) return Socket();
  int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  *peer = NumericText(addr, len);
  return Socket(fd);
}

WaitResult WaitReadable(const Socket& s, int timeout_ms) {
  pollfd p{Fd(s), POLLIN, 0};
  int rc = PollWithDeadline(&p, 1, timeout_ms);
  if (rc < 0) return WaitResult::kError;
  if (rc == 0) return WaitResult::kTimeout;
  if (p.revents & POLLNVAL) {
    g_last_error = EBADF;
    return WaitResult::kError;
  }
  return WaitResult::kReady;
}

WakeEvent::WakeEvent() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
    read_ = fds[0];
    write_ = fds[1];
  }
}

WakeEvent::~WakeEvent() {
  if (read_ != kNoSocket) ::close(static_cast<int>(read_));
  if (write_ != kNoSocket) ::close(static_cast<int>(write_));
}

void WakeEvent::Signal() {
  if (write_ == kNoSocket) return;
  char c = 1;
  // A full pipe already means "signalled".
  ssize_t ignored = ::write(static_cast<int>(write_), &c, 1);
  (void)ignored;
}

WaitResult WaitReadableOrWake(const Socket& s, const WakeEvent& wake, int timeout_ms) {
  pollfd p[2] = {{Fd(s), POLLIN, 0}, {static_cast<int>(wake.read_), POLLIN, 0}};
  int rc = PollWithDeadline(p, wake.Valid() ? 2 : 1, timeout_ms);
  if (rc < 0) return WaitResult::kError;
  if (rc == 0) return WaitResult::kTimeout;
  if (wake.Valid() && (p[1].revents & POLLIN)) return WaitResult::kWoken;
  if (p[0].revents & POLLNVAL) {
    g_last_error = EBADF;
    return WaitResult::kError;
  }
  return WaitResult::kReady;
}

long SendSome(const Socket& s, const void* data, size_t len) {
  for (;;) {
    ssize_t n = ::send(Fd(s), data, len, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) g_last_error = errno;
    return static_cast<long>(n);
  }
}

long ReceiveSome(const Socket& s, void* data, size_t len) {
  for (;;) {
    ssize_t n = ::recv(Fd(s), data, len, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) g_last_error = errno;
    return static_cast<long>(n);
  }
}

void SetLinger(const Socket& s, int seconds) {
  linger lg{1, seconds};
  setsockopt(Fd(s), SOL_SOCKET, SO_LINGER, &lg, sizeof lg);
}

void SetSendTimeout(const Socket& s, int send_timeout_ms) {
  if (send_timeout_ms <= 0) return;
  timeval tv{};
  tv.tv_sec = send_timeout_ms / 1000;
  tv.tv_usec = (send_timeout_ms % 1000) * 1000;
  setsockopt(Fd(s), SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

void ShutdownBoth(const Socket& s) { ::shutdown(Fd(s), SHUT_RDWR); }

int LastSocketError() { return g_last_error; }

Socket Connect(const std::string& host, uint16_t port, const std::string& source) {
  AddressList found(host, std::to_string(port), 0);
  AddressList from(source, "", AI_NUMERICHOST | AI_PASSIVE);
  if (!source.empty() && from.list == nullptr) return Socket();
  for (addrinfo* ai = found.list; ai != nullptr; ai = ai->ai_next) {
    Socket s(::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC, ai->ai_protocol));
    if (!s.Valid()) continue;
    if (from.list != nullptr && Remember(::bind(Fd(s), from.list->ai_addr, from.list->ai_addrlen)) < 0) continue;
    if (Remember(::connect(Fd(s), ai->ai_addr, ai->ai_addrlen)) == 0) return s;
  }
  return Socket();
}

bool SocketPair(Socket* a, Socket* b) {
  int fds[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return false;
  *a = Socket(fds[0]);
  *b = Socket(fds[1]);
  return true;
}

}  // namespace platform
