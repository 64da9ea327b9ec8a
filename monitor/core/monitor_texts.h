// The settings in memory and the tool tips and status texts built from them.
#pragma once

#include <string>

namespace monitor {

// Host and port as the user typed them; the port stays text until the socket
// takes it.
struct MonitorSettings {
  std::string host;
  std::string port;
  // Whether both texts are non-empty, the condition for connecting.
  bool Configured() const { return !host.empty() && !port.empty(); }
};

// The texts that name the host and port in the main window.
enum class SettingsText {
  kConnectTip,
  kDisconnectTip,
  kConnectingStatus,
  kConnectedStatus,
  kFailedStatus,
  kClosedStatus,
  kCancelledStatus,
};

// The text `which` for the settings `settings`, e.g. "Connect to: h @ port p".
std::string BuildText(SettingsText which, const MonitorSettings& settings);

}  // namespace monitor
