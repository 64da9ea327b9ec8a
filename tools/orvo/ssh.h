// orvo over SSH: the service is reached through the system's OpenSSH client
// with stdio forwarding (ssh -W), so that the password and the files travel
// encrypted and the service may listen on the loopback address alone.
// Options for ssh itself (identity, jump host) come from ~/.ssh/config.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvo {

// The arguments for ssh that reach the service at `service_host`:`service_port`
// as the SSH server sees it, through `destination` ([user@]host[:port], an
// IPv6 host in brackets when a port follows). An empty result, or what is
// wrong with the destination.
std::string SshArguments(const std::string& destination, const std::string& service_host, uint16_t service_port,
                         std::vector<std::string>* args);

}  // namespace orvo
