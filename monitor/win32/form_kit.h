// What the three dialogs share: their scale, the fonts they name, picture
// icons, tool tips and the message boxes the handlers ask for.
#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "monitor/core/monitor_controller.h"

namespace monitor {

// The dots per inch of the monitor `window` is on (96 at 100 %).
UINT WindowDpi(HWND window);

// `pixels` at 96 dots per inch, at `dpi`.
int ScaleToDpi(int pixels, UINT dpi);

// A font the forms name, for one control of a dialog.
struct ControlFont {
  int control;
  const wchar_t* family;
  double points;
  bool bold = false;
  bool italic = false;
};

// The fonts of one dialog's controls at the dialog's scale; they live as
// long as the dialog and are made again when its scale changes.
class DialogFonts {
 public:
  // Gives each control of `table` on `dialog` its font at `dpi`; the
  // system substitutes a near face where a family is not installed.
  void Apply(HWND dialog, std::span<const ControlFont> table, UINT dpi);

 private:
  struct Deleter {
    void operator()(HFONT font) const { DeleteObject(font); }
  };
  std::vector<std::unique_ptr<std::remove_pointer_t<HFONT>, Deleter>> fonts_;
};

// An icon resource drawn at a size, destroyed with the object.
class PictureIcon {
 public:
  PictureIcon() = default;
  // Icon `id` of `instance` at `size` pixels, scaled down from the nearest
  // larger drawing when the file has no such size.
  PictureIcon(HINSTANCE instance, int id, int size);
  ~PictureIcon();
  PictureIcon(PictureIcon&& other) noexcept;
  PictureIcon& operator=(PictureIcon&& other) noexcept;
  HICON Get() const { return icon_; }

 private:
  HICON icon_ = nullptr;
};

// A tool tip window for the tools of `owner`.
HWND CreateToolTips(HWND owner);

// Shows `text` as the tool tip of `tool` (a child of the tips' owner).
void SetToolTip(HWND tips, HWND tool, const std::wstring& text);

// Shows `box` over `owner` and returns when the user has closed it; a
// system-modal box stays above every other window.
void ShowMessageBox(HWND owner, const MessageBoxRequest& box);

// The text of `window`.
std::wstring WindowTextOf(HWND window);

}  // namespace monitor
