// `TelnetSocket` over Windows Sockets on the window thread. The socket reports
// its network events (connected, data, closed) as window messages through
// WSAAsyncSelect, and host names are looked up with WSAAsyncGetHostByName, so
// every event reaches the monitor from the message loop, after the call that
// caused it has returned, and nothing ever blocks the windows.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "monitor/core/telnet_socket.h"

namespace monitor {

class Win32TelnetSocket final : public TelnetSocket {
 public:
  // Starts Windows Sockets and makes the socket's message window.
  explicit Win32TelnetSocket(HINSTANCE instance);
  ~Win32TelnetSocket() override;
  Win32TelnetSocket(const Win32TelnetSocket&) = delete;
  Win32TelnetSocket& operator=(const Win32TelnetSocket&) = delete;

  // 0 closed, 4 looking up the host name, 6 connecting, 7 connected, 8 the
  // peer closed, 9 failed.
  int State() const override { return state_; }
  // Takes a dotted IPv4 or an IPv6 address at once and looks any other name
  // up first; a port text that names no port fails like any connection that
  // cannot be made.
  void Connect(const std::string& host, const std::string& port) override;
  // Closes the socket; an event it had already queued is dropped.
  void Close() override;
  // Sends at once what the system takes and the rest when it has room.
  void Send(std::string_view bytes) override;
  std::string ReadAll() override;

  // The events, called from the message loop.
  std::function<void()> on_connected;
  std::function<void()> on_data_arrival;
  std::function<void()> on_closed_by_peer;
  std::function<void()> on_failed;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void OnNetworkEvent(SOCKET socket, int event, int error);
  void OnHostFound(HANDLE lookup, int error);
  // Frees the answer of `lookup`, which the system has finished writing.
  void ForgetLookup(HANDLE lookup);
  void StartConnect(const sockaddr* address, int length);
  // Reports a failure from the message loop, never from inside a call.
  void PostFailure();
  void Flush();

  bool started_ = false;  // Windows Sockets started
  HWND window_ = nullptr;
  SOCKET socket_ = INVALID_SOCKET;
  HANDLE lookup_ = nullptr;  // the lookup under way, if any
  // Where each lookup writes its answer. A cancelled lookup may still write
  // until its message comes (some systems cannot cancel), so its room is
  // kept until then.
  struct Lookup {
    HANDLE handle;
    std::unique_ptr<char[]> answer;
  };
  std::vector<Lookup> lookups_;
  unsigned short port_ = 0;
  int state_ = kStateClosed;
  std::string outgoing_;  // sent bytes the system had no room for yet
};

}  // namespace monitor
