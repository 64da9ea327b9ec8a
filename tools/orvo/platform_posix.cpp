// POSIX implementation of orvo's platform layer.
#include "tools/orvo/platform.h"

#include "tools/orvo/platform_interrupt.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace orvo::platform {

namespace {

constexpr int kWaitInterrupted = -2;

// Waits for `events` on `fd`; 1 ready, 0 timeout, -1 error, kWaitInterrupted
// when an interrupt is noted (platform_interrupt.h). Another signal that
// interrupts the wait starts it again with the same patience.
int WaitFor(int fd, short events, int timeout_ms) {
  pollfd p[2] = {};
  p[0].fd = fd;
  p[0].events = events;
  p[1].fd = static_cast<int>(InterruptWaitHandle());
  p[1].events = POLLIN;
  nfds_t count = p[1].fd >= 0 ? 2 : 1;
  for (;;) {
    if (count == 2 && InterruptRequested()) return kWaitInterrupted;
    int r = ::poll(p, count, timeout_ms);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return -1;
    if (r == 0) return 0;
    if (p[0].revents != 0) return 1;
  }
}

std::string ErrnoText(int err) { return std::strerror(err); }

int Fd(const Connection& c) { return static_cast<int>(c.Native()); }

// Connects one socket of the address family `ai` names, within `timeout_ms`.
int ConnectOne(const addrinfo* ai, int timeout_ms, std::string* error) {
  int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC, ai->ai_protocol);
  if (fd < 0) {
    *error = ErrnoText(errno);
    return -1;
  }
  int flags = ::fcntl(fd, F_GETFL);
  ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  int r = ::connect(fd, ai->ai_addr, ai->ai_addrlen);
  if (r < 0 && errno != EINPROGRESS) {
    *error = ErrnoText(errno);
    ::close(fd);
    return -1;
  }
  if (r < 0) {
    int w = WaitFor(fd, POLLOUT, timeout_ms);
    int soerr = 0;
    socklen_t len = sizeof soerr;
    if (w == 0 || w == kWaitInterrupted) {
      *error = w == 0 ? "no answer within the time-out" : "interrupted";
      ::close(fd);
      return -1;
    }
    if (w < 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soerr, &len) < 0 || soerr != 0) {
      *error = ErrnoText(w < 0 ? errno : soerr);
      ::close(fd);
      return -1;
    }
  }
  ::fcntl(fd, F_SETFL, flags);
  // Stop-and-wait transfers send one small packet per round trip; Nagle's
  // delay would add up to 200 ms to each.
  int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return fd;
}

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The permissions a new file gets from this process: 0666 less the umask.
mode_t NewFileMode() {
  mode_t mask = ::umask(022);
  ::umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

void Connection::Close() {
  if (socket_ != kNoSocket) ::close(Fd(*this));
  socket_ = kNoSocket;
}

int Connect(const std::string& host, uint16_t port, int timeout_ms, Connection* out,
            std::string* error) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  std::string service = std::to_string(port);
  int g = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
  if (g != 0) {
    *error = ::gai_strerror(g);
    return -1;
  }
  int fd = -1;
  for (addrinfo* ai = list; ai != nullptr && fd < 0; ai = ai->ai_next) {
    fd = ConnectOne(ai, timeout_ms, error);
  }
  ::freeaddrinfo(list);
  if (fd < 0) return -1;
  *out = Connection(fd);
  return 0;
}

long SendAll(const Connection& c, const void* data, size_t len, int timeout_ms) {
  const char* p = static_cast<const char*>(data);
  while (len > 0) {
    int w = WaitFor(Fd(c), POLLOUT, timeout_ms);
    if (w == 0) return kIoTimeout;
    if (w == kWaitInterrupted) return kIoInterrupted;
    if (w < 0) return kIoError;
    // MSG_NOSIGNAL: a peer that has gone must give an error, not end orvo.
    ssize_t n = ::send(Fd(c), p, len, MSG_NOSIGNAL);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return kIoError;
    p += n;
    len -= static_cast<size_t>(n);
  }
  return 0;
}

long ReceiveSome(const Connection& c, void* data, size_t len, int timeout_ms) {
  for (;;) {
    int w = WaitFor(Fd(c), POLLIN, timeout_ms);
    if (w == 0) return kIoTimeout;
    if (w == kWaitInterrupted) return kIoInterrupted;
    if (w < 0) return kIoError;
    ssize_t n = ::recv(Fd(c), data, len, 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n < 0) return errno == ECONNRESET ? kIoClosed : kIoError;
    return static_cast<long>(n);
  }
}

void ShutdownSend(const Connection& c) {
  if (c.Valid()) ::shutdown(Fd(c), SHUT_WR);
}

bool PeerClosed(const Connection& c) {
  if (!c.Valid()) return true;
  int w = WaitFor(Fd(c), POLLIN, 0);
  if (w == 0 || w == kWaitInterrupted) return false;
  char byte = 0;
  ssize_t n = ::recv(Fd(c), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
  return n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR);
}

bool ConnectedPair(Connection* a, Connection* b) {
  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return false;
  *a = Connection(fds[0]);
  *b = Connection(fds[1]);
  return true;
}

Listener::~Listener() {
  if (socket_ != kNoSocket) ::close(static_cast<int>(socket_));
}

int Listener::Open() {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t len = sizeof addr;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(fd, 4) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    ::close(fd);
    return -1;
  }
  socket_ = fd;
  port_ = ntohs(addr.sin_port);
  return 0;
}

Connection Listener::Accept(int timeout_ms) const {
  int fd = static_cast<int>(socket_);
  if (fd < 0 || WaitFor(fd, POLLIN, timeout_ms) != 1) return Connection();
  return Connection(::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC));
}

int ReadSecretFromTerminal(const std::string& prompt, std::string* secret) {
  int fd = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  termios saved{};
  if (::tcgetattr(fd, &saved) != 0) {
    ::close(fd);
    return -1;
  }
  termios quiet = saved;
  quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  quiet.c_lflag |= ECHONL;
  (void)!::write(fd, prompt.data(), prompt.size());
  ::tcsetattr(fd, TCSAFLUSH, &quiet);
  secret->clear();
  int result = -1;
  for (;;) {
    char ch = 0;
    ssize_t n = ::read(fd, &ch, 1);
    if (n < 0 && errno == EINTR && !InterruptRequested()) continue;
    if (n <= 0) break;  // end of input before a line end, or Ctrl-C: no password
    if (ch == '\n' || ch == '\r') {
      result = 0;
      break;
    }
    secret->push_back(ch);
  }
  ::tcsetattr(fd, TCSAFLUSH, &saved);
  ::close(fd);
  return result;
}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

int AtomicFile::Open(const std::string& target, std::string* error) {
  Discard();
  // The temporary file lies in the target's folder so that the final rename
  // never crosses a file system.
  std::string dir = DirectoryOf(target);
  std::string pattern = (dir == "/" ? dir : dir + "/") + "." + BaseOf(target) + ".orvo-XXXXXX";
  std::string name = pattern;
  int fd = ::mkstemp(name.data());
  if (fd < 0) {
    *error = "cannot create a file in " + dir + ": " + ErrnoText(errno);
    return -1;
  }
  // The new file keeps the permissions of the one it replaces, or gets those
  // of any file this process creates.
  struct stat st {};
  mode_t mode = ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : NewFileMode();
  ::fchmod(fd, mode);
  file_ = fd;
  target_ = target;
  temp_path_ = name;
  return 0;
}

int AtomicFile::Write(const void* data, size_t len, std::string* error) {
  const char* p = static_cast<const char*>(data);
  while (len > 0) {
    ssize_t n = ::write(static_cast<int>(file_), p, len);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *error = "cannot write " + temp_path_ + ": " + ErrnoText(errno);
      return -1;
    }
    p += n;
    len -= static_cast<size_t>(n);
  }
  return 0;
}

int AtomicFile::Commit(std::string* error) {
  if (file_ < 0) {
    *error = "no file is open";
    return -1;
  }
  if (::fsync(static_cast<int>(file_)) != 0 || ::close(static_cast<int>(file_)) != 0) {
    *error = "cannot write " + temp_path_ + ": " + ErrnoText(errno);
    file_ = -1;
    Discard();
    return -1;
  }
  file_ = -1;
  if (::rename(temp_path_.c_str(), target_.c_str()) != 0) {
    *error = "cannot replace " + target_ + ": " + ErrnoText(errno);
    Discard();
    return -1;
  }
  temp_path_.clear();
  return 0;
}

void AtomicFile::Discard() {
  if (file_ >= 0) ::close(static_cast<int>(file_));
  file_ = -1;
  if (!temp_path_.empty()) ::unlink(temp_path_.c_str());
  temp_path_.clear();
}

}  // namespace orvo::platform
