#include "monitor/win32/tests/monitor_process.h"

#include <commctrl.h>

#include <cstdio>
#include <algorithm>

#include "monitor/win32/resource.h"

namespace monitor::testing {
namespace {

constexpr wchar_t kMainTitle[] = L"Gyrion Monitor  -  [ Beta Release 3 ]";

// Text of a message box and a picture beside it, as the system lays it out.
constexpr int kMessageTextId = 0xFFFF;

struct Search {
  DWORD process;
  const wchar_t* window_class;
  const wchar_t* title;
  HWND owner;
  HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t window_class[64] = L"";
  GetClassNameW(window, window_class, 64);
  if (process != search->process || lstrcmpW(window_class, search->window_class) != 0) return TRUE;
  if (search->title != nullptr && (!IsWindowVisible(window) || Text(window) != search->title)) {
    return TRUE;
  }
  if (search->owner != nullptr && GetWindow(window, GW_OWNER) != search->owner) return TRUE;
  search->found = window;
  return FALSE;
}

bool HasVisibleIcon(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t window_class[16] = L"";
    GetClassNameW(child, window_class, 16);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (lstrcmpiW(window_class, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON &&
        IsWindowVisible(child) && SendMessageW(child, STM_GETICON, 0, 0) != 0) {
      return true;
    }
  }
  return false;
}

std::wstring Widen(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                                      wide.data(), static_cast<int>(wide.size()))));
  return wide;
}

}  // namespace

// Wine tells another program only of the windows its programs create, not
// of changed texts, so the wait reads the windows again every 20 ms as well.
bool WaitFor(const std::function<bool()>& done, DWORD limit_ms) {
  static const bool noted = [] {
    std::printf("[ note ] window texts of another program are read again every 20 ms: "
                "Wine reports only window creation to a watching program\n");
    return true;
  }();
  (void)noted;
  const ULONGLONG deadline = GetTickCount64() + limit_ms;
  while (!done()) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    const DWORD wait = static_cast<DWORD>(std::min<ULONGLONG>(20, deadline - now));
    MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  return true;
}

MonitorProcess::MonitorProcess(const std::string& folder, const std::string& ini) {
  const std::wstring where = Widen(folder);
  const std::wstring program = where + L"\\GyrionMonitor.exe";
  if (!CopyFileW(Widen(MONITOR_EXE).c_str(), program.c_str(), FALSE)) return;
  if (!ini.empty()) {
    FILE* file = _wfopen((where + L"\\Configuration.ini").c_str(), L"wb");
    if (file == nullptr) return;
    std::fwrite(ini.data(), 1, ini.size(), file);
    std::fclose(file);
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::wstring command = L"\"" + program + L"\"";
  if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      where.c_str(), &startup, &process_)) {
    return;
  }
  WaitForInputIdle(process_.hProcess, 20000);
  WaitFor([&] { return (main_ = FindWindowOf(L"#32770", kMainTitle, nullptr)) != nullptr; }, 20000);
}

MonitorProcess::~MonitorProcess() {
  if (process_.hProcess == nullptr) return;
  if (main_ != nullptr) PostMessageW(main_, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 10000);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

bool MonitorProcess::Running() const {
  return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND MonitorProcess::FindWindowOf(const wchar_t* window_class, const wchar_t* title, HWND owner) const {
  Search search{process_.dwProcessId, window_class, title, owner, nullptr};
  EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND MonitorProcess::Dialog(const wchar_t* title) const {
  return FindWindowOf(L"#32770", title, nullptr);
}

std::optional<SeenBox> MonitorProcess::AnswerMessageBox(const wchar_t* title) {
  HWND box = nullptr;
  if (!WaitFor([&] { return (box = Dialog(title)) != nullptr && box != main_; })) return std::nullopt;
  SeenBox seen;
  seen.text = Text(GetDlgItem(box, kMessageTextId));
  seen.icon = HasVisibleIcon(box);
  seen.topmost = (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  WaitFor([&] { return !IsWindow(box); });
  return seen;
}

// The tips keep their texts in the program's memory: the question and the
// room for the answer are written there, and the answer read back.
std::wstring MonitorProcess::ToolTip(HWND owner, HWND tool) const {
  HWND tips = FindWindowOf(TOOLTIPS_CLASSW, nullptr, owner);
  if (tips == nullptr) return L"(no tool tips)";
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                               process_.dwProcessId);
  constexpr size_t kChars = 1024;
  auto* remote = static_cast<char*>(VirtualAllocEx(
      process, nullptr, sizeof(TTTOOLINFOW) + kChars * sizeof(wchar_t), MEM_COMMIT | MEM_RESERVE,
      PAGE_READWRITE));
  std::wstring text(kChars, L'\0');
  if (remote != nullptr) {
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof(info));
    WriteProcessMemory(process, remote, &info, sizeof(info), nullptr);
    SendMessageW(tips, TTM_GETTEXTW, kChars, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, info.lpszText, text.data(), kChars * sizeof(wchar_t), nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  text.resize(wcsnlen(text.c_str(), kChars));
  return text;
}

HWND MonitorProcess::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(process_.dwThreadId, &info) ? info.hwndFocus : nullptr;
}

// Posted messages are handled in order: once the console box's modified
// flag, set by a posted message, reads set, all posted before it are done.
// Twice, because a key handled in the first round posts its character.
void MonitorProcess::Sync() const {
  HWND marker = GetDlgItem(main_, IDC_TXTCONSOLE);
  for (int round = 0; round < 2; ++round) {
    SendMessageW(marker, EM_SETMODIFY, FALSE, 0);
    PostMessageW(marker, EM_SETMODIFY, TRUE, 0);
    WaitFor([&] { return SendMessageW(marker, EM_GETMODIFY, 0, 0) != 0; });
  }
}

std::wstring Text(HWND window) {
  const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT got = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(got));
  return text;
}

void SetText(HWND window, const std::wstring& text) {
  SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

void ClickLater(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void PressKey(HWND window, UINT key) {
  const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  PostMessageW(window, WM_KEYDOWN, key, 1 | (static_cast<LPARAM>(scan) << 16));
  PostMessageW(window, WM_KEYUP, key, 1 | (static_cast<LPARAM>(scan) << 16) | (3u << 30));
}

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return L"(clipboard busy)";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace monitor::testing
