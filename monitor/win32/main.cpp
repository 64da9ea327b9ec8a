// GyrionMonitor.exe: watches and drives a game server's remote console.
//
// The program takes no arguments. For documentation and tests, the variable
// GYRIONMONITOR_SCREENSHOT=<file.png> makes it draw its main window into that
// file (and its two dialogs into <file>-configure.png and <file>-about.png)
// once it is on screen, then quit; the exit status says whether all were saved.

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "monitor/win32/frm_main.h"
#include "monitor/win32/local_clock.h"
#include "monitor/win32/monitor_folder.h"
#include "monitor/win32/screenshot.h"

namespace {

// The thread message that asks for the screenshots once the window shows.
constexpr UINT kTakeScreenshots = WM_APP + 100;

std::wstring ScreenshotPath() {
  const DWORD length = GetEnvironmentVariableW(L"GYRIONMONITOR_SCREENSHOT", nullptr, 0);
  if (length == 0) return {};
  std::wstring path(length, L'\0');
  path.resize(GetEnvironmentVariableW(L"GYRIONMONITOR_SCREENSHOT", path.data(), length));
  return path;
}

bool SaveScreenshots(monitor::frmMain& window, const std::wstring& path) {
  const std::wstring base = path.substr(0, path.rfind(L".png"));
  bool ok = monitor::SaveWindowPicture(window.Window(), path);
  window.ShowConfigure();
  ok = monitor::SaveWindowPicture(window.ConfigureWindow(), base + L"-configure.png") && ok;
  window.ShowAbout();
  ok = monitor::SaveWindowPicture(window.AboutWindow(), base + L"-about.png") && ok;
  return ok;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  monitor::frmMain window(instance, monitor::MonitorFolder(), monitor::LocalNow);
  ShowWindow(window.Window(), show);
  UpdateWindow(window.Window());

  const std::wstring screenshot = ScreenshotPath();
  if (!screenshot.empty()) PostThreadMessageW(GetCurrentThreadId(), kTakeScreenshots, 0, 0);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.hwnd == nullptr && message.message == kTakeScreenshots) {
      PostQuitMessage(SaveScreenshots(window, screenshot) ? 0 : 1);
      continue;
    }
    if (window.TakeDialogMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
