#include "tools/orvo/ssh.h"

#include "tools/orvo/options.h"

namespace orvo {

namespace {

// host:port, with an IPv6 host in brackets.
std::string HostPort(const std::string& host, uint16_t port) {
  bool six = host.find(':') != std::string::npos;
  return (six ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

}  // namespace

std::string SshArguments(const std::string& destination, const std::string& service_host, uint16_t service_port,
                         std::vector<std::string>* args) {
  args->clear();
  std::string host = destination;
  std::string user;
  std::string port;
  size_t at = host.rfind('@');
  if (at != std::string::npos) {
    user = host.substr(0, at);
    host = host.substr(at + 1);
    if (user.empty()) return "no user before @ in --ssh " + destination;
  }
  if (host.starts_with('[')) {
    size_t close = host.find(']');
    if (close == std::string::npos) return "no closing ] in --ssh " + destination;
    std::string rest = host.substr(close + 1);
    host = host.substr(1, close - 1);
    if (!rest.empty()) {
      if (!rest.starts_with(':')) return "bad --ssh " + destination;
      port = rest.substr(1);
    }
  } else if (size_t colon = host.find(':'); colon != std::string::npos && host.find(':', colon + 1) == std::string::npos) {
    port = host.substr(colon + 1);
    host = host.substr(0, colon);
  }
  uint16_t number = 0;
  if (!port.empty() && !ParsePort(port, &number)) return "bad port " + port + " in --ssh " + destination;
  // A word that begins with "-" would be read by ssh as an option.
  if (host.empty() || host.starts_with('-') || user.starts_with('-')) return "bad host in --ssh " + destination;
  *args = {"-W", HostPort(service_host, service_port)};
  if (!port.empty()) args->insert(args->end(), {"-p", port});
  if (!user.empty()) args->insert(args->end(), {"-l", user});
  args->insert(args->end(), {"--", host});
  return "";
}

}  // namespace orvo
