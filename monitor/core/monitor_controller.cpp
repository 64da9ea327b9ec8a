#include "monitor/core/monitor_controller.h"

#include <utility>

#include "monitor/core/console_limit.h"

namespace monitor {
namespace {

constexpr int kEnterKey = 13;
constexpr char kSection[] = "Settings";
constexpr char kNotConnectedStatus[] = "Status: Not Connected.";

}  // namespace

MonitorController::MonitorController(MonitorView& view, TelnetSocket& socket,
                                     ProfileStrings& profile, std::string folder,
                                     std::function<LocalStamp()> now)
    : view_(view),
      socket_(socket),
      profile_(profile),
      folder_(folder),
      now_(std::move(now)),
      console_limit_(ConsoleLimit("")),
      log_(std::move(folder)) {}

void MonitorController::frmMain_Load() {
  const std::string file = SettingsFilePath(folder_);
  settings_.host = ReadIniValue(profile_, kSection, "HOST", file);
  settings_.port = ReadIniValue(profile_, kSection, "PORT", file);
  console_limit_ = ConsoleLimit(ReadIniValue(profile_, kSection, "MAXCONSOLEKB", file));
  if (settings_.Configured()) {
    ShowConnectButton(SettingsText::kConnectTip);
  } else {
    view_.SetConnectToolTip("Configure Gyrion Monitor first!");
    view_.SetConnectPicture(ConnectPicture::kConnect);
  }
}

void MonitorController::frmMain_Unload() {
  EndBegunRecord();
  socket_.Close();
}

void MonitorController::frmMain_Activate() { view_.FocusCommand(); }

void MonitorController::ShowConnectButton(SettingsText tip) {
  view_.SetConnectToolTip(Text(tip));
  view_.SetConnectPicture(tip == SettingsText::kDisconnectTip ? ConnectPicture::kDisconnect
                                                              : ConnectPicture::kConnect);
}

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
      ShowConnectButton(SettingsText::kConnectTip);
      break;
    case kStateClosed:
      view_.SetConsoleText("");
      decoder_.Reset();
      socket_.Connect(settings_.host, settings_.port);
      view_.SetStatus(Text(SettingsText::kConnectingStatus));
      ShowConnectButton(SettingsText::kDisconnectTip);
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
  const bool saved = log_.Save(now_(), view_.ConsoleText());
  view_.SetConsoleText("Disconnected from: " + settings_.host + "\n" +
                       (saved ? "Saved console to: " : "Failed to save console to: ") +
                       log_.FileName());
  view_.SetStatus(kNotConnectedStatus);
  ShowConnectButton(SettingsText::kConnectTip);
}

// A record that dropped lines began is ended however the connection ends,
// so that the log never holds half a record.
void MonitorController::EndBegunRecord() {
  if (log_.Begun()) log_.Save(now_(), view_.ConsoleText());
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
    case kStateConnected: {
      const std::string line = view_.CommandText();
      socket_.Send(TextToConsoleBytes(line) + "\r\n");
      if (!std::exchange(password_line_next_, false)) history_.Add(line);
      view_.SetCommandText("");
      break;
    }
    default:
      // While connecting the line waits in the box for the user to send again.
      break;
  }
}

void MonitorController::txtCommand_KeyDown(int key_code) {
  std::optional<std::string> line;
  if (key_code == kKeyUp) line = history_.Older(view_.CommandText());
  if (key_code == kKeyDown) line = history_.Newer();
  if (line) view_.SetCommandText(*line);
}

void MonitorController::txtConsole_MouseUp() {
  view_.SetClipboardText(view_.ConsoleSelection());
  view_.FocusCommand();
}

void MonitorController::TelnetSocket_Connect() {
  // The console expects one byte before it prompts for its password.
  socket_.Send(" ");
  password_line_next_ = true;
  view_.SetCommandText("Enter Password!");
  view_.SetStatus(Text(SettingsText::kConnectedStatus));
}

void MonitorController::TelnetSocket_DataArrival() {
  const std::string text = decoder_.Decode(socket_.ReadAll());
  // An empty insert would still wipe out a selection in the console.
  if (text.empty()) return;
  view_.InsertConsoleText(text);
  KeepConsoleWithinLimit();
}

// Trimming goes down to three quarters of the limit, so that the box is cut
// once for every quarter of the limit that arrives, not at every arrival.
void MonitorController::KeepConsoleWithinLimit() {
  if (view_.ConsoleLength() <= console_limit_) return;
  const std::string text = view_.ConsoleText();
  const size_t cut = ConsoleCut(text, console_limit_ - console_limit_ / 4);
  if (cut == 0) return;
  const std::string head = text.substr(0, cut);
  log_.Append(now_(), head);
  view_.RemoveConsoleHead(head);
}

void MonitorController::TelnetSocket_Close() {
  socket_.Close();
  EndBegunRecord();
  view_.SetStatus(Text(SettingsText::kClosedStatus));
  ShowConnectButton(SettingsText::kConnectTip);
}

void MonitorController::TelnetSocket_Error() {
  ShowConnectButton(SettingsText::kConnectTip);
  view_.SetStatus(Text(SettingsText::kFailedStatus));
  socket_.Close();
  EndBegunRecord();
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
  WriteIniValue(profile_, kSection, "HOST", host, file);
  settings_.host = host;
  WriteIniValue(profile_, kSection, "PORT", port, file);
  settings_.port = port;
  // While a connection is being made or is open the button still ends it,
  // and says so with the new values.
  ShowConnectButton(socket_.State() == kStateClosed ? SettingsText::kConnectTip
                                                    : SettingsText::kDisconnectTip);
  dialog.Close();
}

void MonitorController::frmConfigure_cmdCancel_Click(ConfigureView& dialog) { dialog.Close(); }

}  // namespace monitor
