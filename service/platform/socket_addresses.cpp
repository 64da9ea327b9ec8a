#include "service/platform/socket_addresses.h"

#include "service/platform/net.h"

#include <cstring>

namespace platform {

namespace {

bool IsLocalhost(const std::string& text) {
  static const char kName[] = "localhost";
  if (text.size() != sizeof kName - 1) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((text[i] | 0x20) != kName[i]) return false;
  }
  return true;
}

}  // namespace

AddressList::AddressList(const std::string& host, const std::string& service, int flags) {
  if (host.empty() && service.empty()) return;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = flags;
  if (getaddrinfo(host.empty() ? nullptr : host.c_str(), service.empty() ? nullptr : service.c_str(), &hints,
                  &list) != 0) {
    list = nullptr;
  }
}

AddressList::~AddressList() {
  if (list != nullptr) freeaddrinfo(list);
}

bool ListenerAddress(const std::string& address, uint16_t port, sockaddr_storage* where, socklen_t* size) {
  std::string numeric = address.empty() ? "0.0.0.0" : IsLocalhost(address) ? "127.0.0.1" : address;
  AddressList found(numeric, std::to_string(port), AI_NUMERICHOST | AI_PASSIVE);
  if (found.list == nullptr || found.list->ai_addrlen > sizeof *where) return false;
  std::memcpy(where, found.list->ai_addr, found.list->ai_addrlen);
  *size = static_cast<socklen_t>(found.list->ai_addrlen);
  return true;
}

int PortOf(const sockaddr_storage& addr) {
  if (addr.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6&>(addr).sin6_port);
  return ntohs(reinterpret_cast<const sockaddr_in&>(addr).sin_port);
}

std::string NumericText(const sockaddr_storage& addr, socklen_t len) {
  if (addr.ss_family == AF_INET6) {
    const auto& six = reinterpret_cast<const sockaddr_in6&>(addr);
    if (IN6_IS_ADDR_V4MAPPED(&six.sin6_addr)) {
      const uint8_t* b = six.sin6_addr.s6_addr + 12;
      return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
             std::to_string(b[3]);
    }
  }
  char host[NI_MAXHOST];
  if (getnameinfo(reinterpret_cast<const sockaddr*>(&addr), len, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0) {
    return {};
  }
  return host;
}

bool IsListenAddress(const std::string& address) {
  sockaddr_storage where{};
  socklen_t size = 0;
  return ListenerAddress(address, 0, &where, &size);
}

std::optional<std::string> ReverseLookup(const std::string& address) {
  AddressList found(address, "", AI_NUMERICHOST);
  if (found.list == nullptr) return std::nullopt;
  char host[NI_MAXHOST];
  if (getnameinfo(found.list->ai_addr, static_cast<socklen_t>(found.list->ai_addrlen), host, sizeof host, nullptr, 0,
                  NI_NAMEREQD) != 0) {
    return std::nullopt;
  }
  return std::string(host);
}

}  // namespace platform
