#include "tools/orvo/tests/fake_server.h"

#include "tools/orvo/packets.h"
#include "tools/orvo/replies.h"
#include "tools/orvo/results.h"

namespace orvo::testing {

namespace {

// Long enough for any client under test; a client that hangs fails the test
// instead of hanging it.
constexpr int kPatienceMs = 5000;

}  // namespace

Step Send(std::string payload) { return {Step::Kind::kSend, std::move(payload)}; }
Step SendRaw(std::string bytes) { return {Step::Kind::kSendRaw, std::move(bytes)}; }
Step Expect(std::string payload) { return {Step::Kind::kExpect, std::move(payload)}; }
Step Close() { return {Step::Kind::kClose, ""}; }

std::vector<Step> LoginSteps(const std::string& user, const std::string& password) {
  return {Send(std::string(wire::kGreeting)), Expect(user), Send(std::string(kPasswordPrompt)),
          Expect(password.empty() ? "\r\n" : password), Send(std::string(kLoginSuccessful))};
}

std::vector<Step> AfterLogin(std::vector<Step> steps, const std::string& user, const std::string& password) {
  std::vector<Step> all = LoginSteps(user, password);
  all.insert(all.end(), steps.begin(), steps.end());
  return all;
}

FakeServer::FakeServer(platform::Connection connection, std::vector<Step> steps) : steps_(std::move(steps)) {
  thread_ = std::thread([this, c = std::move(connection)]() mutable { Play(std::move(c)); });
}

FakeServer::FakeServer(std::vector<Step> steps) : steps_(std::move(steps)) {
  if (listener_.Open() != 0) {
    failures_.push_back("cannot listen on the loopback address");
    return;
  }
  thread_ = std::thread([this] {
    platform::Connection c = listener_.Accept(kPatienceMs);
    if (!c.Valid()) {
      failures_.push_back("the client never connected");
      return;
    }
    Play(std::move(c));
  });
}

FakeServer::~FakeServer() {
  if (thread_.joinable()) thread_.join();
}

std::vector<std::string> FakeServer::Finish() {
  if (thread_.joinable()) thread_.join();
  return failures_;
}

void FakeServer::Play(platform::Connection c) {
  std::string packet;
  for (size_t i = 0; i < steps_.size(); ++i) {
    const Step& step = steps_[i];
    std::string where = "step " + std::to_string(i) + ": ";
    switch (step.kind) {
      case Step::Kind::kSend:
      case Step::Kind::kSendRaw: {
        std::string bytes = step.kind == Step::Kind::kSend ? EncodePacket(step.bytes) : step.bytes;
        if (platform::SendAll(c, bytes.data(), bytes.size(), kPatienceMs) != 0) {
          failures_.push_back(where + "the client went away before " + EscapedBytes(step.bytes));
          return;
        }
        break;
      }
      case Step::Kind::kExpect: {
        int r = ReceivePacket(c, &packet, kMaxPayload, kPatienceMs);
        if (r < 0) {
          failures_.push_back(where + "expected " + EscapedBytes(step.bytes) + ", got result " + std::to_string(r));
          return;
        }
        if (packet != step.bytes) {
          failures_.push_back(where + "expected " + EscapedBytes(step.bytes) + ", got " + EscapedBytes(packet));
          return;
        }
        break;
      }
      case Step::Kind::kClose:
        c.Close();
        return;
    }
  }
  while (ReceivePacket(c, &packet, kMaxPayload, kPatienceMs) > 0) rest_.push_back(packet);
}

}  // namespace orvo::testing
