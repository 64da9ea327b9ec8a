// Test support only: starting, watching and ending processes needs the
// system's process calls directly.
#include "testing/orvosvr/windows_server.h"

#include <windows.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "service/platform/clock.h"
#include "service/platform/net.h"

namespace testing_support {

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Text-mode output read back: each CR LF as LF.
std::string TextModeLines(std::string text) {
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
  return text;
}

// The socket library, started once for the whole test program.
void StartSockets() {
  static const int started = platform::NetStartup();
  (void)started;
}

int FreePort() {
  StartSockets();
  int stage = 0;
  platform::Socket s = platform::OpenListener(0, 1, &stage);
  return platform::LocalPort(s);
}

std::string LogName() {
  platform::LocalDate d = platform::Today();
  char name[64];
  std::snprintf(name, sizeof name, "orvosvr.%04d.%02d.%02d.log", d.year, d.month, d.day);
  return name;
}

// A file the child writes its output to; inheritable, opened for appending.
HANDLE OutputFile(const fs::path& path) {
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return ::CreateFileW(path.wstring().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Starts `command_line` in `folder` with standard output and error going to
// the two files and standard input read from `input` (NUL when empty); the
// process handle, or nullptr.
HANDLE Launch(const std::string& command_line, const fs::path& folder, const fs::path& out, const fs::path& err,
              DWORD flags = CREATE_NO_WINDOW, const fs::path& input = {}) {
  HANDLE out_file = OutputFile(out);
  HANDLE err_file = OutputFile(err);
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE null_input = ::CreateFileW(input.empty() ? L"NUL" : input.wstring().c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = null_input;
  startup.hStdOutput = out_file;
  startup.hStdError = err_file;
  std::string line = command_line;
  PROCESS_INFORMATION started{};
  std::string cwd = folder.string();
  BOOL ok = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, flags, nullptr, cwd.c_str(),
                             &startup, &started);
  DWORD why = ok ? ERROR_SUCCESS : ::GetLastError();
  for (HANDLE h : {out_file, err_file, null_input}) {
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
  }
  if (!ok) {
    ::SetLastError(why);
    return nullptr;
  }
  ::CloseHandle(started.hThread);
  return started.hProcess;
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

std::string SystemText(unsigned long code) {
  char* text = nullptr;
  DWORD n = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string out(text != nullptr ? text : "", n);
  if (text != nullptr) ::LocalFree(text);
  if (out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0) out.resize(out.size() - 2);
  return out;
}

ProgramRun RunProgram(const std::string& command_line, const fs::path& folder, int timeout_ms,
                      const std::string& input) {
  static int counter = 0;
  int n = counter++;
  fs::path out = fs::temp_directory_path() / ("orvosvr-run-" + std::to_string(::GetCurrentProcessId()) + "-" +
                                              std::to_string(n) + ".out");
  fs::path err = out;
  err.replace_extension(".err");
  fs::path in;
  if (!input.empty()) {
    in = out;
    in.replace_extension(".in");
    std::ofstream(in, std::ios::binary) << input;
  }
  ProgramRun run;
  HANDLE process = Launch(command_line, folder, out, err, CREATE_NO_WINDOW, in);
  const std::string not_started = process == nullptr ? "the program did not start: " + SystemText(::GetLastError()) : "";
  if (process != nullptr) {
    if (::WaitForSingleObject(process, static_cast<DWORD>(timeout_ms)) == WAIT_OBJECT_0) {
      DWORD code = 0;
      ::GetExitCodeProcess(process, &code);
      run.exit_code = static_cast<int>(code);
    } else {
      ::TerminateProcess(process, 1);
      ::WaitForSingleObject(process, INFINITE);
    }
    ::CloseHandle(process);
  }
  run.raw_out = Slurp(out);
  run.out = TextModeLines(run.raw_out);
  run.err = not_started + Slurp(err);
  std::error_code ec;
  fs::remove(out, ec);
  fs::remove(err, ec);
  if (!in.empty()) fs::remove(in, ec);
  return run;
}

WindowsServer::WindowsServer(const std::vector<std::string>& config_lines) {
  static int counter = 0;
  folder_ = fs::temp_directory_path() /
            ("orvosvr-win-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++));
  fs::remove_all(folder_);
  fs::copy(fs::path(KIT_SOURCE_DIR) / "examples" / "gameserver", folder_, fs::copy_options::recursive);
  fs::copy_file(ORVOSVR_BINARY, folder_ / "orvosvr.exe");
  port_ = FreePort();
  std::ofstream cfg(folder_ / "orvosvr.cfg", std::ios::binary);
  cfg << "# written by the tests under Wine\r\n";
  cfg << "PORT " << port_ << "\r\n";
  cfg << "GYRIONPATH " << folder_.string() << "\r\n";
  cfg << "RECEIVETIMEOUT 5000\r\n";
  for (const std::string& line : config_lines) cfg << line << "\r\n";
}

WindowsServer::~WindowsServer() {
  Stop();
  std::error_code ec;
  fs::remove_all(folder_, ec);
}

bool WindowsServer::Start(const std::string& args, bool share_console) {
  std::string line = Quoted(Executable()) + (args.empty() ? "" : " " + args);
  process_ = Launch(line, folder_, folder_ / "console.out", folder_ / "console.err",
                    share_console ? CREATE_NEW_PROCESS_GROUP : CREATE_NO_WINDOW);
  if (process_ == nullptr) return false;
  // Wine's first start of a program can take a while.
  int64_t deadline = platform::MonotonicMs() + 60000;
  while (platform::MonotonicMs() < deadline) {
    platform::Socket probe = platform::Connect("127.0.0.1", static_cast<uint16_t>(port_));
    if (probe.Valid()) return true;
    if (::WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

bool WindowsServer::CtrlBreak() const {
  return process_ != nullptr && ::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, ::GetProcessId(process_));
}

int WindowsServer::WaitForExit(int timeout_ms) {
  if (process_ == nullptr || ::WaitForSingleObject(process_, static_cast<DWORD>(timeout_ms)) != WAIT_OBJECT_0) {
    return -1000;
  }
  DWORD code = 0;
  ::GetExitCodeProcess(process_, &code);
  ::CloseHandle(process_);
  process_ = nullptr;
  return static_cast<int>(code);
}

void WindowsServer::Stop() {
  if (process_ == nullptr) return;
  ::TerminateProcess(process_, 1);
  ::WaitForSingleObject(process_, INFINITE);
  ::CloseHandle(process_);
  process_ = nullptr;
}

ProgramRun WindowsServer::RunOnce(const std::string& args, int timeout_ms) const {
  return RunProgram(Quoted(Executable()) + (args.empty() ? "" : " " + args), folder_, timeout_ms);
}

std::string WindowsServer::ReadFile(const std::string& relative) const { return Slurp(folder_ / relative); }

void WindowsServer::WriteFile(const std::string& relative, const std::string& bytes) const {
  std::ofstream(folder_ / relative, std::ios::binary) << bytes;
}

std::string WindowsServer::Log() const { return Slurp(folder_ / "logs" / LogName()); }

std::string WindowsServer::Console() const { return TextModeLines(Slurp(folder_ / "console.out")); }

bool WindowsServer::WaitForLog(const std::string& text, int timeout_ms) const {
  int64_t deadline = platform::MonotonicMs() + timeout_ms;
  while (platform::MonotonicMs() < deadline) {
    if (Log().find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

bool WindowsServer::WaitForFile(const std::string& relative, int timeout_ms) const {
  int64_t deadline = platform::MonotonicMs() + timeout_ms;
  while (platform::MonotonicMs() < deadline) {
    if (fs::exists(folder_ / relative)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

}  // namespace testing_support
