#include "service/tests/raw_client.h"

#include <algorithm>
#include <cstdint>

#include "service/platform/clock.h"

namespace testing_support {

RawClient::RawClient(int port, const std::string& host, const std::string& source)
    : socket_(platform::Connect(host, static_cast<uint16_t>(port), source)) {}

void RawClient::Send(const std::string& payload) { SendRaw(wire::EncodePacket(payload)); }

void RawClient::SendRaw(const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    long n = platform::SendSome(socket_, bytes.data() + sent, bytes.size() - sent);
    if (n <= 0) return;
    sent += static_cast<size_t>(n);
  }
}

bool RawClient::ReadExactly(std::string* out, size_t count, int timeout_ms) {
  out->clear();
  int64_t deadline = platform::MonotonicMs() + timeout_ms;
  while (out->size() < count) {
    int left = static_cast<int>(deadline - platform::MonotonicMs());
    if (left <= 0 || platform::WaitReadable(socket_, left) != platform::WaitResult::kReady) return false;
    char buf[4096];
    long n = platform::ReceiveSome(socket_, buf, std::min(sizeof buf, count - out->size()));
    if (n <= 0) {
      socket_.Close();
      return false;
    }
    out->append(buf, static_cast<size_t>(n));
  }
  return true;
}

std::string RawClient::Receive(int timeout_ms) {
  if (!socket_.Valid()) return "<closed>";
  std::string head;
  if (!ReadExactly(&head, wire::kLengthSize, timeout_ms)) return socket_.Valid() ? "<timeout>" : "<closed>";
  wire::ByteReader prefix(head);
  int32_t length = 0;
  wire::ReadLength(prefix, &length);
  std::string payload;
  if (!ReadExactly(&payload, static_cast<uint32_t>(length), timeout_ms)) return socket_.Valid() ? "<timeout>" : "<closed>";
  return payload;
}

std::string RawClient::Login(const std::string& user, const std::string& password) {
  if (Receive() != wire::kGreeting) return "<no greeting>";
  Send(user);
  if (Receive() != wire::kPasswordPrompt) return "<no password prompt>";
  Send(password);
  return Receive();
}

bool RawClient::Closed(int timeout_ms) {
  std::string rest;
  while (socket_.Valid()) {
    if (!ReadExactly(&rest, 1, timeout_ms)) return !socket_.Valid();
  }
  return true;
}

std::string Fetch(RawClient& c, const std::string& request, std::string* announced) {
  c.Send(request);
  std::string size = c.Receive();
  if (announced) *announced = size;
  if (size.empty() || size.find_first_not_of("0123456789") != std::string::npos) return "<reply " + size + ">";
  std::string data;
  for (;;) {
    std::string chunk = c.Receive();
    if (chunk == kEnd) return data;
    if (chunk.front() == '<') return chunk;
    data += chunk;
    c.Send(std::to_string(chunk.size()));
  }
}

std::string Store(RawClient& c, const std::string& request, const std::string& data) {
  c.Send(request);
  std::string ready = c.Receive();
  if (ready != kReady) return "<ready " + ready + ">";
  for (size_t at = 0; at < data.size(); at += wire::kMaxUploadChunk) {
    std::string chunk = data.substr(at, wire::kMaxUploadChunk);
    c.Send(chunk);
    std::string ack = c.Receive();
    if (ack != std::to_string(chunk.size())) return "<ack " + ack + ">";
  }
  c.Send(kEnd);
  return c.Receive();
}

std::string WithoutCr(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

bool HasLinesInOrder(const std::string& log, const std::vector<std::string>& lines) {
  size_t at = 0;
  for (const std::string& line : lines) {
    // A whole line: at the start of the log or right after a line end.
    for (;; ++at) {
      at = log.find(line, at);
      if (at == std::string::npos) return false;
      if (at == 0 || log[at - 1] == '\n') break;
    }
    at += line.size();
  }
  return true;
}

}  // namespace testing_support
