// The about dialog `frmAbout`.
#pragma once

#include "monitor/win32/dialog_window.h"
#include "monitor/win32/form_kit.h"

namespace monitor {

class frmAbout final : public DialogWindow {
 public:
  // A hidden dialog owned by `owner`; its one button closes it.
  frmAbout(HINSTANCE instance, HWND owner);

 private:
  INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam) override;

  DialogFonts fonts_;
};

}  // namespace monitor
