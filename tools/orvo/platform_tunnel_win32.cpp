// Windows implementation of the tunnel. The program's standard input and
// output are anonymous pipes, and two threads relay them to one end of a
// loopback socket pair whose other end is orvo's connection, so that every
// wait of orvo's stays a socket wait with its deadline.
#include "tools/orvo/platform_tunnel.h"

// winsock2.h must come before windows.h.
#include <winsock2.h>
#include <windows.h>

#include <memory>
#include <thread>

#include "tools/orvo/win32_support.h"

namespace orvo::platform {

namespace {

// Time the program has, once its input has ended, to close its own
// connection in order (ssh tells the far side) before it is stopped.
constexpr DWORD kGraceMs = 3000;

// What runs beside the program: the relay's end of the socket pair, the
// pipes' other ends, and the two threads that move the bytes.
struct Relay {
  Connection socket;
  HANDLE to_program = INVALID_HANDLE_VALUE;    // writes its standard input
  HANDLE from_program = INVALID_HANDLE_VALUE;  // reads its standard output
  std::thread inbound;
  std::thread outbound;
};

SOCKET Sock(const Connection& c) { return static_cast<SOCKET>(c.Native()); }

// Waits without a deadline until `s` can be read (or written); false when
// the wait fails. The relay ignores the keyboard's interrupt: orvo answers
// it by closing its end, which ends the relay in turn.
bool Ready(SOCKET s, bool write) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  return ::select(0, write ? nullptr : &set, write ? &set : nullptr, nullptr, nullptr) == 1;
}

// orvo's end to the program's standard input, until orvo's end closes.
void Inbound(Relay* relay) {
  char buffer[16384];
  for (;;) {
    if (!Ready(Sock(relay->socket), false)) break;
    int n = ::recv(Sock(relay->socket), buffer, sizeof buffer, 0);
    if (n == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK) continue;
    if (n <= 0) break;
    DWORD written = 0;
    if (!::WriteFile(relay->to_program, buffer, static_cast<DWORD>(n), &written, nullptr) ||
        written != static_cast<DWORD>(n)) {
      break;
    }
  }
  // The program reads the end of its input.
  ::CloseHandle(relay->to_program);
  relay->to_program = INVALID_HANDLE_VALUE;
}

// The program's standard output to orvo's end, until the program closes it.
void Outbound(Relay* relay) {
  char buffer[16384];
  DWORD n = 0;
  while (::ReadFile(relay->from_program, buffer, sizeof buffer, &n, nullptr) && n > 0) {
    const char* p = buffer;
    while (n > 0) {
      int sent = ::send(Sock(relay->socket), p, static_cast<int>(n), 0);
      if (sent == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK && Ready(Sock(relay->socket), true)) continue;
      if (sent <= 0) return;
      p += sent;
      n -= static_cast<DWORD>(sent);
    }
  }
  // orvo reads the end of the stream.
  ::shutdown(Sock(relay->socket), SD_SEND);
}

// One argument as the C runtime's command-line parser reads it back.
std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

bool IsFile(const std::wstring& path) {
  DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The program's full path: a name with a folder as it is, a bare name from the
// folders of PATH only (never the current folder), with ".exe" when it has
// no extension. Empty when there is none.
std::wstring FindProgram(const std::wstring& program) {
  if (program.find_first_of(L"\\/:") != std::wstring::npos) return IsFile(program) ? program : std::wstring();
  DWORD size = ::GetEnvironmentVariableW(L"PATH", nullptr, 0);
  if (size == 0) return {};
  std::wstring path(size, L'\0');
  path.resize(::GetEnvironmentVariableW(L"PATH", path.data(), size));
  wchar_t found[MAX_PATH];
  DWORD n = ::SearchPathW(path.c_str(), program.c_str(), L".exe", MAX_PATH, found, nullptr);
  return n == 0 || n >= MAX_PATH ? std::wstring() : std::wstring(found, n);
}

// A pipe whose one end the program inherits.
bool Pipe(HANDLE* read, HANDLE* write, bool program_reads) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  if (!::CreatePipe(read, write, &inherit, 0)) return false;
  ::SetHandleInformation(program_reads ? *write : *read, HANDLE_FLAG_INHERIT, 0);
  return true;
}

void CloseIfOpen(HANDLE* h) {
  if (*h != INVALID_HANDLE_VALUE && *h != nullptr) ::CloseHandle(*h);
  *h = INVALID_HANDLE_VALUE;
}

}  // namespace

std::string DefaultSshProgram() {
  wchar_t folder[MAX_PATH];
  UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (n > 0 && n < MAX_PATH) {
    std::wstring shipped = std::wstring(folder, n) + L"\\OpenSSH\\ssh.exe";
    if (IsFile(shipped)) return Narrow(shipped);
  }
  return "ssh.exe";
}

int Tunnel::Start(const std::string& program, const std::vector<std::string>& args, Connection* connection,
                  std::string* error) {
  std::wstring path = FindProgram(Widen(program));
  if (path.empty()) {
    *error = "cannot start " + program + ": " + SystemText(ERROR_FILE_NOT_FOUND);
    return -1;
  }
  auto relay = std::make_unique<Relay>();
  Connection ours;
  HANDLE program_in = INVALID_HANDLE_VALUE;
  HANDLE program_out = INVALID_HANDLE_VALUE;
  if (!ConnectedPair(&ours, &relay->socket) || !Pipe(&program_in, &relay->to_program, true) ||
      !Pipe(&relay->from_program, &program_out, false)) {
    *error = "cannot make a connection for " + program + ": " + LastErrorText();
    CloseIfOpen(&program_in);
    CloseIfOpen(&program_out);
    CloseIfOpen(&relay->to_program);
    CloseIfOpen(&relay->from_program);
    return -1;
  }
  std::wstring command_line = Quoted(path);
  for (const std::string& a : args) command_line += L" " + Quoted(Widen(a));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = program_in;
  startup.hStdOutput = program_out;
  // Standard error stays orvo's, so that ssh speaks to the user itself.
  HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
  HANDLE err_copy = INVALID_HANDLE_VALUE;
  if (err != nullptr && err != INVALID_HANDLE_VALUE) {
    ::DuplicateHandle(::GetCurrentProcess(), err, ::GetCurrentProcess(), &err_copy, 0, TRUE, DUPLICATE_SAME_ACCESS);
  }
  startup.hStdError = err_copy;
  PROCESS_INFORMATION process{};
  BOOL started = ::CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &process);
  std::string why = started ? "" : LastErrorText();
  CloseIfOpen(&program_in);
  CloseIfOpen(&program_out);
  CloseIfOpen(&err_copy);
  if (!started) {
    CloseIfOpen(&relay->to_program);
    CloseIfOpen(&relay->from_program);
    *error = "cannot start " + program + ": " + why;
    return -1;
  }
  ::CloseHandle(process.hThread);
  process_ = reinterpret_cast<std::intptr_t>(process.hProcess);
  relay->inbound = std::thread(Inbound, relay.get());
  relay->outbound = std::thread(Outbound, relay.get());
  waiter_ = reinterpret_cast<std::intptr_t>(relay.release());
  *connection = std::move(ours);
  return 0;
}

int Tunnel::ExitCode(int timeout_ms) {
  if (process_ == -1) return exit_code_;
  HANDLE process = reinterpret_cast<HANDLE>(process_);
  if (::WaitForSingleObject(process, timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms)) != WAIT_OBJECT_0) {
    return -1;
  }
  DWORD status = 255;
  ::GetExitCodeProcess(process, &status);
  ::CloseHandle(process);
  process_ = -1;
  exit_code_ = status <= 255 ? static_cast<int>(status) : 255;
  return exit_code_;
}

Tunnel::~Tunnel() {
  if (process_ != -1 && ExitCode(static_cast<int>(kGraceMs)) < 0) {
    ::TerminateProcess(reinterpret_cast<HANDLE>(process_), 255);
    ExitCode(-1);
  }
  if (waiter_ == -1) return;
  std::unique_ptr<Relay> relay(reinterpret_cast<Relay*>(waiter_));
  waiter_ = -1;
  // The program has gone, so its output has ended; orvo's end is closed
  // (the session closes it first), so the relay's input has too.
  relay->outbound.join();
  relay->inbound.join();
  CloseIfOpen(&relay->from_program);
}

}  // namespace orvo::platform
