// The TCP client that talks to the game server's remote console, as the
// monitor's handlers see it, and the state numbers they tell apart.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace monitor {

// The socket's states by number. The handlers act on 0 (closed), 6
// (connecting) and 7 (connected) and treat every other value alike; the other
// numbers name the remaining steps of a connection's life, so that every
// front end's socket reports its states in the same numbers.
enum SocketState : int {
  kStateClosed = 0,
  kStateOpen = 1,
  kStateListening = 2,
  kStateConnectionPending = 3,
  kStateResolvingHost = 4,
  kStateHostResolved = 5,
  kStateConnecting = 6,
  kStateConnected = 7,
  kStateClosing = 8,
  kStateError = 9,
};

// The connection to the console. Its events (connected, data arrived, closed
// by the peer, error) reach the controller from the window's event loop,
// never from inside these calls.
class TelnetSocket {
 public:
  virtual ~TelnetSocket() = default;
  // The current state as one of the SocketState numbers.
  virtual int State() const = 0;
  // Starts connecting to `host` on `port` (the port as the user typed it);
  // success or failure arrives later as an event.
  virtual void Connect(const std::string& host, const std::string& port) = 0;
  // Drops the connection at once; no event follows for it.
  virtual void Close() = 0;
  // Queues `bytes` for sending.
  virtual void Send(std::string_view bytes) = 0;
  // Takes every byte that has arrived and not been read yet.
  virtual std::string ReadAll() = 0;
};

// The TCP port named by `text` (decimal digits, blanks around allowed), or
// nothing when the text is not a port from 1 to 65535.
std::optional<std::uint16_t> ParsePort(std::string_view text);

}  // namespace monitor
