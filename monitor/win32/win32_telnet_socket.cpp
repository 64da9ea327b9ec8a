#include "monitor/win32/win32_telnet_socket.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace monitor {
namespace {

constexpr UINT kNetworkEvent = WM_APP + 1;
constexpr UINT kHostFound = WM_APP + 2;
constexpr UINT kFailure = WM_APP + 3;
constexpr wchar_t kWindowClass[] = L"GyrionMonitorSocket";
// What one ReadAll takes at most, so that a console that never stops
// talking still leaves the windows time to draw; the system posts another
// read event for the rest.
constexpr size_t kMostPerRead = 1 << 20;

}  // namespace

Win32TelnetSocket::Win32TelnetSocket(HINSTANCE instance) {
  WSADATA data;
  started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = kWindowClass;
  RegisterClassW(&window_class);  // fails harmlessly when already there
  window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                            nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32TelnetSocket::~Win32TelnetSocket() {
  Close();
  if (window_ != nullptr) DestroyWindow(window_);
  // A lookup still under way writes its answer later: its room stays.
  for (Lookup& lookup : lookups_) static_cast<void>(lookup.answer.release());
  if (started_) WSACleanup();
}

LRESULT CALLBACK Win32TelnetSocket::WindowProc(HWND window, UINT message, WPARAM wparam,
                                               LPARAM lparam) {
  auto* self = reinterpret_cast<Win32TelnetSocket*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  switch (message) {
    case kNetworkEvent:
      self->OnNetworkEvent(static_cast<SOCKET>(wparam), WSAGETSELECTEVENT(lparam),
                           WSAGETSELECTERROR(lparam));
      return 0;
    case kHostFound:
      self->OnHostFound(reinterpret_cast<HANDLE>(wparam), WSAGETASYNCERROR(lparam));
      return 0;
    case kFailure:
      if (self->on_failed) self->on_failed();
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

void Win32TelnetSocket::Connect(const std::string& host, const std::string& port) {
  Close();
  state_ = kStateConnecting;
  const auto number = ParsePort(port);
  if (!number) {
    PostFailure();
    return;
  }
  port_ = *number;
  sockaddr_in v4{};
  v4.sin_family = AF_INET;
  v4.sin_port = htons(port_);
  sockaddr_in6 v6{};
  v6.sin6_family = AF_INET6;
  v6.sin6_port = htons(port_);
  if (inet_pton(AF_INET, host.c_str(), &v4.sin_addr) == 1) {
    StartConnect(reinterpret_cast<const sockaddr*>(&v4), sizeof(v4));
  } else if (inet_pton(AF_INET6, host.c_str(), &v6.sin6_addr) == 1) {
    StartConnect(reinterpret_cast<const sockaddr*>(&v6), sizeof(v6));
  } else {
    state_ = kStateResolvingHost;
    auto answer = std::make_unique<char[]>(MAXGETHOSTSTRUCT);
    lookup_ = WSAAsyncGetHostByName(window_, kHostFound, host.c_str(), answer.get(), MAXGETHOSTSTRUCT);
    if (lookup_ == nullptr) {
      PostFailure();
      return;
    }
    lookups_.push_back({lookup_, std::move(answer)});
  }
}

void Win32TelnetSocket::ForgetLookup(HANDLE lookup) {
  std::erase_if(lookups_, [lookup](const Lookup& entry) { return entry.handle == lookup; });
}

void Win32TelnetSocket::OnHostFound(HANDLE lookup, int error) {
  if (lookup != lookup_ || lookup_ == nullptr) {  // a lookup since cancelled
    ForgetLookup(lookup);
    return;
  }
  lookup_ = nullptr;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port_);
  const auto mine = std::find_if(lookups_.begin(), lookups_.end(),
                                 [lookup](const Lookup& entry) { return entry.handle == lookup; });
  const auto* entry =
      mine == lookups_.end() ? nullptr : reinterpret_cast<const hostent*>(mine->answer.get());
  const bool found = error == 0 && entry != nullptr && entry->h_addrtype == AF_INET &&
                     entry->h_addr_list[0] != nullptr;
  if (found) std::memcpy(&address.sin_addr, entry->h_addr_list[0], sizeof(address.sin_addr));
  ForgetLookup(lookup);
  if (!found) {
    state_ = kStateError;
    if (on_failed) on_failed();
    return;
  }
  StartConnect(reinterpret_cast<const sockaddr*>(&address), sizeof(address));
}

void Win32TelnetSocket::StartConnect(const sockaddr* address, int length) {
  state_ = kStateConnecting;
  socket_ = socket(address->sa_family, SOCK_STREAM, IPPROTO_TCP);
  if (socket_ == INVALID_SOCKET ||
      WSAAsyncSelect(socket_, window_, kNetworkEvent, FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE) != 0) {
    PostFailure();
    return;
  }
  // The socket is non-blocking now: the outcome arrives as FD_CONNECT.
  if (connect(socket_, address, length) != 0 && WSAGetLastError() != WSAEWOULDBLOCK) {
    PostFailure();
  }
}

void Win32TelnetSocket::OnNetworkEvent(SOCKET socket, int event, int error) {
  if (socket != socket_ || socket_ == INVALID_SOCKET) return;
  switch (event) {
    case FD_CONNECT:
      state_ = error == 0 ? kStateConnected : kStateError;
      if (error == 0 && on_connected) on_connected();
      if (error != 0 && on_failed) on_failed();
      break;
    case FD_READ:
      if (on_data_arrival) on_data_arrival();
      break;
    case FD_WRITE:
      Flush();
      break;
    case FD_CLOSE:
      // A reset ends the conversation as a close does; anything else that
      // ends it is a failure.
      if (error != 0 && error != WSAECONNRESET && error != WSAECONNABORTED) {
        state_ = kStateError;
        if (on_failed) on_failed();
        break;
      }
      // What arrived before the close is shown first.
      if (u_long waiting = 0; ioctlsocket(socket_, FIONREAD, &waiting) == 0 && waiting > 0) {
        if (on_data_arrival) on_data_arrival();
        if (socket != socket_) break;  // the handler closed the socket
      }
      state_ = kStateClosing;
      if (on_closed_by_peer) on_closed_by_peer();
      break;
    default:
      break;
  }
}

void Win32TelnetSocket::PostFailure() {
  state_ = kStateError;
  PostMessageW(window_, kFailure, 0, 0);
}

// After closesocket the system posts nothing more for the socket; what it
// posted before is taken off the queue here, so no stale event reaches the
// monitor after it closed the connection.
void Win32TelnetSocket::Close() {
  if (lookup_ != nullptr) {
    WSACancelAsyncRequest(lookup_);
    lookup_ = nullptr;
  }
  if (socket_ != INVALID_SOCKET) {
    closesocket(socket_);
    socket_ = INVALID_SOCKET;
  }
  outgoing_.clear();
  state_ = kStateClosed;
  MSG stale;
  while (PeekMessageW(&stale, window_, kNetworkEvent, kFailure, PM_REMOVE)) {
    if (stale.message == kHostFound) ForgetLookup(reinterpret_cast<HANDLE>(stale.wParam));
  }
}

void Win32TelnetSocket::Send(std::string_view bytes) {
  if (socket_ == INVALID_SOCKET) return;
  outgoing_.append(bytes);
  Flush();
}

void Win32TelnetSocket::Flush() {
  while (!outgoing_.empty() && socket_ != INVALID_SOCKET) {
    const int length = static_cast<int>(std::min<size_t>(outgoing_.size(), INT_MAX));
    const int sent = send(socket_, outgoing_.data(), length, 0);
    if (sent == SOCKET_ERROR) {
      // A full buffer waits for FD_WRITE; any other error ends the connection.
      if (WSAGetLastError() != WSAEWOULDBLOCK) {
        outgoing_.clear();
        PostFailure();
      }
      return;
    }
    outgoing_.erase(0, static_cast<size_t>(sent));
  }
}

std::string Win32TelnetSocket::ReadAll() {
  std::string bytes;
  if (socket_ == INVALID_SOCKET) return bytes;
  char chunk[16384];
  while (bytes.size() < kMostPerRead) {
    const int got = recv(socket_, chunk, static_cast<int>(sizeof(chunk)), 0);
    if (got <= 0) break;  // nothing more now, the peer's close, or an error its event reports
    bytes.append(chunk, static_cast<size_t>(got));
  }
  return bytes;
}

}  // namespace monitor
