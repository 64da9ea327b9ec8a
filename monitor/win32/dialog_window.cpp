#include "monitor/win32/dialog_window.h"

namespace monitor {

DialogWindow::~DialogWindow() {
  // An owned dialog may already have gone with its owner. The messages of
  // its end no longer reach the object, which is half destroyed by now.
  if (window_ != nullptr && IsWindow(window_)) {
    SetWindowLongPtrW(window_, DWLP_USER, 0);
    DestroyWindow(window_);
  }
}

void DialogWindow::Create(HINSTANCE instance, int id, HWND owner) {
  owner_ = owner;
  CreateDialogParamW(instance, MAKEINTRESOURCEW(id), owner, Procedure,
                     reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK DialogWindow::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<DialogWindow*>(lparam);
    SetWindowLongPtrW(window, DWLP_USER, lparam);
    self->window_ = window;
    return self->Handle(message, wparam, lparam);
  }
  auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
  if (self == nullptr) return FALSE;
  if (message == WM_NCDESTROY) {
    self->window_ = nullptr;
    return FALSE;
  }
  return self->Handle(message, wparam, lparam);
}

void DialogWindow::Show() {
  if (!placed_ && owner_ != nullptr) {
    RECT outer;
    RECT inner;
    GetWindowRect(owner_, &outer);
    GetWindowRect(window_, &inner);
    const int width = inner.right - inner.left;
    const int height = inner.bottom - inner.top;
    SetWindowPos(window_, nullptr, outer.left + (outer.right - outer.left - width) / 2,
                 outer.top + (outer.bottom - outer.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    placed_ = true;
  }
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
}

}  // namespace monitor
