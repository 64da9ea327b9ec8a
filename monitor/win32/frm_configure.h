// The configure dialog `frmConfigure`: host and port boxes, Ok and Cancel.
#pragma once

#include "monitor/core/monitor_controller.h"
#include "monitor/win32/dialog_window.h"
#include "monitor/win32/form_kit.h"

namespace monitor {

class frmConfigure final : public DialogWindow, public ConfigureView {
 public:
  // A hidden dialog owned by `owner` whose buttons go to `controller`.
  frmConfigure(HINSTANCE instance, HWND owner, MonitorController& controller);

  std::string HostText() const override;
  std::string PortText() const override;
  void SetHostText(const std::string& text) override;
  void SetPortText(const std::string& text) override;
  void ShowMessage(const MessageBoxRequest& box) override;
  // Hides the dialog; it is shown again as it was.
  void Close() override;

 private:
  INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam) override;

  MonitorController& controller_;
  DialogFonts fonts_;
};

}  // namespace monitor
