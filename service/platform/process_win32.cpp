#include "service/platform/process.h"

#include <windows.h>

#include <thread>

namespace platform {

namespace {

// One argument as the C runtime's command-line parser reads it back.
std::string Quoted(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count double before a quote, which is escaped itself.
    out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  return out + "\"";
}

std::string CommandLine(const std::vector<std::string>& args) {
  std::string line;
  for (const std::string& arg : args) {
    if (!line.empty()) line += ' ';
    line += Quoted(arg);
  }
  return line;
}

class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  ~OwnedHandle() { Close(); }
  HANDLE* Out() { return &h_; }
  HANDLE Get() const { return h_; }
  void Close() {
    if (h_ != nullptr) ::CloseHandle(h_);
    h_ = nullptr;
  }

 private:
  HANDLE h_ = nullptr;
};

// Reads a pipe until its writers have closed it.
void Drain(HANDLE pipe, std::string* sink) {
  char buf[4096];
  DWORD n = 0;
  while (::ReadFile(pipe, buf, sizeof buf, &n, nullptr) && n > 0) sink->append(buf, n);
}

}  // namespace

int StartDetached(const std::string& path, const std::string& cwd, const std::string& /*output_path*/) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  // The path is the application and there is no separate command line; the
  // game server gets a console of its own and none of the service's handles.
  if (!::CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, cwd.c_str(),
                        &startup, &started)) {
    return static_cast<int>(::GetLastError());
  }
  ::CloseHandle(started.hThread);
  ::CloseHandle(started.hProcess);
  return 0;
}

ToolRun RunTool(const std::vector<std::string>& args) {
  ToolRun run;
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  OwnedHandle out_read, out_write, err_read, err_write;
  if (args.empty() || !::CreatePipe(out_read.Out(), out_write.Out(), &inherited, 0) ||
      !::CreatePipe(err_read.Out(), err_write.Out(), &inherited, 0)) {
    run.start_error = args.empty() ? ERROR_INVALID_PARAMETER : static_cast<int>(::GetLastError());
    return run;
  }
  // Only the write ends and the null input go to the program.
  ::SetHandleInformation(out_read.Get(), HANDLE_FLAG_INHERIT, 0);
  ::SetHandleInformation(err_read.Get(), HANDLE_FLAG_INHERIT, 0);
  OwnedHandle null_input(::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                       OPEN_EXISTING, 0, nullptr));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = null_input.Get();
  startup.hStdOutput = out_write.Get();
  startup.hStdError = err_write.Get();
  std::string line = CommandLine(args);
  PROCESS_INFORMATION started{};
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started)) {
    run.start_error = static_cast<int>(::GetLastError());
    return run;
  }
  OwnedHandle process(started.hProcess);
  ::CloseHandle(started.hThread);
  out_write.Close();
  err_write.Close();
  std::thread errors([&] { Drain(err_read.Get(), &run.err); });
  Drain(out_read.Get(), &run.out);
  errors.join();
  ::WaitForSingleObject(process.Get(), INFINITE);
  DWORD code = 0;
  if (::GetExitCodeProcess(process.Get(), &code)) run.exit_code = static_cast<int>(code);
  return run;
}

const char* PlatformName() { return "Win32"; }

std::string ErrorText(int error) {
  char* text = nullptr;
  DWORD n = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string out(text != nullptr ? text : "", n);
  if (text != nullptr) ::LocalFree(text);
  // The system ends its texts with a line end.
  if (out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0) out.resize(out.size() - 2);
  return out;
}

}  // namespace platform
