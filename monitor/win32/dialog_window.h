// A window made from a dialog template, whose messages go to its object: the
// one piece of plumbing the three forms share.
#pragma once

#include <windows.h>

namespace monitor {

class DialogWindow {
 public:
  virtual ~DialogWindow();
  DialogWindow() = default;
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  HWND Window() const { return window_; }
  // The control `id` of the dialog.
  HWND Item(int id) const { return GetDlgItem(window_, id); }
  // Shows the dialog over its owner without blocking it, centred on it the
  // first time.
  void Show();

 protected:
  // Makes dialog `id` of `instance`, owned by `owner` (none for a top-level
  // window); its WM_INITDIALOG reaches Handle() with Window() already set.
  void Create(HINSTANCE instance, int id, HWND owner);
  // Handles `message` as a dialog procedure does: true when handled.
  virtual INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam) = 0;
 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  HWND window_ = nullptr;
  HWND owner_ = nullptr;
  bool placed_ = false;
};

}  // namespace monitor
