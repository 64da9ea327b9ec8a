// GyrionMonitor.exe started from a folder of its own and driven from outside
// through its windows' messages, as a user's clicks and keys would drive it.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace monitor::testing {

// Runs the test thread's message loop until `done()` holds, for at most
// `limit_ms`. Returns done().
bool WaitFor(const std::function<bool()>& done, DWORD limit_ms = 10000);

// What a message box showed.
struct SeenBox {
  std::wstring text;
  bool icon = false;
  bool topmost = false;  // system-modal boxes stay above every window
};

class MonitorProcess {
 public:
  // Copies the program into `folder`, with `ini` as its "Configuration.ini"
  // when not empty, and starts it there; check Main().
  MonitorProcess(const std::string& folder, const std::string& ini);
  // Closes the program as the user would, or ends it.
  ~MonitorProcess();
  MonitorProcess(const MonitorProcess&) = delete;
  MonitorProcess& operator=(const MonitorProcess&) = delete;

  // The main window, null when it never showed.
  HWND Main() const { return main_; }
  // Control `id` of the main window.
  HWND Item(int id) const { return GetDlgItem(main_, id); }
  // The program's visible dialog window titled `title`, or null.
  HWND Dialog(const wchar_t* title) const;
  // Waits for the message box titled `title`, reads it and presses its Ok;
  // nothing when no box came.
  std::optional<SeenBox> AnswerMessageBox(const wchar_t* title);
  // The text of the tool tip that `owner` shows for its control `tool`.
  std::wstring ToolTip(HWND owner, HWND tool) const;
  // The program's window with the keyboard focus.
  HWND Focus() const;
  // Returns once the program has handled everything posted to it so far.
  void Sync() const;
  // Whether the program is still running.
  bool Running() const;

 private:
  HWND FindWindowOf(const wchar_t* window_class, const wchar_t* title, HWND owner) const;

  PROCESS_INFORMATION process_{};
  HWND main_ = nullptr;
};

// The text of `window`, also of another program's.
std::wstring Text(HWND window);
// Sets the text of `window` as typing would leave it.
void SetText(HWND window, const std::wstring& text);
// Clicks `button` and returns once the click is handled.
void Click(HWND button);
// Clicks `button` without waiting, for clicks that open a message box.
void ClickLater(HWND button);
// Presses and releases the key `key` in `window`.
void PressKey(HWND window, UINT key);
// The clipboard's text.
std::wstring ClipboardText();

}  // namespace monitor::testing
