// What orvo asks of the operating system: TCP connections with deadlines, the
// terminal (a password prompt without echo) and files that replace their
// target in one step. Nothing else in orvo includes an OS header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace orvo::platform {

// Owns one connected stream socket and closes it when it goes out of scope.
class Connection {
 public:
  Connection() = default;
  explicit Connection(int fd) : fd_(fd) {}
  Connection(Connection&& other) noexcept : fd_(other.Release()) {}
  Connection& operator=(Connection&& other) noexcept;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection() { Close(); }

  bool Valid() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  // Gives up ownership without closing.
  int Release();
  // Closes the socket now; no effect when there is none.
  void Close();

 private:
  int fd_ = -1;
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
  Listener(Listener&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
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
  int fd_ = -1;
  uint16_t port_ = 0;
};

// Prints `prompt` on the controlling terminal and reads one line from it with
// echo off. Returns 0 with the line (without its line end) in `secret`, or -1
// when there is no terminal, the read fails or an interrupt ends it.
int ReadSecretFromTerminal(const std::string& prompt, std::string* secret);

// Whether standard error is a terminal (progress is drawn in place there).
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

  // Creates the temporary file beside `target`; 0, or -1 with a reason.
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
  int fd_ = -1;
  std::string target_;
  std::string temp_path_;
};

}  // namespace orvo::platform
