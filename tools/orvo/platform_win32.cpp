// Windows implementation of orvo's platform layer: Windows Sockets 2, the
// console, and files replaced by one rename.
#include "tools/orvo/platform.h"

// winsock2.h must come before windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
// (aclapi.h needs windows.h first.)
#include <aclapi.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "tools/orvo/platform_files.h"
#include "tools/orvo/platform_interrupt.h"
#include "tools/orvo/win32_support.h"

namespace orvo::platform {

namespace {

// Windows Sockets are started once, on first use; the system cleans up when
// the process ends.
bool SocketsReady() {
  static const bool ready = [] {
    WSADATA data{};
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return ready;
}

SOCKET Sock(NativeSocket s) { return static_cast<SOCKET>(s); }
SOCKET Sock(const Connection& c) { return Sock(c.Native()); }

std::string SocketErrorText() { return SystemText(static_cast<unsigned long>(::WSAGetLastError())); }

// Every socket of orvo's is non-blocking, so that each wait is the select
// below with its deadline, and is kept from the programs orvo starts.
void Prepare(SOCKET s) {
  u_long on = 1;
  ::ioctlsocket(s, FIONBIO, &on);
  ::SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
}

// Stop-and-wait transfers send one small packet per round trip; Nagle's
// delay would add up to 200 ms to each.
void NoDelay(SOCKET s) {
  BOOL on = TRUE;
  ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

enum class Want { kRead, kWrite };

constexpr int kWaitInterrupted = -2;

// Waits until `s` is readable or writable; 1 ready (or failed, which the
// next call on the socket reports), 0 timeout, -1 error, kWaitInterrupted
// when an interrupt is noted (platform_interrupt.h).
int WaitFor(SOCKET s, Want want, int timeout_ms) {
  const SOCKET wake = static_cast<SOCKET>(InterruptWaitHandle());
  const bool watch_wake = InterruptWaitHandle() != -1;
  for (;;) {
    if (watch_wake && InterruptRequested()) return kWaitInterrupted;
    fd_set ready;
    fd_set readable;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&readable);
    FD_ZERO(&failed);
    FD_SET(s, &ready);
    FD_SET(s, &failed);
    if (watch_wake) FD_SET(wake, &readable);
    if (want == Want::kRead) FD_SET(s, &readable);
    timeval tv{};
    tv.tv_sec = timeout_ms / 1000;
    tv.tv_usec = (timeout_ms % 1000) * 1000;
    // A connection that fails while connecting shows only in the failed set.
    int r = ::select(0, &readable, want == Want::kWrite ? &ready : nullptr, &failed, timeout_ms < 0 ? nullptr : &tv);
    if (r == SOCKET_ERROR) return -1;
    if (r == 0) return 0;
    if (FD_ISSET(s, &failed) || (want == Want::kRead ? FD_ISSET(s, &readable) : FD_ISSET(s, &ready))) return 1;
    // Only the wake socket: an interrupt (seen above), or a byte left from
    // one already dealt with, which must not wake the next wait.
    if (!InterruptRequested()) ClearInterrupt();
  }
}

int Clamp(size_t len) { return static_cast<int>(std::min<size_t>(len, INT_MAX)); }

// Connects one socket of the address family `ai` names, within `timeout_ms`.
SOCKET ConnectOne(const ADDRINFOW* ai, int timeout_ms, std::string* error) {
  SOCKET s = ::socket(ai->ai_family, ai->ai_socktype, ai->ai_protocol);
  if (s == INVALID_SOCKET) {
    *error = SocketErrorText();
    return s;
  }
  Prepare(s);
  if (::connect(s, ai->ai_addr, static_cast<int>(ai->ai_addrlen)) == SOCKET_ERROR) {
    if (::WSAGetLastError() != WSAEWOULDBLOCK) {
      *error = SocketErrorText();
      ::closesocket(s);
      return INVALID_SOCKET;
    }
    int w = WaitFor(s, Want::kWrite, timeout_ms);
    int soerr = 0;
    int len = sizeof soerr;
    if (w == 0 || w == kWaitInterrupted) {
      *error = w == 0 ? "no answer within the time-out" : "interrupted";
      ::closesocket(s);
      return INVALID_SOCKET;
    }
    if (w < 0 || ::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soerr), &len) != 0 || soerr != 0) {
      *error = w < 0 ? SocketErrorText() : SystemText(static_cast<unsigned long>(soerr));
      ::closesocket(s);
      return INVALID_SOCKET;
    }
  }
  NoDelay(s);
  return s;
}

// The console's input and output, opened for the password prompt.
class Console {
 public:
  Console()
      : in_(::CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr)),
        out_(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr)) {}
  ~Console() {
    if (in_ != INVALID_HANDLE_VALUE) ::CloseHandle(in_);
    if (out_ != INVALID_HANDLE_VALUE) ::CloseHandle(out_);
  }
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  HANDLE In() const { return in_; }
  void Write(const std::wstring& text) const {
    DWORD written = 0;
    ::WriteConsoleW(out_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }

 private:
  HANDLE in_;
  HANDLE out_;
};

// Ctrl+C at the password prompt ends orvo, unless interrupts are caught
// (the console then ends the read, and the prompt gives the echo back
// itself): the console gets its echo back first.
HANDLE g_prompt_input = INVALID_HANDLE_VALUE;
DWORD g_prompt_mode = 0;

BOOL WINAPI RestoreEchoOnInterrupt(DWORD /*event*/) {
  if (InterruptWaitHandle() == -1) ::SetConsoleMode(g_prompt_input, g_prompt_mode);
  return FALSE;  // on to the handler that notes it, or to the system's
}

// The mode of standard error before progress turned control sequences on.
DWORD g_error_mode = 0;

void RestoreErrorMode() { ::SetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), g_error_mode); }

HANDLE Handle(std::intptr_t file) { return reinterpret_cast<HANDLE>(file); }

// Gives the new file `made` the access list of the file it will replace, as
// the POSIX side gives it the permissions. The list is copied as it is: the
// entries it inherits are the same in the same folder. A target that does
// not exist leaves the new file with what its folder gives it.
void KeepAccessList(const std::string& target, HANDLE made) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (::GetNamedSecurityInfoW(Widen(target).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                              nullptr, nullptr, &sd) != ERROR_SUCCESS) {
    return;
  }
  ::SetKernelObjectSecurity(made, DACL_SECURITY_INFORMATION, sd);
  ::LocalFree(sd);
}

}  // namespace

void Connection::Close() {
  if (socket_ != kNoSocket) ::closesocket(Sock(socket_));
  socket_ = kNoSocket;
}

int Connect(const std::string& host, uint16_t port, int timeout_ms, Connection* out, std::string* error) {
  if (!SocketsReady()) {
    *error = "Windows Sockets did not start";
    return -1;
  }
  ADDRINFOW hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  ADDRINFOW* list = nullptr;
  int g = ::GetAddrInfoW(Widen(host).c_str(), std::to_wstring(port).c_str(), &hints, &list);
  if (g != 0) {
    *error = SystemText(static_cast<unsigned long>(g));
    return -1;
  }
  SOCKET s = INVALID_SOCKET;
  for (ADDRINFOW* ai = list; ai != nullptr && s == INVALID_SOCKET; ai = ai->ai_next) {
    s = ConnectOne(ai, timeout_ms, error);
  }
  ::FreeAddrInfoW(list);
  if (s == INVALID_SOCKET) return -1;
  *out = Connection(static_cast<NativeSocket>(s));
  return 0;
}

long SendAll(const Connection& c, const void* data, size_t len, int timeout_ms) {
  const char* p = static_cast<const char*>(data);
  while (len > 0) {
    int n = ::send(Sock(c), p, Clamp(len), 0);
    if (n > 0) {
      p += n;
      len -= static_cast<size_t>(n);
      continue;
    }
    if (n == SOCKET_ERROR && ::WSAGetLastError() != WSAEWOULDBLOCK) return kIoError;
    int w = WaitFor(Sock(c), Want::kWrite, timeout_ms);
    if (w == 0) return kIoTimeout;
    if (w == kWaitInterrupted) return kIoInterrupted;
    if (w < 0) return kIoError;
  }
  return 0;
}

long ReceiveSome(const Connection& c, void* data, size_t len, int timeout_ms) {
  for (;;) {
    int w = WaitFor(Sock(c), Want::kRead, timeout_ms);
    if (w == 0) return kIoTimeout;
    if (w == kWaitInterrupted) return kIoInterrupted;
    if (w < 0) return kIoError;
    int n = ::recv(Sock(c), static_cast<char*>(data), Clamp(len), 0);
    if (n >= 0) return n;
    int err = ::WSAGetLastError();
    if (err == WSAEWOULDBLOCK) continue;
    return err == WSAECONNRESET || err == WSAECONNABORTED ? kIoClosed : kIoError;
  }
}

void ShutdownSend(const Connection& c) {
  if (c.Valid()) ::shutdown(Sock(c), SD_SEND);
}

bool PeerClosed(const Connection& c) {
  if (!c.Valid()) return true;
  int w = WaitFor(Sock(c), Want::kRead, 0);
  if (w == 0 || w == kWaitInterrupted) return false;
  char byte = 0;
  int n = ::recv(Sock(c), &byte, 1, MSG_PEEK);
  return n == 0 || (n == SOCKET_ERROR && ::WSAGetLastError() != WSAEWOULDBLOCK);
}

// Windows has no socketpair: the pair meets through a loopback listener that
// lives for this call only, and the accepted end must be the one connected.
bool ConnectedPair(Connection* a, Connection* b) {
  Listener listener;
  if (listener.Open() != 0) return false;
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return false;
  Connection here(static_cast<NativeSocket>(s));
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(listener.Port());
  if (::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return false;
  Connection there = listener.Accept(5000);
  sockaddr_in mine{};
  sockaddr_in theirs{};
  int mine_len = sizeof mine;
  int theirs_len = sizeof theirs;
  if (!there.Valid() || ::getsockname(s, reinterpret_cast<sockaddr*>(&mine), &mine_len) != 0 ||
      ::getpeername(Sock(there), reinterpret_cast<sockaddr*>(&theirs), &theirs_len) != 0 ||
      mine.sin_port != theirs.sin_port) {
    return false;
  }
  Prepare(s);
  NoDelay(s);
  *a = std::move(here);
  *b = std::move(there);
  return true;
}

Listener::~Listener() {
  if (socket_ != kNoSocket) ::closesocket(Sock(socket_));
}

int Listener::Open() {
  if (!SocketsReady()) return -1;
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return -1;
  Prepare(s);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int len = sizeof addr;
  if (::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(s, 4) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    ::closesocket(s);
    return -1;
  }
  socket_ = static_cast<NativeSocket>(s);
  port_ = ntohs(addr.sin_port);
  return 0;
}

Connection Listener::Accept(int timeout_ms) const {
  if (socket_ == kNoSocket || WaitFor(Sock(socket_), Want::kRead, timeout_ms) != 1) return Connection();
  SOCKET s = ::accept(Sock(socket_), nullptr, nullptr);
  if (s == INVALID_SOCKET) return Connection();
  Prepare(s);
  NoDelay(s);
  return Connection(static_cast<NativeSocket>(s));
}

int ReadSecretFromTerminal(const std::string& prompt, std::string* secret) {
  Console console;
  DWORD saved = 0;
  if (console.In() == INVALID_HANDLE_VALUE || !::GetConsoleMode(console.In(), &saved)) return -1;
  console.Write(Widen(prompt));
  g_prompt_input = console.In();
  g_prompt_mode = saved;
  ::SetConsoleCtrlHandler(RestoreEchoOnInterrupt, TRUE);
  ::SetConsoleMode(console.In(), (saved | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) & ~DWORD{ENABLE_ECHO_INPUT});
  // A line comes whole, with its CR LF, in as many reads as it takes.
  std::wstring line;
  wchar_t buffer[256];
  DWORD n = 0;
  while (line.find(L'\n') == std::wstring::npos && ::ReadConsoleW(console.In(), buffer, 256, &n, nullptr) && n > 0) {
    line.append(buffer, n);
  }
  ::SecureZeroMemory(buffer, sizeof buffer);
  ::SetConsoleMode(console.In(), saved);
  ::SetConsoleCtrlHandler(RestoreEchoOnInterrupt, FALSE);
  console.Write(L"\r\n");
  size_t end = line.find_first_of(L"\r\n");
  // Ctrl+Z is the console's end of input: nothing was typed. Ctrl+C ends the
  // read without a line.
  int result = end == std::wstring::npos || line.starts_with(L'\x1a') || InterruptRequested() ? -1 : 0;
  if (result == 0) *secret = Narrow(std::wstring_view(line).substr(0, end));
  ::SecureZeroMemory(line.data(), line.size() * sizeof(wchar_t));
  return result;
}

bool StandardErrorIsTerminal() {
  HANDLE h = ::GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (!::GetConsoleMode(h, &mode)) return false;
  if (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) return true;
  if (!::SetConsoleMode(h, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) return false;
  // The console is shared with the shell that started orvo: it gets its
  // mode back when orvo ends.
  g_error_mode = mode;
  std::atexit(RestoreErrorMode);
  return true;
}

int AtomicFile::Open(const std::string& target, std::string* error) {
  Discard();
  // The temporary file lies in the target's folder so that the final rename
  // never crosses a volume.
  std::string dir = FolderOf(target);
  size_t sep = target.find_last_of("/\\");
  std::string base = sep == std::string::npos ? target : target.substr(sep + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = JoinPath(dir, "." + base + ".orvo-" + RandomSuffix());
    HANDLE h = ::CreateFileW(Widen(name).c_str(), GENERIC_WRITE | WRITE_DAC, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      KeepAccessList(target, h);
      file_ = reinterpret_cast<std::intptr_t>(h);
      target_ = target;
      temp_path_ = name;
      return 0;
    }
    if (::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  *error = "cannot create a file in " + dir + ": " + LastErrorText();
  return -1;
}

int AtomicFile::Write(const void* data, size_t len, std::string* error) {
  const char* p = static_cast<const char*>(data);
  while (len > 0) {
    DWORD n = 0;
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(len, 1u << 30));
    if (!::WriteFile(Handle(file_), p, chunk, &n, nullptr)) {
      *error = "cannot write " + temp_path_ + ": " + LastErrorText();
      return -1;
    }
    p += n;
    len -= n;
  }
  return 0;
}

int AtomicFile::Commit(std::string* error) {
  if (file_ == -1) {
    *error = "no file is open";
    return -1;
  }
  bool flushed = ::FlushFileBuffers(Handle(file_)) != 0;
  std::string why = flushed ? "" : LastErrorText();
  ::CloseHandle(Handle(file_));
  file_ = -1;
  if (!flushed) {
    *error = "cannot write " + temp_path_ + ": " + why;
    Discard();
    return -1;
  }
  // One rename, which either happens whole or not at all.
  if (!::MoveFileExW(Widen(temp_path_).c_str(), Widen(target_).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    *error = "cannot replace " + target_ + ": " + LastErrorText();
    Discard();
    return -1;
  }
  temp_path_.clear();
  return 0;
}

void AtomicFile::Discard() {
  if (file_ != -1) ::CloseHandle(Handle(file_));
  file_ = -1;
  if (!temp_path_.empty()) ::DeleteFileW(Widen(temp_path_).c_str());
  temp_path_.clear();
}

}  // namespace orvo::platform
