#include "monitor/win32/frm_about.h"

#include "monitor/win32/resource.h"

namespace monitor {
namespace {

constexpr ControlFont kFonts[] = {
    {IDC_ABOUTHEADING, L"Arial", 12, true, true},
    {IDC_LBLRELEASE, L"Arial", 9.75, true},
    {IDC_LBLPARAGRAPH, L"Verdana", 8.25},
    {IDC_LBLTSOC, L"Verdana", 8.25},
};

}  // namespace

frmAbout::frmAbout(HINSTANCE instance, HWND owner) {
  Create(instance, IDD_FRMABOUT, owner);
}

INT_PTR frmAbout::Handle(UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      fonts_.Apply(Window(), kFonts, WindowDpi(Window()));
      SetToolTip(CreateToolTips(Window()), Item(IDC_LBLTSOC), L"Time Spent On Coding (TSOC)");
      return TRUE;
    case WM_DPICHANGED:
      fonts_.Apply(Window(), kFonts, LOWORD(wparam));
      return FALSE;
    case WM_COMMAND:
      // Okay., Esc and the close box all close it.
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) ShowWindow(Window(), SW_HIDE);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace monitor
