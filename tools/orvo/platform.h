// What orvo asks of the operating system: TCP connections with deadlines, the
// terminal (a password prompt without echo) and files that replace their
// target in one step. Nothing else in orvo includes an OS header; each
// platform_*.h has a _posix.cpp and a _win32.cpp implementation beside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace orvo::platform {

// A socket as the system names it: a descriptor on POSIX, a SOCKET on Windows.
using NativeSocket = std::intptr_t;
inline constexpr NativeSocket kNoSocket = -1;

// Owns one connected stream socket and closes it when it goes out of scope.
class Connection {
 public:
  Connection() = default;
  explicit Connection(NativeSocket socket) : socket_(socket) {}
  Connection(Connection&& other) noexcept : socket_(other.Release()) {}
  Connection& operator=(Connection&& other) noexcept {
    if (this != &other) {
      Close();
      socket_ = other.Release();
    }
    return *this;
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection() { Close(); }

  bool Valid() const { return socket_ != kNoSocket; }
  NativeSocket Native() const { return socket_; }
  // Gives up ownership without closing.
  NativeSocket Release() { return std::exchange(socket_, kNoSocket); }
  // Closes the socket now; no effect when there is none.
  void Close();

 private:
  NativeSocket socket_ = kNoSocket;
};

// Results of the I/O calls below besides a byte count.
inline constexpr long kIoClosed = 0;     // the peer closed the connection
inline constexpr long kIoError = -1;     // the connection failed
inline constexpr long kIoTimeout = -2;   // the deadline passed
inline constexpr long kIoInterrupted = -3;  // an interrupt is noted (platform_interrupt.h)

// Connects to host:port (a name, an IPv4 or an IPv6 address), giving up after
// `timeout_ms` or at an interrupt. Returns 0 and fills `out`, or -1 with a
// reason in `error` ("interrupted" after an interrupt).
int Connect(const std::string& host, uint16_t port, int timeout_ms, Connection* out,
            std::string* error);

// Sends all `len` bytes, each wait for room bounded by `timeout_ms`.
// Returns 0, kIoError (also when the peer has gone), kIoTimeout or
// kIoInterrupted.
long SendAll(const Connection& c, const void* data, size_t len, int timeout_ms);

// Receives between 1 and `len` bytes, waiting at most `timeout_ms` for the
// first. Returns the count, kIoClosed, kIoError, kIoTimeout or kIoInterrupted.
long ReceiveSome(const Connection& c, void* data, size_t len, int timeout_ms);

// Shuts down the sending direction, so the peer reads the end of the stream.
void ShutdownSend(const Connection& c);

// Whether the peer has closed the connection (or it failed), asked without
// waiting: false while it is open, with or without unread bytes.
bool PeerClosed(const Connection& c);

// A connected pair of stream sockets (tests talk to themselves through it).
bool ConnectedPair(Connection* a, Connection* b);

// A listening socket on the loopback address (tests play the service on it).
class Listener {
 public:
  Listener() = default;
  Listener(Listener&& other) noexcept : socket_(other.socket_) { other.socket_ = kNoSocket; }
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;
  Listener& operator=(Listener&&) = delete;
  ~Listener();
  // Listens on 127.0.0.1 at a port the system chooses; 0 on success, -1 on failure.
  int Open();
  // The port it listens on; 0 when it is not open.
  uint16_t Port() const { return port_; }
  // Accepts one connection within `timeout_ms`; an invalid one on failure.
  Connection Accept(int timeout_ms) const;

 private:
  NativeSocket socket_ = kNoSocket;
  uint16_t port_ = 0;
};

// Prints `prompt` on the controlling terminal (on Windows, the console) and
// reads one line from it with echo off. Returns 0 with the line (without its
// line end) in `secret`, or -1 when there is no terminal, the read fails or
// an interrupt ends it.
int ReadSecretFromTerminal(const std::string& prompt, std::string* secret);

// Whether standard error is a terminal that draws progress in place: on
// Windows a console that takes the terminal's control sequences, which this
// turns on.
bool StandardErrorIsTerminal();

// A file written under a temporary name beside its target and renamed over
// the target only by Commit: until then, and after a failure, the target stays
// as it was. Dropping it without Commit deletes the temporary file.
class AtomicFile {
 public:
  AtomicFile() = default;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  ~AtomicFile() { Discard(); }

  // Creates the temporary file beside `target`, with the permissions (on
  // Windows the access list) of the target when it exists; 0, or -1 with a
  // reason.
  int Open(const std::string& target, std::string* error);
  // Appends bytes; 0, or -1 with a reason.
  int Write(const void* data, size_t len, std::string* error);
  // Flushes the data to disk and renames it over the target; 0, or -1 with a
  // reason (the temporary file is then gone and the target untouched).
  int Commit(std::string* error);
  // Deletes the temporary file; no effect after Commit or without Open.
  void Discard();
  // The temporary file's name while one is open; empty otherwise.
  const std::string& TempPath() const { return temp_path_; }

 private:
  std::intptr_t file_ = -1;  // a descriptor on POSIX, a HANDLE on Windows
  std::string target_;
  std::string temp_path_;
};

}  // namespace orvo::platform
