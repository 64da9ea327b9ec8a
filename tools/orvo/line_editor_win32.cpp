// The shell's line editing on a Windows console: the console's own (arrows,
// Home and End, F7 for the lines of this session), with Tab completing
// through orvo's completer, Ctrl+C dropping the line and Ctrl+D on an empty
// line ending the input, as on POSIX. Every line is added to the history file
// as it is entered; the console itself cannot be given the lines of earlier
// sessions.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <cwctype>
#include <vector>

#include "tools/orvo/line_editor.h"
#include "tools/orvo/platform.h"
#include "tools/orvo/platform_files.h"
#include "tools/orvo/platform_interrupt.h"
#include "tools/orvo/win32_support.h"

namespace orvo {

namespace {

constexpr size_t kHistoryLines = 1000;
constexpr wchar_t kTab = L'\t';
constexpr wchar_t kCtrlD = L'\x04';
constexpr DWORD kLineLength = 4096;

// The one open editor's console. ReadConsoleW edits in the console's input
// mode; the prompt and redrawn lines go to its screen.
struct ConsoleState {
  HANDLE in = INVALID_HANDLE_VALUE;
  HANDLE out = INVALID_HANDLE_VALUE;
};
ConsoleState g_console;

COORD CursorPosition() {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  ::GetConsoleScreenBufferInfo(g_console.out, &info);
  return info.dwCursorPosition;
}

void Write(const std::wstring& text) {
  DWORD written = 0;
  ::WriteConsoleW(g_console.out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// Shows `text` as the line typed so far, from `start`, and clears what the
// console showed after it.
void Redraw(COORD start, const std::wstring& text) {
  ::SetConsoleCursorPosition(g_console.out, start);
  Write(text);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  ::GetConsoleScreenBufferInfo(g_console.out, &info);
  DWORD rest = static_cast<DWORD>(info.dwSize.X - info.dwCursorPosition.X + info.dwSize.X);
  DWORD cleared = 0;
  ::FillConsoleOutputCharacterW(g_console.out, L' ', rest, info.dwCursorPosition, &cleared);
}

bool SameLetters(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::towlower(static_cast<unsigned char>(x)) == std::towlower(static_cast<unsigned char>(y));
  });
}

// The local names that complete `word`, as cmd completes them: without
// regard to case, folders ending with a backslash.
std::vector<std::string> LocalCandidates(const std::string& word) {
  size_t sep = word.find_last_of("/\\");
  std::string prefix = sep == std::string::npos ? "" : word.substr(0, sep + 1);
  std::string part = sep == std::string::npos ? word : word.substr(sep + 1);
  std::vector<std::string> out;
  WIN32_FIND_DATAW found{};
  std::wstring pattern = platform::Widen(prefix.empty() ? std::string("*") : prefix + "*");
  HANDLE search = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return out;
  do {
    std::string name = platform::Narrow(found.cFileName);
    if (name == "." || name == ".." || name.size() < part.size() || !SameLetters(name.substr(0, part.size()), part)) {
      continue;
    }
    out.push_back(prefix + name + ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? "\\" : ""));
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  std::sort(out.begin(), out.end());
  return out;
}

// The line after Tab: `before` (the text up to the cursor) with its last
// word completed. With several candidates and nothing more in common, they
// are listed below the line, and `listed` is set.
std::string CompleteLine(const std::string& before, const LineEditor::Completer& completer, bool* listed) {
  // Names hold "/" and "\": only blanks and quotes end a word.
  size_t start = before.find_last_of(" \t\"'");
  start = start == std::string::npos ? 0 : start + 1;
  std::string word = before.substr(start);
  Completion c = completer(std::string_view(before).substr(0, start), word);
  if (c.local_files) c.candidates = LocalCandidates(word);
  *listed = false;
  if (c.candidates.size() == 1) {
    const std::string& only = c.candidates.front();
    // A folder goes on being completed: no blank after it.
    bool folder = only.ends_with('/') || only.ends_with('\\');
    return before.substr(0, start) + only + (folder ? "" : " ");
  }
  std::string common = CommonPrefix(c.candidates);
  if (common.size() > word.size()) return before.substr(0, start) + common;
  if (c.candidates.size() > 1) {
    std::wstring list = L"\r\n";
    for (const std::string& candidate : c.candidates) list += platform::Widen(candidate) + L"  ";
    Write(list + L"\r\n");
    *listed = true;
  }
  return before;
}

std::vector<std::string> ReadHistory(const std::string& path) {
  std::vector<std::string> lines;
  std::string text, error;
  if (path.empty() || platform::ReadWholeFile(path, &text, &error) != 0) return lines;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    if (end > at) lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

// Adds one line to the end of the history file.
void AppendHistory(const std::string& path, const std::string& line) {
  HANDLE h = ::CreateFileW(platform::Widen(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  std::string text = line + "\n";
  DWORD written = 0;
  ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  ::CloseHandle(h);
}

}  // namespace

struct LineEditor::State {
  std::string history_file;
  Completer completer;
};

LineEditor::LineEditor(std::string history_file, Completer completer) : state_(std::make_unique<State>()) {
  state_->history_file = std::move(history_file);
  state_->completer = std::move(completer);
  g_console.in = ::GetStdHandle(STD_INPUT_HANDLE);
  g_console.out = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
  const std::string& history = state_->history_file;
  if (history.empty()) return;
  std::string error;
  platform::MakeFolders(platform::FolderOf(history), 0700, &error);
  // The file keeps the last lines only; it is trimmed when a session starts.
  std::vector<std::string> lines = ReadHistory(history);
  if (lines.size() <= kHistoryLines) return;
  std::string text;
  for (size_t i = lines.size() - kHistoryLines; i < lines.size(); ++i) text += lines[i] + "\n";
  platform::AtomicFile file;
  if (file.Open(history, &error) == 0 && file.Write(text.data(), text.size(), &error) == 0) file.Commit(&error);
}

LineEditor::~LineEditor() {
  if (g_console.out != INVALID_HANDLE_VALUE) ::CloseHandle(g_console.out);
  g_console = ConsoleState{};
}

LineEditor::Read LineEditor::ReadLine(const std::string& prompt, std::string* line) {
  Write(platform::Widen(prompt));
  COORD start = CursorPosition();
  std::wstring typed;  // the line as far as it was typed before a Tab
  std::vector<wchar_t> buffer(kLineLength);
  for (;;) {
    // The console takes the typed part as already entered, and wakes orvo
    // for Tab and Ctrl+D.
    size_t initial = std::min<size_t>(typed.size(), kLineLength - 1);
    std::copy_n(typed.begin(), initial, buffer.begin());
    CONSOLE_READCONSOLE_CONTROL control{};
    control.nLength = sizeof control;
    control.nInitialChars = static_cast<ULONG>(initial);
    control.dwCtrlWakeupMask = (1u << kTab) | (1u << kCtrlD);
    DWORD n = 0;
    ::SetLastError(ERROR_SUCCESS);
    bool read = ::ReadConsoleW(g_console.in, buffer.data(), kLineLength, &n, &control) != 0;
    // Ctrl+C ends the read with nothing (or, where the console reads on, the
    // line it ends is dropped all the same): the interrupt is noted on a
    // thread of its own, which the shell must not see after it went on.
    bool aborted = (read && n == 0) || (!read && ::GetLastError() == ERROR_OPERATION_ABORTED);
    if ((aborted && platform::AwaitInterrupt(1000)) || platform::InterruptRequested()) {
      Write(L"^C\r\n");
      return Read::kCancelled;
    }
    if (!read || n == 0) return Read::kEnd;
    std::wstring got(buffer.data(), n);
    size_t wake = got.find_first_of(std::wstring{kTab, kCtrlD});
    if (wake == std::wstring::npos) {
      // Ctrl+Z is the console's end of input.
      if (got.starts_with(L'\x1a')) return Read::kEnd;
      while (!got.empty() && (got.back() == L'\n' || got.back() == L'\r')) got.pop_back();
      *line = platform::Narrow(got);
      if (!state_->history_file.empty() && line->find_first_not_of(" \t") != std::string::npos) {
        AppendHistory(state_->history_file, *line);
      }
      return Read::kLine;
    }
    std::wstring after = got.substr(wake + 1);
    while (!after.empty() && (after.back() == L'\n' || after.back() == L'\r')) after.pop_back();
    std::wstring before = got.substr(0, wake);
    if (got[wake] == kCtrlD) {
      if (before.empty() && after.empty()) return Read::kEnd;
      typed = before + after;
    } else {
      bool listed = false;
      typed = platform::Widen(CompleteLine(platform::Narrow(before), state_->completer, &listed)) + after;
      if (listed) {
        Write(platform::Widen(prompt));
        start = CursorPosition();
      }
    }
    Redraw(start, typed);
  }
}

}  // namespace orvo
