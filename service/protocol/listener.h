// The body of the service: the listener, host admission, and the loop that
// starts sessions and spawn-list reloads until a stop is requested.
#pragma once

#include <optional>
#include <string>

namespace protocol {

// Runs the server until a stop is requested; returns 0 in every case.
int ServerMain(int argc, char** argv);

// Whether a peer may connect, by DENIEDHOSTS (consulted first) and
// ALLOWEDHOSTS. `host_name` is the reverse lookup's answer, if any.
bool IsHostAllowed(const std::string& address, const std::optional<std::string>& host_name);

// Whether one host-list token occurs, without regard to case, in the dotted
// address or in the host name. An empty token never matches.
bool HostMatches(const std::string& address, const std::optional<std::string>& host_name, const std::string& token);

}  // namespace protocol
