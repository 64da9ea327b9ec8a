// Windows implementation of orvo's calls about other programs and its own
// process. Commands run through cmd, as the shell runs them on POSIX.
#include "tools/orvo/platform_process.h"

#include <windows.h>
// (shellapi.h needs windows.h first.)
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <functional>
#include <iostream>
#include <streambuf>

#include "tools/orvo/win32_support.h"

namespace orvo::platform {

namespace {

constexpr size_t kMaxOutput = 64 * 1024;

// The variable through which RunWithFile hands the file to cmd.
constexpr wchar_t kFileVariable[] = L"ORVO_EDIT_FILE";

// cmd.exe from the system folder, never one that the current folder holds.
std::wstring CommandInterpreter() {
  wchar_t folder[MAX_PATH];
  UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return L"C:\\Windows\\System32\\cmd.exe";
  return std::wstring(folder, n) + L"\\cmd.exe";
}

// The command line that runs `command` by cmd: /d leaves out the AutoRun
// commands, /s takes the rest verbatim between its outer quotes.
std::wstring CommandLine(const std::wstring& command) { return L"cmd.exe /d /v:off /s /c \"" + command + L"\""; }

// A status as RunWithFile reports it.
int ExitCodeOf(DWORD status) { return status <= 255 ? static_cast<int>(status) : 255; }

// Starts `command_line` by cmd, waits for it, and returns its exit code; -1
// with a reason when it could not start.
int RunToEnd(const std::string& command, std::wstring command_line, STARTUPINFOW* startup, bool inherit,
             HANDLE close_after_start, const std::function<void()>& while_running, std::string* error) {
  PROCESS_INFORMATION process{};
  std::wstring interpreter = CommandInterpreter();
  BOOL started = ::CreateProcessW(interpreter.c_str(), command_line.data(), nullptr, nullptr, inherit, 0, nullptr,
                                  nullptr, startup, &process);
  std::string why = started ? "" : LastErrorText();
  if (close_after_start != nullptr) ::CloseHandle(close_after_start);
  if (!started) {
    *error = "cannot run " + command + ": " + why;
    return -1;
  }
  ::CloseHandle(process.hThread);
  if (while_running) while_running();
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  ::GetExitCodeProcess(process.hProcess, &status);
  ::CloseHandle(process.hProcess);
  return ExitCodeOf(status);
}

// The keyboard's interrupt belongs to the editor while it runs. A handler
// (unlike ignoring the event outright) is not inherited by the editor.
BOOL WINAPI LeaveInterruptToChild(DWORD event) { return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT; }

// Shows UTF-8 text on a console as the characters it encodes: the console
// would read the bytes in its own code page. A character split between two
// writes waits for its last bytes.
class ConsoleBuffer : public std::streambuf {
 public:
  explicit ConsoleBuffer(HANDLE console) : console_(console) {}

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    pending_.append(s, static_cast<size_t>(n));
    size_t whole = WholeCharacters(pending_);
    std::wstring wide = Widen(std::string_view(pending_).substr(0, whole));
    pending_.erase(0, whole);
    DWORD written = 0;
    if (!wide.empty() && !::WriteConsoleW(console_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr)) {
      return 0;
    }
    return n;
  }

 private:
  // The length of `text` without an incomplete UTF-8 sequence at its end.
  static size_t WholeCharacters(const std::string& text) {
    size_t size = text.size();
    for (size_t back = 1; back <= 3 && back <= size; ++back) {
      unsigned char c = static_cast<unsigned char>(text[size - back]);
      if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
      size_t needed = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
      return needed > back ? size - back : size;
    }
    return size;
  }

  HANDLE console_;
  std::string pending_;
};

bool IsConsole(HANDLE h) {
  DWORD mode = 0;
  return ::GetConsoleMode(h, &mode) != 0;
}

}  // namespace

int RunWithFile(const std::string& command, const std::string& file, std::string* error) {
  // cmd expands the variable once, inside quotes: no character of the path
  // (a "&", a "%", a "^") is taken as anything but part of the name.
  ::SetEnvironmentVariableW(kFileVariable, Widen(file).c_str());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  ::SetConsoleCtrlHandler(LeaveInterruptToChild, TRUE);
  int code = RunToEnd(command, CommandLine(Widen(command) + L" \"%" + kFileVariable + L"%\""), &startup, FALSE,
                      nullptr, nullptr, error);
  ::SetConsoleCtrlHandler(LeaveInterruptToChild, FALSE);
  ::SetEnvironmentVariableW(kFileVariable, nullptr);
  return code;
}

int RunAndRead(const std::string& command, std::string* output, std::string* error) {
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  if (!::CreatePipe(&read_end, &write_end, &inheritable, 0)) {
    *error = "cannot run " + command + ": " + LastErrorText();
    return -1;
  }
  ::SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = write_end;
  startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  output->clear();
  // The pipe is read while the command runs, so that it never blocks on a
  // full pipe; the parent's write end is closed first, so the read ends
  // when the command (and whatever it started) has closed its own.
  auto drain = [&] {
    char buffer[4096];
    DWORD n = 0;
    while (::ReadFile(read_end, buffer, sizeof buffer, &n, nullptr) && n > 0) {
      if (output->size() < kMaxOutput) output->append(buffer, n);
    }
  };
  int code = RunToEnd(command, CommandLine(Widen(command)), &startup, TRUE, write_end, drain, error);
  ::CloseHandle(read_end);
  return code;
}

std::string DefaultEditor() { return "notepad"; }

bool StandardInputIsTerminal() { return IsConsole(::GetStdHandle(STD_INPUT_HANDLE)); }

// A console program cannot be stopped and continued by the shell that
// started it: Ctrl+Z and Enter is the end of the input there.
void SuspendToShell() {}

std::vector<std::string> ProgramArguments(int /*argc*/, char** /*argv*/) {
  std::vector<std::string> args;
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return args;
  for (int i = 1; i < count; ++i) args.push_back(Narrow(wide[i]));
  ::LocalFree(wide);
  return args;
}

std::optional<std::string> EnvironmentVariable(const std::string& name) {
  std::wstring wide_name = Widen(name);
  ::SetLastError(ERROR_SUCCESS);
  DWORD size = ::GetEnvironmentVariableW(wide_name.c_str(), nullptr, 0);
  if (size == 0) {
    if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::string();
  }
  std::wstring value(size, L'\0');
  DWORD n = ::GetEnvironmentVariableW(wide_name.c_str(), value.data(), size);
  value.resize(n < size ? n : 0);
  return Narrow(value);
}

void PrepareStandardStreams() {
  ::_setmode(::_fileno(stdin), _O_BINARY);
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
  // The buffers outlive every static object: the streams are flushed once
  // more when the process ends.
  if (IsConsole(::GetStdHandle(STD_OUTPUT_HANDLE))) {
    std::cout.flush();
    std::cout.rdbuf(new ConsoleBuffer(::GetStdHandle(STD_OUTPUT_HANDLE)));
  }
  if (IsConsole(::GetStdHandle(STD_ERROR_HANDLE))) std::cerr.rdbuf(new ConsoleBuffer(::GetStdHandle(STD_ERROR_HANDLE)));
}

}  // namespace orvo::platform
