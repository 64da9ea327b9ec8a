#include "monitor/win32/form_kit.h"

#include <commctrl.h>

#include <cmath>
#include <utility>

#include "monitor/win32/wide_text.h"

namespace monitor {
namespace {

constexpr UINT kDefaultDpi = 96;

// Each kind of message box and the icon it shows.
struct IconRow {
  MessageIcon icon;
  UINT flag;
};

constexpr IconRow kIcons[] = {
    {MessageIcon::kNone, 0},
    {MessageIcon::kCritical, MB_ICONERROR},
    {MessageIcon::kInformation, MB_ICONINFORMATION},
};

}  // namespace

// GetDpiForWindow came with Windows 10; older systems have one scale for
// every monitor, which the screen's device context tells.
UINT WindowDpi(HWND window) {
  using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
  static const auto get_dpi = reinterpret_cast<GetDpiForWindowCall>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (get_dpi != nullptr) {
    const UINT dpi = get_dpi(window);
    if (dpi != 0) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

int ScaleToDpi(int pixels, UINT dpi) {
  return MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(kDefaultDpi));
}

void DialogFonts::Apply(HWND dialog, std::span<const ControlFont> table, UINT dpi) {
  decltype(fonts_) made;
  for (const ControlFont& row : table) {
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(row.points * dpi / 72.0));
    font.lfWeight = row.bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = row.italic ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(font.lfFaceName, row.family, LF_FACESIZE);
    HFONT handle = CreateFontIndirectW(&font);
    if (handle == nullptr) continue;
    made.emplace_back(handle);
    SendDlgItemMessageW(dialog, row.control, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
  }
  // The old fonts go only once no control uses them.
  fonts_ = std::move(made);
}

// LoadIconWithScaleDown (common controls 6) shrinks a larger drawing
// smoothly; mingw-w64's import library lacks it, so it is looked up, and a
// system without it stretches the nearest size with LoadImage.
PictureIcon::PictureIcon(HINSTANCE instance, int id, int size) {
  using LoadCall = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
  static const auto load_scaled = reinterpret_cast<LoadCall>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "LoadIconWithScaleDown")));
  if (load_scaled != nullptr &&
      SUCCEEDED(load_scaled(instance, MAKEINTRESOURCEW(id), size, size, &icon_))) {
    return;
  }
  icon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
}

PictureIcon::~PictureIcon() {
  if (icon_ != nullptr) DestroyIcon(icon_);
}

PictureIcon::PictureIcon(PictureIcon&& other) noexcept
    : icon_(std::exchange(other.icon_, nullptr)) {}

PictureIcon& PictureIcon::operator=(PictureIcon&& other) noexcept {
  if (this != &other) {
    if (icon_ != nullptr) DestroyIcon(icon_);
    icon_ = std::exchange(other.icon_, nullptr);
  }
  return *this;
}

HWND CreateToolTips(HWND owner) {
  return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                         WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                         reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)),
                         nullptr);
}

void SetToolTip(HWND tips, HWND tool, const std::wstring& text) {
  TTTOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = GetParent(tool);
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  // The tool goes and comes back with its new text, which the tips copy; a
  // tool they do not know yet is simply added.
  SendMessageW(tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  info.lpszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void ShowMessageBox(HWND owner, const MessageBoxRequest& box) {
  UINT flags = MB_OK | (box.system_modal ? MB_SYSTEMMODAL : MB_APPLMODAL);
  for (const IconRow& row : kIcons) {
    if (row.icon == box.icon) flags |= row.flag;
  }
  MessageBoxW(owner, Widen(box.text).c_str(), Widen(box.title).c_str(), flags);
}

std::wstring WindowTextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace monitor
