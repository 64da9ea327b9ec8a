#include "monitor/core/monitor_controller.h"

#include <utility>

#include "monitor/core/console_charset.h"

namespace monitor {
namespace {

constexpr int kEnterKey = 13;
constexpr char kSection[] = "Settings";
constexpr char kNotConnectedStatus[] = "Status: Not Connected.";

}  // namespace

MonitorController::MonitorController(MonitorView& view, TelnetSocket& socket, std::string folder,
                                     std::function<LocalStamp()> now)
    : view_(view), socket_(socket), folder_(std::move(folder)), now_(std::move(now)) {}

void MonitorController::frmMain_Load() {
  const std::string file = SettingsFilePath(folder_);
  settings_.host = ReadIniValue(kSection, "HOST", file);
  settings_.port = ReadIniValue(kSection, "PORT", file);
  view_.SetConnectToolTip(settings_.Configured() ? Text(SettingsText::kConnectTip)
                                                 : "Configure Gyrion Monitor first!");
}

void MonitorController::frmMain_Activate() { view_.FocusCommand(); }

void MonitorController::cmdConnect_Click() {
  if (!settings_.Configured()) {
    view_.ShowMessage({"Please configure Gyrion Monitor before trying to connect.", "Error!",
                       MessageIcon::kCritical, false});
    return;
  }
  switch (socket_.State()) {
    case kStateConnected:
      Disconnect();
      break;
    case kStateConnecting:
      socket_.Close();
      view_.SetStatus(Text(SettingsText::kCancelledStatus));
      view_.SetConnectToolTip(Text(SettingsText::kConnectTip));
      break;
    case kStateClosed:
      view_.SetConsoleText("");
      socket_.Connect(settings_.host, settings_.port);
      view_.SetStatus(Text(SettingsText::kConnectingStatus));
      view_.SetConnectToolTip(Text(SettingsText::kDisconnectTip));
      break;
    default:
      // Still resolving the host name, or closing: the click is ignored.
      break;
  }
}

// Only a disconnect the user asks for keeps a record of the session. The
// console names the log file it went to, or says plainly that it could not
// be written, so the user never trusts a record that does not exist.
void MonitorController::Disconnect() {
  socket_.Close();
  const LocalStamp now = now_();
  const bool saved = SaveConsoleLog(folder_, now, view_.ConsoleText());
  view_.SetConsoleText("Disconnected from: " + settings_.host + "\r\n" +
                       (saved ? "Saved console to: " : "Failed to save console to: ") +
                       ConsoleLogName(now));
  view_.SetStatus(kNotConnectedStatus);
  view_.SetConnectToolTip(Text(SettingsText::kConnectTip));
}

void MonitorController::cmdConfigure_Click() { view_.ShowConfigure(); }

void MonitorController::cmdAbout_Click() { view_.ShowAbout(); }

void MonitorController::txtCommand_Click() { view_.SetCommandText(""); }

void MonitorController::txtCommand_KeyPress(int key_ascii) {
  if (key_ascii != kEnterKey) return;
  switch (socket_.State()) {
    case kStateClosed:
      view_.ShowMessage(
          {"Connect before trying to send a command.", "Error!", MessageIcon::kNone, true});
      view_.SetCommandText("");
      break;
    case kStateConnected:
      socket_.Send(TextToConsoleBytes(view_.CommandText()) + "\r\n");
      view_.SetCommandText("");
      break;
    default:
      // While connecting the line waits in the box for the user to send again.
      break;
  }
}

void MonitorController::txtConsole_MouseUp() {
  view_.SetClipboardText(view_.ConsoleSelection());
  view_.FocusCommand();
}

void MonitorController::TelnetSocket_Connect() {
  // The console expects one byte before it prompts for its password.
  socket_.Send(" ");
  view_.SetCommandText("Enter Password!");
  view_.SetStatus(Text(SettingsText::kConnectedStatus));
}

void MonitorController::TelnetSocket_DataArrival() {
  const std::string bytes = socket_.ReadAll();
  // An empty insert would still wipe out a selection in the console.
  if (bytes.empty()) return;
  view_.InsertConsoleText(ConsoleBytesToText(bytes));
}

void MonitorController::TelnetSocket_Close() {
  socket_.Close();
  view_.SetStatus(Text(SettingsText::kClosedStatus));
  view_.SetConnectToolTip(Text(SettingsText::kConnectTip));
}

void MonitorController::TelnetSocket_Error() {
  view_.SetConnectToolTip(Text(SettingsText::kConnectTip));
  view_.SetStatus(Text(SettingsText::kFailedStatus));
  socket_.Close();
}

void MonitorController::frmConfigure_Load(ConfigureView& dialog) {
  dialog.SetHostText(settings_.host);
  dialog.SetPortText(settings_.port);
}

void MonitorController::frmConfigure_cmdOk_Click(ConfigureView& dialog) {
  const std::string host = dialog.HostText();
  const std::string port = dialog.PortText();
  if (host.empty() || port.empty()) {
    dialog.ShowMessage({"Please enter both Host and IP into correct boxes.", "Information!",
                        MessageIcon::kInformation, false});
    return;
  }
  const std::string file = SettingsFilePath(folder_);
  WriteIniValue(kSection, "HOST", host, file);
  settings_.host = host;
  WriteIniValue(kSection, "PORT", port, file);
  settings_.port = port;
  view_.SetConnectToolTip(Text(SettingsText::kConnectTip));
  dialog.Close();
}

void MonitorController::frmConfigure_cmdCancel_Click(ConfigureView& dialog) { dialog.Close(); }

}  // namespace monitor
