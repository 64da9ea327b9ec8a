// Plays ssh in orvo's Windows tests, since Wine has no ssh.exe: it takes
// ssh's arguments, connects to the address of -W HOST:PORT itself (no SSH,
// no encryption) and relays its standard input and output to it, as
// "ssh -W" does. Exit status 0 when the far end closed, 255 when it could
// not connect.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>

namespace {

// Standard input to the connection; its end ends the sending direction.
void Upstream(SOCKET s) {
  HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
  char buffer[16384];
  DWORD n = 0;
  while (::ReadFile(in, buffer, sizeof buffer, &n, nullptr) && n > 0) {
    for (const char* p = buffer; n > 0;) {
      int sent = ::send(s, p, static_cast<int>(n), 0);
      if (sent <= 0) return;
      p += sent;
      n -= static_cast<DWORD>(sent);
    }
  }
  ::shutdown(s, SD_SEND);
}

}  // namespace

int main(int argc, char** argv) {
  std::string target;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "-W") target = argv[i + 1];
  }
  size_t colon = target.rfind(':');
  if (colon == std::string::npos) {
    std::fprintf(stderr, "ssh stand-in: no -W HOST:PORT\n");
    return 255;
  }
  std::string host = target.substr(0, colon);
  if (host.size() > 1 && host.front() == '[') host = host.substr(1, host.size() - 2);
  WSADATA data{};
  ::WSAStartup(MAKEWORD(2, 2), &data);
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  SOCKET s = INVALID_SOCKET;
  if (::getaddrinfo(host.c_str(), target.substr(colon + 1).c_str(), &hints, &found) == 0) {
    s = ::socket(found->ai_family, SOCK_STREAM, 0);
    if (s != INVALID_SOCKET && ::connect(s, found->ai_addr, static_cast<int>(found->ai_addrlen)) != 0) {
      ::closesocket(s);
      s = INVALID_SOCKET;
    }
    ::freeaddrinfo(found);
  }
  if (s == INVALID_SOCKET) {
    std::fprintf(stderr, "ssh stand-in: stdio forwarding failed\n");
    return 255;
  }
  std::thread(Upstream, s).detach();
  HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  char buffer[16384];
  for (int n; (n = ::recv(s, buffer, sizeof buffer, 0)) > 0;) {
    DWORD written = 0;
    if (!::WriteFile(out, buffer, static_cast<DWORD>(n), &written, nullptr)) break;
  }
  return 0;
}
