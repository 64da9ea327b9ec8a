#include "monitor/win32/frm_configure.h"

#include "monitor/win32/resource.h"
#include "monitor/win32/wide_text.h"

namespace monitor {
namespace {

constexpr ControlFont kFonts[] = {
    {IDC_CONFIGUREHEADING, L"Arial", 12, true, true},
    {IDC_LBLHOST, L"Verdana", 8.25},
    {IDC_TXTHOST, L"Verdana", 8.25},
    {IDC_LBLPORT, L"Verdana", 8.25},
    {IDC_TXTPORT, L"Verdana", 8.25},
};

}  // namespace

frmConfigure::frmConfigure(HINSTANCE instance, HWND owner, MonitorController& controller)
    : controller_(controller) {
  Create(instance, IDD_FRMCONFIGURE, owner);
}

INT_PTR frmConfigure::Handle(UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      fonts_.Apply(Window(), kFonts, WindowDpi(Window()));
      return TRUE;
    case WM_DPICHANGED:
      fonts_.Apply(Window(), kFonts, LOWORD(wparam));
      return FALSE;
    case WM_COMMAND:
      // Esc and the close box come as Cancel.
      if (LOWORD(wparam) == IDOK) controller_.frmConfigure_cmdOk_Click(*this);
      if (LOWORD(wparam) == IDCANCEL) controller_.frmConfigure_cmdCancel_Click(*this);
      return TRUE;
    default:
      return FALSE;
  }
}

std::string frmConfigure::HostText() const { return Narrow(WindowTextOf(Item(IDC_TXTHOST))); }

std::string frmConfigure::PortText() const { return Narrow(WindowTextOf(Item(IDC_TXTPORT))); }

void frmConfigure::SetHostText(const std::string& text) {
  SetWindowTextW(Item(IDC_TXTHOST), Widen(text).c_str());
}

void frmConfigure::SetPortText(const std::string& text) {
  SetWindowTextW(Item(IDC_TXTPORT), Widen(text).c_str());
}

void frmConfigure::ShowMessage(const MessageBoxRequest& box) { ShowMessageBox(Window(), box); }

void frmConfigure::Close() { ShowWindow(Window(), SW_HIDE); }

}  // namespace monitor
