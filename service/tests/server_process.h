// Runs the real orvosvr binary for end-to-end tests: a temporary copy of the
// example game server with the binary beside it, an "orvosvr.cfg" that
// points GYRIONPATH there, a free loopback port, and a raw client.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "service/platform/net.h"

namespace testing_support {

class ServerProcess {
 public:
  // Copies the example game server; `config_lines` are added to "orvosvr.cfg".
  explicit ServerProcess(const std::vector<std::string>& config_lines = {});
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  // Starts the binary with `args` and waits until it accepts connections;
  // false on failure.
  bool Start(const std::vector<std::string>& args = {});
  // Ends the process (SIGTERM, then SIGKILL).
  void Stop();

  // Sets a variable of the environment the binary gets (both Start and
  // RunOnce); the rest of the test's environment is passed on.
  void SetEnv(const std::string& name, const std::string& value);
  // Leaves a variable out of that environment.
  void UnsetEnv(const std::string& name);
  // Runs another copy of the binary in the folder with `args` until it ends;
  // fills `console` with what it printed on standard output. Returns its exit
  // status as WaitForExit does.
  int RunOnce(const std::vector<std::string>& args, std::string* console, int timeout_ms = 20000);
  // Sends a signal to the process that Start started.
  void Signal(int signal_number);
  // Waits for the process that Start started to end: its exit code (0 to
  // 255), 128 plus the signal that ended it, or -1 when it still runs after
  // `timeout_ms`.
  int WaitForExit(int timeout_ms = 20000);

  int port() const { return port_; }
  const std::filesystem::path& folder() const { return folder_; }
  // A file of the game server's folder, read whole as bytes.
  std::string ReadFile(const std::string& relative) const;
  void WriteFile(const std::string& relative, const std::string& bytes) const;
  // Everything the service has logged today (CR LF as written).
  std::string Log() const;
  // What the process printed on standard output.
  std::string Console() const;
  // Waits until the log contains `text`; false after `timeout_ms`.
  bool WaitForLog(const std::string& text, int timeout_ms = 5000) const;

 private:
  // Starts the binary with `args`, standard output to `output`; the pid or -1.
  int Launch(const std::vector<std::string>& args, const std::filesystem::path& output) const;

  std::filesystem::path folder_;
  int port_ = 0;
  int pid_ = -1;
  std::map<std::string, std::optional<std::string>> environment_;  // nullopt: left out
};

// A client that speaks the packet framing byte for byte.
class RawClient {
 public:
  // Connects to 127.0.0.1:port; check connected().
  explicit RawClient(int port);
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

}  // namespace testing_support
