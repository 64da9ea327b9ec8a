#include "service/protocol/framing.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>

#include "service/host/config.h"
#include "service/host/log.h"
#include "service/host/text_lines.h"
#include "service/platform/clock.h"
#include "service/platform/process.h"

namespace protocol {

namespace {

constexpr int kSendLoopLimit = 100;
// The pause before a partial send is retried.
constexpr int kPartialSendPauseMs = 10;

// The patience of one receive phase: RECEIVETIMEOUT polls of one millisecond,
// and the poll after the last one still waits its millisecond.
int64_t PhaseDeadline() {
  return platform::MonotonicMs() + std::max<int64_t>(host::Config().receive_timeout, 0) + 1;
}

int Remaining(int64_t deadline) {
  int64_t left = deadline - platform::MonotonicMs();
  return left > 0 ? static_cast<int>(left) : 0;
}

// Reads and drops `count` bytes, within the patience of one phase; false when
// they did not all come.
bool Discard(const platform::Socket& s, size_t count) {
  int64_t deadline = PhaseDeadline();
  char scratch[4096];
  while (count > 0) {
    if (platform::WaitReadable(s, Remaining(deadline)) != platform::WaitResult::kReady) return false;
    long n = platform::ReceiveSome(s, scratch, std::min(sizeof scratch, count));
    if (n <= 0) return false;
    count -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

long SendPacket(const platform::Socket& s, const void* data, long length) {
  if (length < 1) return 0;
  if (length > static_cast<long>(wire::kMaxPayload)) {
    host::WriteLog("Error while sending packet to socket %ld.  Last error was %s\n", s.Id(),
                   "the packet is longer than 1024 bytes");
    return -1;
  }
  const std::string packet =
      wire::EncodePacket(std::string_view(static_cast<const char*>(data), static_cast<size_t>(length)));

  size_t sent = 0;
  int loops = 0;
  for (;;) {
    long n = platform::SendSome(s, packet.data() + sent, packet.size() - sent);
    if (n < 0) {
      host::WriteLog("Error while sending packet to socket %ld.  Last error was %s\n", s.Id(),
                     platform::ErrorText(platform::LastSocketError()).c_str());
      return -1;
    }
    if (loops > kSendLoopLimit) {
      host::WriteLog("Loop count exceeded while sending packet to socket %ld\n", s.Id());
      return -1;
    }
    loops += 2;
    sent += static_cast<size_t>(n);
    if (sent >= packet.size()) return length;
    platform::SleepMs(kPartialSendPauseMs);
  }
}

long SendFormatted(const platform::Socket& s, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = host::VFormat(format, args);
  va_end(args);
  return SendPacket(s, text);
}

Received ReceivePacket(const platform::Socket& s, std::string& payload, size_t capacity, Patience patience) {
  payload.clear();

  // The length: four little-endian bytes; packets of length 0 are skipped.
  // Waiting for a packet to begin has the caller's patience (no deadline, -1,
  // for the connection's); once a byte of a length has come, the packet has
  // begun and must complete: a time-out then leaves the stream out of step.
  constexpr int64_t kNoDeadline = -1;
  char raw[wire::kLengthSize];
  size_t got = 0;
  int32_t length = 0;
  int64_t deadline = patience == Patience::kConnection ? kNoDeadline : PhaseDeadline();
  while (length == 0) {
    platform::WaitResult w = platform::WaitReadable(s, deadline == kNoDeadline ? -1 : Remaining(deadline));
    if (w == platform::WaitResult::kError) return Received::kBroken;
    if (w == platform::WaitResult::kTimeout) {
      if (got > 0) {
        host::WriteLog("Timeout while receiving data from socket %ld.\n", s.Id());
        return Received::kStalled;
      }
      host::WriteLog("Timeout exceeded while receiving data from socket %ld\n", s.Id());
      return Received::kIdle;
    }
    long n = platform::ReceiveSome(s, raw + got, sizeof raw - got);
    if (n == 0) {
      host::WriteLog("Error receiving data from socket %ld.  recv() returned %ld.  iLength = %ld\n", s.Id(), 0L, 0L);
      return Received::kPeerClosed;
    }
    // A receive that fails on a readable socket would fail again at once:
    // the connection is broken, so waiting out the time-out gains nothing.
    if (n < 0) return Received::kBroken;
    if (got == 0 && deadline == kNoDeadline) deadline = PhaseDeadline();
    got += static_cast<size_t>(n);
    if (got < sizeof raw) continue;
    got = 0;
    wire::ByteReader prefix(std::string_view(raw, sizeof raw));
    wire::ReadLength(prefix, &length);
    // Four zero bytes between packets: the wait goes on as it began.
    if (length == 0 && patience == Patience::kConnection) deadline = kNoDeadline;
  }
  if (length > 0 && static_cast<size_t>(length) > capacity) {
    host::WriteLog(
        "Error receiving data from socket %ld.  The packet length (%ld) is greater than the buffer length.(%ld)",
        s.Id(), static_cast<long>(length), static_cast<long>(capacity));
    // The refused payload is read and dropped: left in the stream, its bytes
    // would be taken for the next packet's length.
    if (!Discard(s, static_cast<size_t>(length))) {
      host::WriteLog("Timeout while receiving data from socket %ld.\n", s.Id());
      return Received::kStalled;
    }
    return Received::kTooLong;
  }
  if (length < 0) return Received::kBroken;

  // The payload, with a fresh patience.
  payload.resize(static_cast<size_t>(length));
  size_t received = 0;
  deadline = PhaseDeadline();
  while (received < payload.size()) {
    platform::WaitResult w = platform::WaitReadable(s, Remaining(deadline));
    if (w == platform::WaitResult::kTimeout) {
      host::WriteLog("Timeout while receiving data from socket %ld.\n", s.Id());
      payload.clear();
      return Received::kStalled;
    }
    if (w == platform::WaitResult::kError) {
      host::WriteLog("Error while receiving data:  select() on socket %ld returned %ld\n", s.Id(), -1L);
      payload.clear();
      return Received::kBroken;
    }
    long n = platform::ReceiveSome(s, payload.data() + received, payload.size() - received);
    if (n < 0) {
      host::WriteLog("Error while receiving data: recv() on socket %ld returned %ld\n", s.Id(), n);
      payload.clear();
      return Received::kBroken;
    }
    if (n == 0) {
      // The peer closed in the middle of the payload: it can never complete.
      host::WriteLog("Timeout while receiving data from socket %ld.\n", s.Id());
      payload.clear();
      return Received::kStalled;
    }
    received += static_cast<size_t>(n);
  }
  return Received::kPacket;
}

void PauseAfterSend() {
  int32_t pause = host::Config().transfer_pause;
  if (pause > 0) platform::SleepMs(pause);
}

}  // namespace protocol
