#include "monitor/win32/frm_main.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "monitor/win32/frm_about.h"
#include "monitor/win32/frm_configure.h"
#include "monitor/win32/resource.h"
#include "monitor/win32/wide_text.h"

namespace monitor {
namespace {

// The console shows about this many characters and lines before the user
// resizes the window.
constexpr int kConsoleColumns = 80;
constexpr int kConsoleLines = 22;
constexpr int kIconSize = 32;
constexpr int kButtonPadding = 16;

constexpr ControlFont kFonts[] = {
    {IDC_TXTCONSOLE, L"Tahoma", 8.25},
    {IDC_TXTCOMMAND, L"Verdana", 8.25},
    {IDC_LBLCONNSTATUS, L"Verdana", 8.25},
};

// The picture buttons and the icon each shows (the connect button's changes).
constexpr int kPictureIds[] = {IDI_CONNECT, IDI_DISCONNECT, IDI_CONFIGURE, IDI_ABOUT};
constexpr int kButtons[] = {IDC_CMDCONNECT, IDC_CMDCONFIGURE, IDC_CMDABOUT};

// A control's one line of text in its font.
TEXTMETRICW FontMetrics(HWND control) {
  TEXTMETRICW metrics{};
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return metrics;
}

// The margins of the layout, in dialog units of the window's font, so that
// they grow with its scale.
struct Spacing {
  int x;        // margin between and around the frames
  int y;
  int caption;  // the frame's caption line above its contents
};

Spacing SpacingOf(HWND window) {
  RECT units{4, 4, 0, 10};
  MapDialogRect(window, &units);
  return {static_cast<int>(units.left), static_cast<int>(units.top), static_cast<int>(units.bottom)};
}

void Place(HWND window, int id, int x, int y, int width, int height) {
  SetWindowPos(GetDlgItem(window, id), nullptr, x, y, std::max(width, 0), std::max(height, 0),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// The selection of an edit box, whose text may pass 65535 characters.
std::pair<DWORD, DWORD> Selection(HWND box) {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

}  // namespace

frmMain::frmMain(HINSTANCE instance, std::string folder, std::function<LocalStamp()> now)
    : instance_(instance),
      socket_(instance),
      controller_(*this, socket_, profile_, std::move(folder), std::move(now)) {
  socket_.on_connected = [this] { controller_.TelnetSocket_Connect(); };
  socket_.on_data_arrival = [this] { controller_.TelnetSocket_DataArrival(); };
  socket_.on_closed_by_peer = [this] { controller_.TelnetSocket_Close(); };
  socket_.on_failed = [this] { controller_.TelnetSocket_Error(); };
  Create(instance, IDD_FRMMAIN, nullptr);
  controller_.frmMain_Load();
}

frmMain::~frmMain() = default;

HWND frmMain::ConfigureWindow() const { return configure_ ? configure_->Window() : nullptr; }

HWND frmMain::AboutWindow() const { return about_ ? about_->Window() : nullptr; }

bool frmMain::TakeDialogMessage(MSG& message) {
  for (HWND dialog : {Window(), ConfigureWindow(), AboutWindow()}) {
    if (dialog != nullptr && IsDialogMessageW(dialog, &message)) return true;
  }
  return false;
}

void frmMain::OnInitDialog() {
  tips_ = CreateToolTips(Window());
  SetToolTip(tips_, Item(IDC_CMDCONFIGURE), L"Configure Gyrion Remote.");
  SetToolTip(tips_, Item(IDC_CMDABOUT), L"About Box.");
  // Tool tips need text a reader of the screen can also find: each picture
  // button carries its tip as its (unshown) window text.
  SetWindowTextW(Item(IDC_CMDCONFIGURE), L"Configure Gyrion Remote.");
  SetWindowTextW(Item(IDC_CMDABOUT), L"About Box.");
  // A console left connected for days holds more than an edit box's default
  // 32767 characters; the monitor bounds it itself.
  SendMessageW(Item(IDC_TXTCONSOLE), EM_SETLIMITTEXT, 0, 0);
  SetWindowSubclass(Item(IDC_TXTCOMMAND), CommandBoxProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
  SetWindowSubclass(Item(IDC_TXTCONSOLE), ConsoleBoxProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
  ApplyScale(WindowDpi(Window()));
  const SIZE full = WindowSize(FullClientSize());
  SetWindowPos(Window(), nullptr, 0, 0, full.cx, full.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  LayOut();
}

SIZE frmMain::WindowSize(SIZE client_size) const {
  RECT outer;
  RECT client;
  GetWindowRect(Window(), &outer);
  GetClientRect(Window(), &client);
  return {client_size.cx + (outer.right - outer.left) - client.right,
          client_size.cy + (outer.bottom - outer.top) - client.bottom};
}

void frmMain::ApplyScale(UINT dpi) {
  dpi_ = dpi;
  fonts_.Apply(Window(), kFonts, dpi);
  std::array<PictureIcon, 4> pictures;
  for (size_t i = 0; i < pictures.size(); ++i) {
    pictures[i] = PictureIcon(instance_, kPictureIds[i], ScaleToDpi(kIconSize, dpi));
  }
  // The new pictures go on before the old ones are destroyed.
  const HICON connect = pictures[picture_ == ConnectPicture::kConnect ? 0 : 1].Get();
  const HICON shown[] = {connect, pictures[2].Get(), pictures[3].Get()};
  for (size_t i = 0; i < std::size(kButtons); ++i) {
    SendDlgItemMessageW(Window(), kButtons[i], BM_SETIMAGE, IMAGE_ICON,
                        reinterpret_cast<LPARAM>(shown[i]));
  }
  pictures_ = std::move(pictures);
  std::array<PictureIcon, 2> program = {
      PictureIcon(instance_, IDI_PROGRAM, ScaleToDpi(16, dpi)),
      PictureIcon(instance_, IDI_PROGRAM, ScaleToDpi(32, dpi))};
  SendMessageW(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(program[0].Get()));
  SendMessageW(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(program[1].Get()));
  program_icons_ = std::move(program);
}

// The layout: the console frame on the left with the console above the
// command box, the button frame on the right, the status line below both.
SIZE frmMain::FullClientSize() const {
  const Spacing space = SpacingOf(Window());
  const TEXTMETRICW console = FontMetrics(Item(IDC_TXTCONSOLE));
  const int edge = ScaleToDpi(4, dpi_);  // the edit box's border and inner margin
  const int scroll_bar = GetSystemMetrics(SM_CXVSCROLL);
  const int console_width = console.tmAveCharWidth * kConsoleColumns + scroll_bar + edge;
  const int console_height = console.tmHeight * kConsoleLines + edge;
  const int command_height = FontMetrics(Item(IDC_TXTCOMMAND)).tmHeight + ScaleToDpi(8, dpi_);
  const int status_height = FontMetrics(Item(IDC_LBLCONNSTATUS)).tmHeight;
  const int buttons_width = ScaleToDpi(kIconSize + kButtonPadding, dpi_) + 2 * space.x;
  return {console_width + 5 * space.x + buttons_width,
          console_height + command_height + space.caption + 5 * space.y + status_height};
}

void frmMain::LayOut() {
  RECT client;
  GetClientRect(Window(), &client);
  const Spacing space = SpacingOf(Window());
  const int button = ScaleToDpi(kIconSize + kButtonPadding, dpi_);
  const int command_height = FontMetrics(Item(IDC_TXTCOMMAND)).tmHeight + ScaleToDpi(8, dpi_);
  const int status_height = FontMetrics(Item(IDC_LBLCONNSTATUS)).tmHeight;
  const int buttons_width = button + 2 * space.x;
  const int frame_height = client.bottom - 3 * space.y - status_height;
  const int frame_width = client.right - 3 * space.x - buttons_width;
  const int inner_width = frame_width - 2 * space.x;

  Place(Window(), IDC_FRACONSOLE, space.x, space.y, frame_width, frame_height);
  Place(Window(), IDC_TXTCONSOLE, 2 * space.x, space.y + space.caption, inner_width,
        frame_height - space.caption - command_height - 2 * space.y);
  Place(Window(), IDC_TXTCOMMAND, 2 * space.x, frame_height - command_height, inner_width,
        command_height);
  const int buttons_x = client.right - space.x - buttons_width;
  Place(Window(), IDC_FRABUTTONS, buttons_x, space.y, buttons_width,
        static_cast<int>(std::size(kButtons)) * (button + space.y) + 3 * space.y);
  for (size_t i = 0; i < std::size(kButtons); ++i) {
    Place(Window(), kButtons[i], buttons_x + space.x,
          3 * space.y + static_cast<int>(i) * (button + space.y), button, button);
  }
  Place(Window(), IDC_LBLCONNSTATUS, space.x, client.bottom - space.y - status_height,
        client.right - 2 * space.x, status_height);
  InvalidateRect(Window(), nullptr, TRUE);
}

INT_PTR frmMain::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      return FALSE;  // the focus is set when the window is activated
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) return FALSE;
      controller_.frmMain_Activate();
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) OnCommand(LOWORD(wparam));
      return TRUE;
    case WM_CTLCOLORSTATIC:
      // The read-only console keeps the look of a box the user reads in.
      if (reinterpret_cast<HWND>(lparam) == Item(IDC_TXTCONSOLE)) {
        SetBkColor(reinterpret_cast<HDC>(wparam), GetSysColor(COLOR_WINDOW));
        SetTextColor(reinterpret_cast<HDC>(wparam), GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
      }
      return FALSE;
    case WM_SIZE:
      LayOut();
      return TRUE;
    case WM_GETMINMAXINFO: {
      // The console may shrink to half its first size.
      const TEXTMETRICW console = FontMetrics(Item(IDC_TXTCONSOLE));
      const SIZE full = FullClientSize();
      const SIZE smallest = WindowSize({full.cx - console.tmAveCharWidth * kConsoleColumns / 2,
                                        full.cy - console.tmHeight * kConsoleLines / 2});
      reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = {smallest.cx, smallest.cy};
      return TRUE;
    }
    case WM_DPICHANGED: {
      // Windows suggests where the window goes on the new monitor.
      ApplyScale(LOWORD(wparam));
      const auto* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(Window(), nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return TRUE;
    }
    case WM_CLOSE:
      controller_.frmMain_Unload();
      DestroyWindow(Window());
      return TRUE;
    case WM_DESTROY:
      PostQuitMessage(0);
      return TRUE;
    default:
      return FALSE;
  }
}

void frmMain::OnCommand(int id) {
  if (id == IDC_CMDCONNECT) controller_.cmdConnect_Click();
  if (id == IDC_CMDCONFIGURE) controller_.cmdConfigure_Click();
  if (id == IDC_CMDABOUT) controller_.cmdAbout_Click();
  // Enter and Esc outside the command box (IDOK, IDCANCEL) do nothing here.
}

LRESULT CALLBACK frmMain::CommandBoxProcedure(HWND box, UINT message, WPARAM wparam,
                                              LPARAM lparam, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<frmMain*>(data);
  switch (message) {
    case WM_GETDLGCODE:
      // Enter belongs to the box, not to the window's default button.
      if (wparam == VK_RETURN) return DLGC_WANTALLKEYS | DefSubclassProc(box, message, wparam, lparam);
      break;
    case WM_KEYDOWN:
      if (wparam == VK_UP || wparam == VK_DOWN) {
        self->controller_.txtCommand_KeyDown(wparam == VK_UP ? kKeyUp : kKeyDown);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wparam == VK_RETURN) {
        self->controller_.txtCommand_KeyPress(VK_RETURN);
        return 0;  // the box itself would only beep at it
      }
      break;
    case WM_LBUTTONUP: {
      const LRESULT result = DefSubclassProc(box, message, wparam, lparam);
      self->controller_.txtCommand_Click();
      return result;
    }
    default:
      break;
  }
  return DefSubclassProc(box, message, wparam, lparam);
}

LRESULT CALLBACK frmMain::ConsoleBoxProcedure(HWND box, UINT message, WPARAM wparam,
                                              LPARAM lparam, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<frmMain*>(data);
  switch (message) {
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      // The box settles its selection first.
      const LRESULT result = DefSubclassProc(box, message, wparam, lparam);
      self->controller_.txtConsole_MouseUp();
      return result;
    }
    case WM_CONTEXTMENU:
      return 0;  // a release of the right button copies; no menu follows it
    default:
      return DefSubclassProc(box, message, wparam, lparam);
  }
}

void frmMain::SetConnectToolTip(const std::string& text) {
  const std::wstring tip = Widen(text);
  SetToolTip(tips_, Item(IDC_CMDCONNECT), tip);
  SetWindowTextW(Item(IDC_CMDCONNECT), tip.c_str());
}

void frmMain::SetConnectPicture(ConnectPicture picture) {
  picture_ = picture;
  SendDlgItemMessageW(Window(), IDC_CMDCONNECT, BM_SETIMAGE, IMAGE_ICON,
                      reinterpret_cast<LPARAM>(pictures_[picture == ConnectPicture::kConnect ? 0 : 1].Get()));
}

void frmMain::SetStatus(const std::string& text) {
  SetWindowTextW(Item(IDC_LBLCONNSTATUS), Widen(text).c_str());
}

std::string frmMain::ConsoleText() const { return FromBoxText(WindowTextOf(Item(IDC_TXTCONSOLE))); }

void frmMain::SetConsoleText(const std::string& text) {
  SetWindowTextW(Item(IDC_TXTCONSOLE), ToBoxText(text).c_str());
}

size_t frmMain::ConsoleLength() const {
  return static_cast<size_t>(GetWindowTextLengthW(Item(IDC_TXTCONSOLE)));
}

void frmMain::RemoveConsoleHead(const std::string& head) {
  HWND console = Item(IDC_TXTCONSOLE);
  const DWORD length = static_cast<DWORD>(ToBoxText(head).size());
  const auto [start, end] = Selection(console);
  SendMessageW(console, WM_SETREDRAW, FALSE, 0);
  SendMessageW(console, EM_SETSEL, 0, length);
  SendMessageW(console, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
  SendMessageW(console, EM_SETSEL, start > length ? start - length : 0,
               end > length ? end - length : 0);
  SendMessageW(console, WM_SETREDRAW, TRUE, 0);
  SendMessageW(console, EM_SCROLLCARET, 0, 0);
  InvalidateRect(console, nullptr, TRUE);
}

std::string frmMain::ConsoleSelection() const {
  const auto [start, end] = Selection(Item(IDC_TXTCONSOLE));
  const std::wstring text = WindowTextOf(Item(IDC_TXTCONSOLE));
  if (start >= end || end > text.size()) return {};
  return FromBoxText(std::wstring_view(text).substr(start, end - start));
}

void frmMain::InsertConsoleText(const std::string& text) {
  HWND console = Item(IDC_TXTCONSOLE);
  SendMessageW(console, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(ToBoxText(text).c_str()));
  SendMessageW(console, EM_SCROLLCARET, 0, 0);
}

std::string frmMain::CommandText() const { return Narrow(WindowTextOf(Item(IDC_TXTCOMMAND))); }

void frmMain::SetCommandText(const std::string& text) {
  HWND command = Item(IDC_TXTCOMMAND);
  const std::wstring wide = Widen(text);
  SetWindowTextW(command, wide.c_str());
  // The caret waits at the end, where typing goes on.
  SendMessageW(command, EM_SETSEL, wide.size(), static_cast<LPARAM>(wide.size()));
}

// Plain SetFocus: moving there as the dialog's Tab does would select the
// whole of a half-typed line, and the next key would replace it.
void frmMain::FocusCommand() { SetFocus(Item(IDC_TXTCOMMAND)); }

void frmMain::SetClipboardText(const std::string& text) {
  const std::wstring wide = ToBoxText(text);
  if (!OpenClipboard(Window())) return;
  EmptyClipboard();
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* target = GlobalLock(memory)) {
      std::copy_n(wide.c_str(), wide.size() + 1, static_cast<wchar_t*>(target));
      GlobalUnlock(memory);
      // The clipboard owns the memory once it takes it.
      if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}

void frmMain::ShowMessage(const MessageBoxRequest& box) { ShowMessageBox(Window(), box); }

void frmMain::ShowConfigure() {
  if (!configure_) configure_ = std::make_unique<frmConfigure>(instance_, Window(), controller_);
  if (!IsWindowVisible(configure_->Window())) controller_.frmConfigure_Load(*configure_);
  configure_->Show();
}

void frmMain::ShowAbout() {
  if (!about_) about_ = std::make_unique<frmAbout>(instance_, Window());
  about_->Show();
}

}  // namespace monitor
