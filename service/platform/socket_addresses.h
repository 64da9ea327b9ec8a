// Socket addresses as the two socket libraries share them (getaddrinfo,
// getnameinfo): for net_posix.cpp and net_win32.cpp only. The shared .cpp
// also holds net.h's IsListenAddress and ReverseLookup, the same on both.
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <sys/socket.h>
#endif

#include <cstdint>
#include <string>

namespace platform {

// The answer of getaddrinfo for stream sockets, released with the object;
// `list` is null when there is none (also for an empty host and service).
struct AddressList {
  AddressList(const std::string& host, const std::string& service, int flags);
  ~AddressList();
  AddressList(const AddressList&) = delete;
  AddressList& operator=(const AddressList&) = delete;
  addrinfo* list = nullptr;
};

// Where a listener binds: every IPv4 address for an empty text, 127.0.0.1
// for "localhost" in any case, otherwise the numeric address itself. False
// for anything else.
bool ListenerAddress(const std::string& address, uint16_t port, sockaddr_storage* where, socklen_t* size);

// The port of an IPv4 or IPv6 address.
int PortOf(const sockaddr_storage& addr);

// A peer's address as numeric text; an IPv4 peer of an IPv6 listener in
// dotted form. Empty when it has none.
std::string NumericText(const sockaddr_storage& addr, socklen_t len);

}  // namespace platform
