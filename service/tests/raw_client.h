// A client that speaks the administration protocol's packet framing byte for
// byte, for the end-to-end tests on every platform, with the exchanges of a
// whole-file fetch and store.
#pragma once

#include <string>
#include <vector>

#include "service/platform/net.h"
#include "wire/packet.h"
#include "wire/replies.h"

namespace testing_support {

// The end marker of a multi-packet reply or upload.
inline const std::string kEnd(wire::kEndMarker);
// The reply that opens a whole-file store.
inline const std::string kReady(wire::kReadyForFile);

// A client that speaks the packet framing byte for byte.
class RawClient {
 public:
  // Connects to host:port, from the local address `source` when one is
  // given; check connected().
  explicit RawClient(int port, const std::string& host = "127.0.0.1", const std::string& source = "");
  bool connected() const { return socket_.Valid(); }
  // Sends one packet with the given payload.
  void Send(const std::string& payload);
  // Sends raw bytes (for damaged framing).
  void SendRaw(const std::string& bytes);
  // Receives one packet's payload; "<closed>" when the connection ended,
  // "<timeout>" when nothing came within `timeout_ms`.
  std::string Receive(int timeout_ms = 5000);
  // Logs in with the greeting and prompts checked; returns the login reply.
  std::string Login(const std::string& user, const std::string& password);
  // Whether the service has closed the connection (within `timeout_ms`).
  bool Closed(int timeout_ms = 5000);
  void Close() { socket_.Close(); }

 private:
  bool ReadExactly(std::string* out, size_t count, int timeout_ms);
  platform::Socket socket_;
};

// Fetches with a command word: the size announcement, acknowledged chunks and
// the end marker. Returns the data, or "<...>" naming what went wrong.
std::string Fetch(RawClient& c, const std::string& request, std::string* announced = nullptr);

// Stores `data` with a command word in chunks of at most 1023 bytes; returns
// the final reply.
std::string Store(RawClient& c, const std::string& request, const std::string& data);

// Whether the log holds each of `lines` (whole lines with their CR LF), each
// after the one before; other sessions may log lines between them.
bool HasLinesInOrder(const std::string& log, const std::vector<std::string>& lines);

// Turns each CR LF into LF, as a text-mode read does.
std::string WithoutCr(const std::string& text);

}  // namespace testing_support
