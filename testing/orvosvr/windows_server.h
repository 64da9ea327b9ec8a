// Runs the real orvosvr.exe for the tests under Wine: a temporary copy of the
// example game server with the executable beside it, an "orvosvr.cfg" that
// points GYRIONPATH there, and a free loopback port for a raw client.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// What a run of a program printed and how it ended.
struct ProgramRun {
  int exit_code = -1000;  // its exit code as a signed number; -1000 when it never ended
  std::string out;        // standard output, its text-mode CR LF line ends read back as LF
  std::string raw_out;    // standard output byte for byte
  std::string err;        // standard error (where Wine writes its traces)
};

// Runs `command_line` (the program's path first, quoted as needed) in `folder`
// with `input` on its standard input, and waits at most `timeout_ms` for it
// to end; ended by force after that.
ProgramRun RunProgram(const std::string& command_line, const std::filesystem::path& folder,
                      int timeout_ms = 60000, const std::string& input = "");

// The system's text for an error code, without the line end it comes with.
std::string SystemText(unsigned long code);

class WindowsServer {
 public:
  // Copies the example game server and orvosvr.exe; `config_lines` are added
  // to "orvosvr.cfg".
  explicit WindowsServer(const std::vector<std::string>& config_lines = {});
  ~WindowsServer();
  WindowsServer(const WindowsServer&) = delete;
  WindowsServer& operator=(const WindowsServer&) = delete;

  // Starts orvosvr.exe with `args` in the background and waits until it
  // accepts connections; false when it ended or never did. With
  // `share_console` it runs in the test's console, in a process group of its
  // own, so that CtrlBreak can reach it.
  bool Start(const std::string& args = "", bool share_console = false);
  // Sends Ctrl+Break to the process that Start started with its console
  // shared; false when the console cannot deliver it.
  bool CtrlBreak() const;
  // Waits for that process to end: its exit code, or -1000 while it still
  // runs after `timeout_ms`.
  int WaitForExit(int timeout_ms);
  // Ends the process that Start started, at once (a console server has no
  // other way to end).
  void Stop();
  // Runs another orvosvr.exe in the folder with `args` until it ends.
  ProgramRun RunOnce(const std::string& args, int timeout_ms = 60000) const;

  int port() const { return port_; }
  const std::filesystem::path& folder() const { return folder_; }
  std::string Executable() const { return (folder_ / "orvosvr.exe").string(); }
  // A file of the game server's folder, read whole as bytes.
  std::string ReadFile(const std::string& relative) const;
  void WriteFile(const std::string& relative, const std::string& bytes) const;
  // Everything the service has logged today in the "LOG=" folder "logs".
  std::string Log() const;
  // What the process that Start started printed (its text-mode CR LF line
  // ends read back as LF).
  std::string Console() const;
  // Waits until the log contains `text`; false after `timeout_ms`.
  bool WaitForLog(const std::string& text, int timeout_ms = 20000) const;
  // Waits until `relative` exists in the folder; false after `timeout_ms`.
  bool WaitForFile(const std::string& relative, int timeout_ms = 20000) const;

 private:
  std::filesystem::path folder_;
  int port_ = 0;
  void* process_ = nullptr;  // the process handle of Start's orvosvr.exe
};

}  // namespace testing_support
