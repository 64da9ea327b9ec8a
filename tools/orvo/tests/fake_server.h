// A scripted stand-in for the service in orvo's tests: it plays one
// conversation, step by step, on a connection of its own thread, and records
// every way the client departed from it.
#pragma once

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tools/orvo/platform.h"

namespace orvo::testing {

struct Step {
  enum class Kind { kSend, kSendRaw, kExpect, kClose };
  Kind kind;
  std::string bytes;
};

// Sends one packet with this payload.
Step Send(std::string payload);
// Sends these bytes as they are (damaged framing, split packets).
Step SendRaw(std::string bytes);
// The client's next packet must have exactly this payload.
Step Expect(std::string payload);
// Closes the connection.
Step Close();

// The service's side of a login that succeeds as `user` with `password`.
std::vector<Step> LoginSteps(const std::string& user, const std::string& password);
// The same followed by `steps`.
std::vector<Step> AfterLogin(std::vector<Step> steps, const std::string& user = "builder",
                             const std::string& password = "secret");

class FakeServer {
 public:
  // Plays `steps` on `connection`.
  FakeServer(platform::Connection connection, std::vector<Step> steps);
  // Plays `steps` on the first connection to a loopback port (see Port()).
  explicit FakeServer(std::vector<Step> steps);
  ~FakeServer();
  FakeServer(const FakeServer&) = delete;
  FakeServer& operator=(const FakeServer&) = delete;

  uint16_t Port() const { return listener_.Port(); }

  // Waits until the script has been played and the client has closed (or kept
  // silent for a few seconds). Returns the departures, empty when none.
  std::vector<std::string> Finish();
  // The packets the client sent after the last step, until it closed.
  const std::vector<std::string>& Rest() const { return rest_; }

 private:
  void Play(platform::Connection connection);

  platform::Listener listener_;
  std::vector<Step> steps_;
  std::vector<std::string> failures_;
  std::vector<std::string> rest_;
  std::thread thread_;
};

}  // namespace orvo::testing
