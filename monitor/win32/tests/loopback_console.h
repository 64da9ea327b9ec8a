// A stand-in for the game server's remote console on 127.0.0.1 for the
// Windows tests: it takes one client at a time, records what the client
// sends and sends or closes on request. Every wait blocks in the kernel with
// a deadline.
#pragma once

#include <winsock2.h>

#include <string>
#include <string_view>

namespace monitor::testing {

class LoopbackConsole {
 public:
  // Listens on a free port; `backlog` 0 with one unanswered client makes a
  // console whose next client waits for ever in the connecting state.
  explicit LoopbackConsole(int backlog = SOMAXCONN);
  ~LoopbackConsole();
  LoopbackConsole(const LoopbackConsole&) = delete;
  LoopbackConsole& operator=(const LoopbackConsole&) = delete;

  unsigned short Port() const { return port_; }
  // Takes the next client, waiting up to `limit_ms`; false when none came.
  bool Accept(DWORD limit_ms = 10000);
  // Fills the listener's queue with a client of its own that is never taken.
  void Stall();
  // Everything the client has sent once it ends in `ending` (waiting up to
  // `limit_ms`), or what came before the wait ran out or the client closed.
  std::string ReceiveUntil(std::string_view ending, DWORD limit_ms = 10000);
  // Everything received so far.
  const std::string& Received() const { return received_; }
  void Send(std::string_view bytes);
  // Closes the client's connection: with a reset when `reset` is set.
  void ClosePeer(bool reset = false);
  // Waits up to `limit_ms` for the client to close; true when it did.
  bool PeerClosed(DWORD limit_ms = 10000);

 private:
  // Reads what the client sent within `limit_ms`; false once it closed.
  bool ReadSome(DWORD limit_ms);

  SOCKET listener_ = INVALID_SOCKET;
  SOCKET peer_ = INVALID_SOCKET;
  SOCKET filler_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  std::string received_;
};

// Windows Sockets for the test program, started once.
void StartSockets();

}  // namespace monitor::testing
