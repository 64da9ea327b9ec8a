// Sockets and readiness waits for the administration service.
// The rest of the service talks TCP only through these calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// A socket number as the log shows it; -1 is no socket.
using SocketId = long;

// A socket as the system knows it: a file descriptor, or a Windows SOCKET.
using NativeSocket = intptr_t;
// No socket (-1, and INVALID_SOCKET on Windows).
inline constexpr NativeSocket kNoSocket = -1;

// Owns one socket and closes it when it goes out of scope.
class Socket {
 public:
  Socket() = default;
  explicit Socket(NativeSocket native) : native_(native) {}
  Socket(Socket&& other) noexcept : native_(other.Release()) {}
  Socket& operator=(Socket&& other) noexcept {
    if (this != &other) {
      Close();
      native_ = other.Release();
    }
    return *this;
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  ~Socket() { Close(); }

  bool Valid() const { return native_ != kNoSocket; }
  SocketId Id() const { return static_cast<SocketId>(native_); }
  NativeSocket Native() const { return native_; }
  // Gives up ownership without closing.
  NativeSocket Release() {
    NativeSocket native = native_;
    native_ = kNoSocket;
    return native;
  }
  // Closes the socket now; no effect when there is none.
  void Close();

 private:
  NativeSocket native_ = kNoSocket;
};

// Result of a readiness wait.
enum class WaitResult { kReady, kTimeout, kError, kWoken };

// Starts the socket library, asking for Windows Sockets 1.1 (where there is
// no such library, only makes a vanished peer harmless); 0 on success. Every
// successful start is matched by one NetCleanup.
int NetStartup();
// Shuts the socket library down.
void NetCleanup();

// Whether the listener can be bound to `address`: an IPv4 or IPv6 literal
// ("127.0.0.1", "::1", "fe80::1%eth0"), or "localhost" in any case, which is
// 127.0.0.1. Host names are not looked up.
bool IsListenAddress(const std::string& address);
// Opens a stream socket bound to `address` (as IsListenAddress takes it; empty
// is every local IPv4 address; "::" is every IPv6 and IPv4 address) on
// `port`, with address reuse on and linger 60 s, listening with `backlog`.
// Returns the socket, or an invalid one; `stage` says which step failed
// (1 socket, 2 bind, also for an address that is none, 3 listen).
Socket OpenListener(const std::string& address, uint16_t port, int backlog, int* stage);
// The same on every local IPv4 address.
inline Socket OpenListener(uint16_t port, int backlog, int* stage) { return OpenListener("", port, backlog, stage); }
// The longest listen backlog the system takes (SOMAXCONN), for a burst of
// connections that arrive faster than they are accepted.
int MaxListenBacklog();
// The port a bound socket actually has (for a listener opened on port 0).
int LocalPort(const Socket& s);

// Accepts one connection; fills the peer's address as numeric text: dotted
// for IPv4 (also for an IPv4 peer of an IPv6 listener), RFC 5952 text for
// IPv6. Returns an invalid socket on failure. The connection
// sends each packet at once: a small packet that follows another (a fetch's
// first chunk after its size) never waits for the peer's delayed
// acknowledgement.
Socket Accept(const Socket& listener, std::string* peer);

// Waits until `s` is readable, at most `timeout_ms` (negative: no limit).
WaitResult WaitReadable(const Socket& s, int timeout_ms);

// A wake-up that a stop request can trigger from any thread (also from a
// signal handler) to end a readiness wait at once. Once signalled it stays
// signalled. It needs no NetStartup of its own.
class WakeEvent {
 public:
  WakeEvent();
  ~WakeEvent();
  WakeEvent(const WakeEvent&) = delete;
  WakeEvent& operator=(const WakeEvent&) = delete;
  bool Valid() const { return read_ != kNoSocket; }
  // Marks the event; async-signal-safe.
  void Signal();

 private:
  friend WaitResult WaitReadableOrWake(const Socket& s, const WakeEvent& wake, int timeout_ms);
  // What a readiness wait watches, and what Signal makes readable: the two
  // ends of a pipe, or on Windows one loopback datagram socket that sends to
  // itself (a Windows Sockets 1.1 wait watches sockets only).
  NativeSocket read_ = kNoSocket;
  NativeSocket write_ = kNoSocket;
};

// Waits until `s` is readable or `wake` is signalled, at most `timeout_ms`.
WaitResult WaitReadableOrWake(const Socket& s, const WakeEvent& wake, int timeout_ms);

// Sends up to `len` bytes once; returns the count sent, or -1.
long SendSome(const Socket& s, const void* data, size_t len);
// Receives up to `len` bytes once; returns the count, 0 when the peer has
// closed, or -1.
long ReceiveSome(const Socket& s, void* data, size_t len);

// Socket options of a session: linger with `seconds`; a send that cannot
// progress for `send_timeout_ms` fails instead of blocking for ever.
void SetLinger(const Socket& s, int seconds);
void SetSendTimeout(const Socket& s, int send_timeout_ms);
// Shuts the connection down in both directions.
void ShutdownBoth(const Socket& s);

// The error number of the last failed socket call on this thread.
int LastSocketError();

// Reverse lookup of a numeric address as Accept gives it; the host name, or
// nothing.
std::optional<std::string> ReverseLookup(const std::string& address);

// Connects to host:port over TCP (an address or a name); used by tests and
// tools. With `source`, the connection leaves from that local address.
Socket Connect(const std::string& host, uint16_t port, const std::string& source = "");

// A connected pair of stream sockets, for tests of the framing.
bool SocketPair(Socket* a, Socket* b);

}  // namespace platform
