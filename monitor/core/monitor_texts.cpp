#include "monitor/core/monitor_texts.h"

namespace monitor {
namespace {

// Each text is a lead-in, the host, a separator and the port.
struct TextRow {
  SettingsText which;
  const char* lead;
  const char* separator;
};

constexpr TextRow kTexts[] = {
    {SettingsText::kConnectTip, "Connect to: ", " @ port "},
    {SettingsText::kDisconnectTip, "Disconnect from: ", ":"},
    {SettingsText::kConnectingStatus, "Status: Connecting to ", ":"},
    {SettingsText::kConnectedStatus, "Status: Connected to ", ":"},
    {SettingsText::kFailedStatus, "Status: Failed to connect to ", ":"},
    {SettingsText::kClosedStatus, "Status: Disconnected from ", ":"},
    {SettingsText::kCancelledStatus, "Status: Cancelled Connection to ", ":"},
};

}  // namespace

std::string BuildText(SettingsText which, const MonitorSettings& settings) {
  for (const TextRow& row : kTexts) {
    if (row.which == which) {
      return row.lead + settings.host + row.separator + settings.port;
    }
  }
  return {};
}

}  // namespace monitor
