// What the monitor does on each event of its windows and of its socket. The
// windows only pass their events in and carry out the requests made of them
// through MonitorView and ConfigureView; nothing here knows the toolkit.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "monitor/core/command_history.h"
#include "monitor/core/console_charset.h"
#include "monitor/core/console_log.h"
#include "monitor/core/profile_strings.h"
#include "monitor/core/monitor_texts.h"
#include "monitor/core/telnet_socket.h"

namespace monitor {

// The icon a message box shows.
enum class MessageIcon { kNone, kCritical, kInformation };

// A message box the user must dismiss before the handler goes on.
struct MessageBoxRequest {
  std::string text;
  std::string title;
  MessageIcon icon = MessageIcon::kNone;
  bool system_modal = false;  // blocks every window, not only its owner
};

// The pictures of `cmdConnect`: what a click will do.
enum class ConnectPicture { kConnect, kDisconnect };

// Key codes of the keys the command box passes on.
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyDown = 40;

// The main window `frmMain` as the handlers use it. Texts are UTF-8; console
// texts end their lines in "\n", which each window shows as its own.
class MonitorView {
 public:
  virtual ~MonitorView() = default;
  // Sets the tool tip of `cmdConnect`.
  virtual void SetConnectToolTip(const std::string& text) = 0;
  // Shows `picture` on `cmdConnect`.
  virtual void SetConnectPicture(ConnectPicture picture) = 0;
  // Sets the status label `lblConnStatus`.
  virtual void SetStatus(const std::string& text) = 0;
  // The whole text of the console box `txtConsole`.
  virtual std::string ConsoleText() const = 0;
  // Replaces the whole console text.
  virtual void SetConsoleText(const std::string& text) = 0;
  // About how many characters the console holds, without reading them.
  virtual size_t ConsoleLength() const = 0;
  // Removes `head`, the text the console begins with, keeping the caret and
  // any selection on the text that stays.
  virtual void RemoveConsoleHead(const std::string& head) = 0;
  // The text selected in the console, empty when nothing is selected.
  virtual std::string ConsoleSelection() const = 0;
  // Inserts `text` at the console's caret in place of any selected text and
  // leaves the caret after it.
  virtual void InsertConsoleText(const std::string& text) = 0;
  // The text of the command box `txtCommand`.
  virtual std::string CommandText() const = 0;
  // Replaces the command box's text.
  virtual void SetCommandText(const std::string& text) = 0;
  // Moves the keyboard focus into the command box.
  virtual void FocusCommand() = 0;
  // Replaces the clipboard's contents with the plain text `text`.
  virtual void SetClipboardText(const std::string& text) = 0;
  // Shows a message box over the main window and returns once it is closed.
  virtual void ShowMessage(const MessageBoxRequest& box) = 0;
  // Shows `frmConfigure` without blocking, owned by the main window; a
  // dialog that is not open yet loads first (frmConfigure_Load).
  virtual void ShowConfigure() = 0;
  // Shows `frmAbout` without blocking, owned by the main window.
  virtual void ShowAbout() = 0;
};

// The configure dialog `frmConfigure` as the handlers use it.
class ConfigureView {
 public:
  virtual ~ConfigureView() = default;
  // The texts of `txtHost` and `txtPort`.
  virtual std::string HostText() const = 0;
  virtual std::string PortText() const = 0;
  // Fills `txtHost` and `txtPort`.
  virtual void SetHostText(const std::string& text) = 0;
  virtual void SetPortText(const std::string& text) = 0;
  // Shows a message box over the dialog and returns once it is closed.
  virtual void ShowMessage(const MessageBoxRequest& box) = 0;
  // Closes the dialog.
  virtual void Close() = 0;
};

// The monitor's state (the settings in memory, the socket) and its handlers,
// named after window, control and event.
class MonitorController {
 public:
  // `folder` (ending in the platform's separator) holds "Configuration.ini",
  // read and written through `profile`, and the console logs; `now` tells the
  // moment of a console save.
  MonitorController(MonitorView& view, TelnetSocket& socket, ProfileStrings& profile,
                    std::string folder, std::function<LocalStamp()> now);

  // The settings in memory.
  const MonitorSettings& Settings() const { return settings_; }
  // How many characters the console keeps.
  size_t ConsoleLimitChars() const { return console_limit_; }

  // Reads host, port and the console's limit from the settings file and
  // sets the connect button.
  void frmMain_Load();
  // The window closes: a log record begun for dropped lines is ended, and
  // the connection closed.
  void frmMain_Unload();
  // Puts the focus in the command box.
  void frmMain_Activate();
  // Connects, cancels or disconnects depending on the socket state.
  void cmdConnect_Click();
  void cmdConfigure_Click();
  void cmdAbout_Click();
  // Empties the command box.
  void txtCommand_Click();
  // Sends the command line when `key_ascii` is Enter (13); other keys do nothing.
  void txtCommand_KeyPress(int key_ascii);
  // Up and Down walk the lines sent in this run; other keys do nothing.
  void txtCommand_KeyDown(int key_code);
  // Copies the console's selection (or an empty text) to the clipboard.
  void txtConsole_MouseUp();
  void TelnetSocket_Connect();
  // Inserts what arrived, then drops the console's oldest lines beyond its
  // limit into the log's record.
  void TelnetSocket_DataArrival();
  // The peer closed the connection; a record begun for dropped lines ends.
  void TelnetSocket_Close();
  // The connection failed or broke; a record begun for dropped lines ends.
  void TelnetSocket_Error();

  // Fills the dialog's boxes with the settings in memory.
  void frmConfigure_Load(ConfigureView& dialog);
  // Stores both boxes as the new settings, or asks for the missing one.
  void frmConfigure_cmdOk_Click(ConfigureView& dialog);
  // Closes the dialog without saving.
  void frmConfigure_cmdCancel_Click(ConfigureView& dialog);

 private:
  void Disconnect();
  // Sets the tool tip `tip` and the picture that goes with it.
  void ShowConnectButton(SettingsText tip);
  void KeepConsoleWithinLimit();
  // Ends a record that the console's dropped lines began.
  void EndBegunRecord();
  std::string Text(SettingsText which) const { return BuildText(which, settings_); }

  MonitorView& view_;
  TelnetSocket& socket_;
  ProfileStrings& profile_;
  std::string folder_;
  std::function<LocalStamp()> now_;
  MonitorSettings settings_;
  size_t console_limit_;
  ConsoleDecoder decoder_;
  ConsoleLog log_;
  CommandHistory history_;
  // The first line sent on a connection answers the password prompt and is
  // kept out of the history.
  bool password_line_next_ = false;
};

}  // namespace monitor
