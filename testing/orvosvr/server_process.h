// Runs the real orvosvr binary for end-to-end tests: a temporary copy of the
// example game server with the binary beside it, an "orvosvr.cfg" that
// points GYRIONPATH there, and a free loopback port for a client.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "testing/temp_folder.h"

namespace testing_support {

class ServerProcess {
 public:
  // Copies the example game server; `config_lines` are added to "orvosvr.cfg".
  explicit ServerProcess(const std::vector<std::string>& config_lines = {});
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  // Starts the binary with `args` and waits until it accepts connections (at
  // 127.0.0.1, or the address ProbeAt names); false on failure.
  bool Start(const std::vector<std::string>& args = {});
  // The address at which Start sees the service accept (a numeric IPv4 or
  // IPv6 address), for a service that does not listen on 127.0.0.1.
  void ProbeAt(const std::string& address) { probe_address_ = address; }
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

  TempFolder root_;
  std::filesystem::path folder_;
  int port_ = 0;
  int pid_ = -1;
  std::string probe_address_ = "127.0.0.1";
  std::map<std::string, std::optional<std::string>> environment_;  // nullopt: left out
};

}  // namespace testing_support
