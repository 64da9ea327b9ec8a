// The main window `frmMain`: the console, the command box, the three picture
// buttons and the status line, wired to the controller and the socket.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "monitor/core/monitor_controller.h"
#include "monitor/win32/dialog_window.h"
#include "monitor/win32/form_kit.h"
#include "monitor/win32/win32_profile_strings.h"
#include "monitor/win32/win32_telnet_socket.h"

namespace monitor {

class frmConfigure;
class frmAbout;

class frmMain final : public DialogWindow, public MonitorView {
 public:
  // `folder` holds the settings and the console logs; `now` tells the time of
  // a console save. Loads the settings before returning; the window is
  // still hidden.
  frmMain(HINSTANCE instance, std::string folder, std::function<LocalStamp()> now);
  ~frmMain() override;

  // Lets the monitor's windows take their keyboard navigation from
  // `message`; true when one did and the message needs nothing more.
  bool TakeDialogMessage(MSG& message);
  // The dialogs, once made (null before).
  HWND ConfigureWindow() const;
  HWND AboutWindow() const;

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

 private:
  INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam) override;
  static LRESULT CALLBACK CommandBoxProcedure(HWND box, UINT message, WPARAM wparam,
                                              LPARAM lparam, UINT_PTR id, DWORD_PTR self);
  static LRESULT CALLBACK ConsoleBoxProcedure(HWND box, UINT message, WPARAM wparam,
                                              LPARAM lparam, UINT_PTR id, DWORD_PTR self);
  void OnInitDialog();
  void OnCommand(int id);
  // Fonts, pictures and sizes for the scale `dpi`.
  void ApplyScale(UINT dpi);
  // The client size at which the console shows its full 80 by 22.
  SIZE FullClientSize() const;
  // The window's size for a client area of `client_size`.
  SIZE WindowSize(SIZE client_size) const;
  void LayOut();

  HINSTANCE instance_;
  Win32TelnetSocket socket_;
  Win32ProfileStrings profile_;
  MonitorController controller_;
  HWND tips_ = nullptr;
  DialogFonts fonts_;
  UINT dpi_ = 96;
  ConnectPicture picture_ = ConnectPicture::kConnect;
  std::array<PictureIcon, 4> pictures_;  // connect, disconnect, configure, about
  std::array<PictureIcon, 2> program_icons_;  // the title bar's small and large
  std::unique_ptr<frmConfigure> configure_;
  std::unique_ptr<frmAbout> about_;
};

}  // namespace monitor
