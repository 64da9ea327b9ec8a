// The main window `frmMain`: the console, the command box, the three picture
// buttons and the status line, wired to the controller and the socket.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "monitor/core/monitor_controller.h"
#include "monitor/core/profile_file.h"
#include "monitor/qt/qt_telnet_socket.h"

class QLabel;
class QToolButton;

namespace monitor {

class ConsoleBox;
class CommandBox;
class frmConfigure;
class frmAbout;

class frmMain : public QWidget, public MonitorView {
 public:
  // `folder` holds the settings and the console logs; `now` tells the time of
  // a console save. Loads the settings before returning.
  frmMain(std::string folder, std::function<LocalStamp()> now, QWidget* parent = nullptr);
  ~frmMain() override;

  void SetConnectToolTip(const std::string& text) override;
  void SetConnectPicture(ConnectPicture picture) override;
  void SetStatus(const std::string& text) override;
  std::string ConsoleText() const override;
  void SetConsoleText(const std::string& text) override;
  size_t ConsoleLength() const override;
  void RemoveConsoleHead(const std::string& head) override;
  std::string ConsoleSelection() const override;
  void InsertConsoleText(const std::string& text) override;
  std::string CommandText() const override;
  void SetCommandText(const std::string& text) override;
  void FocusCommand() override;
  void SetClipboardText(const std::string& text) override;
  void ShowMessage(const MessageBoxRequest& box) override;
  void ShowConfigure() override;
  void ShowAbout() override;

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QtTelnetSocket socket_;
  TextProfileStrings profile_;
  MonitorController controller_;
  ConsoleBox* txtConsole_ = nullptr;
  CommandBox* txtCommand_ = nullptr;
  QToolButton* cmdConnect_ = nullptr;
  QToolButton* cmdConfigure_ = nullptr;
  QToolButton* cmdAbout_ = nullptr;
  QLabel* lblConnStatus_ = nullptr;
  frmConfigure* configure_ = nullptr;  // made when first shown, owned by this window
  frmAbout* about_ = nullptr;
};

}  // namespace monitor
