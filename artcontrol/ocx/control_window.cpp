// The control in its container's window: in-place and UI activation, the
// control's own child window, and the window's messages, which become the
// core's paint entry and its stock mouse events.
#include "artcontrol/ocx/control.h"

#include <span>
#include <utility>

#include <windowsx.h>

#include "artcontrol/ocx/module.h"

namespace tilvo::ocx {
namespace {

constexpr wchar_t kWindowClass[] = L"TilvoControlWindow";

// The stock events' codes for the message's key flags.
struct StockCode {
  WPARAM flag;
  std::int16_t code;
};
constexpr StockCode kButtons[] = {{MK_LBUTTON, 1}, {MK_RBUTTON, 2}, {MK_MBUTTON, 4}};
constexpr StockCode kShifts[] = {{MK_SHIFT, 1}, {MK_CONTROL, 2}};
constexpr std::int16_t kAlt = 4;

std::int16_t Codes(std::span<const StockCode> table, WPARAM flags) {
  std::int16_t codes = 0;
  for (const StockCode& c : table) {
    if ((flags & c.flag) != 0) codes = static_cast<std::int16_t>(codes | c.code);
  }
  return codes;
}

// The mouse messages that raise a stock event: which event, and the button
// that went down or up (a move reports every button held).
enum class MouseEvent { kDown, kMove, kUp };
struct MouseMessage {
  UINT message;
  MouseEvent event;
  std::int16_t button;
};
constexpr MouseMessage kMouseMessages[] = {
    {WM_LBUTTONDOWN, MouseEvent::kDown, 1}, {WM_RBUTTONDOWN, MouseEvent::kDown, 2},
    {WM_MBUTTONDOWN, MouseEvent::kDown, 4}, {WM_LBUTTONUP, MouseEvent::kUp, 1},
    {WM_RBUTTONUP, MouseEvent::kUp, 2},     {WM_MBUTTONUP, MouseEvent::kUp, 4},
    {WM_MOUSEMOVE, MouseEvent::kMove, 0},
};

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* control = reinterpret_cast<TilvoControl*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (control == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  return control->OnWindowMessage(window, message, wParam, lParam);
}

bool RegisterWindowClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = ModuleInstance();
  windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  // What the picture leaves uncovered (the bounds beyond a multiple of 8) shows the button face.
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kWindowClass;
  return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

void UnregisterWindowClasses() { ::UnregisterClassW(kWindowClass, ModuleInstance()); }

HRESULT TilvoControl::ActivateInPlace(bool ui) {
  if (!clientSite_) return E_UNEXPECTED;
  if (!inPlaceSite_) {
    Microsoft::WRL::ComPtr<IOleInPlaceSite> site;
    if (FAILED(clientSite_->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(site.GetAddressOf())))) {
      return E_NOINTERFACE;
    }
    if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
    inPlaceSite_ = std::move(site);
    inPlaceSite_->OnInPlaceActivate();
    HWND parent = nullptr;
    RECT position{};
    RECT clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    if (FAILED(inPlaceSite_->GetWindow(&parent)) ||
        FAILED(inPlaceSite_->GetWindowContext(frame_.ReleaseAndGetAddressOf(), uiWindow_.ReleaseAndGetAddressOf(),
                                              &position, &clip, &frameInfo)) ||
        !RegisterWindowClass()) {
      InPlaceDeactivate();
      return E_FAIL;
    }
    window_ = ::CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, position.left,
                                position.top, position.right - position.left, position.bottom - position.top, parent,
                                nullptr, ModuleInstance(), this);
    if (window_ == nullptr) {
      InPlaceDeactivate();
      return E_FAIL;
    }
    SetObjectRects(&position, &clip);
  }
  ::ShowWindow(window_, SW_SHOW);
  if (ui && !uiActive_) {
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    auto* active = static_cast<IOleInPlaceActiveObject*>(this);
    // The control brings no menus or tools of its own, so it asks for no border space.
    if (frame_) {
      frame_->SetActiveObject(active, nullptr);
      frame_->SetBorderSpace(nullptr);
    }
    if (uiWindow_) {
      uiWindow_->SetActiveObject(active, nullptr);
      uiWindow_->SetBorderSpace(nullptr);
    }
    ::SetFocus(window_);
  }
  return S_OK;
}

STDMETHODIMP TilvoControl::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = window_;
  return window_ != nullptr ? S_OK : E_FAIL;
}

STDMETHODIMP TilvoControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP TilvoControl::InPlaceDeactivate() {
  if (!inPlaceSite_) return S_OK;
  UIDeactivate();
  if (window_ != nullptr) {
    const HWND window = window_;
    window_ = nullptr;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    ::DestroyWindow(window);
  }
  frame_.Reset();
  uiWindow_.Reset();
  // The site is told last, with the control already out of its window.
  const Microsoft::WRL::ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);
  site->OnInPlaceDeactivate();
  return S_OK;
}

STDMETHODIMP TilvoControl::UIDeactivate() {
  if (!uiActive_) return S_OK;
  uiActive_ = false;
  if (uiWindow_) uiWindow_->SetActiveObject(nullptr, nullptr);
  if (frame_) frame_->SetActiveObject(nullptr, nullptr);
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

STDMETHODIMP TilvoControl::SetObjectRects(LPCRECT position, LPCRECT clip) {
  if (position == nullptr) return E_POINTER;
  if (window_ == nullptr) return S_OK;
  ::MoveWindow(window_, position->left, position->top, position->right - position->left,
               position->bottom - position->top, TRUE);
  // What lies outside the container's clip rectangle is cut off by a window region.
  RECT visible = *position;
  if (clip != nullptr) ::IntersectRect(&visible, position, clip);
  if (::EqualRect(&visible, position)) {
    ::SetWindowRgn(window_, nullptr, TRUE);
  } else {
    ::OffsetRect(&visible, -position->left, -position->top);
    ::SetWindowRgn(window_, ::CreateRectRgnIndirect(&visible), TRUE);
  }
  return S_OK;
}

STDMETHODIMP TilvoControl::ReactivateAndUndo() { return INPLACE_E_NOTUNDOABLE; }

STDMETHODIMP TilvoControl::TranslateAccelerator(LPMSG) { return S_FALSE; }

STDMETHODIMP TilvoControl::OnFrameWindowActivate(BOOL) { return S_OK; }

STDMETHODIMP TilvoControl::OnDocWindowActivate(BOOL) { return S_OK; }

STDMETHODIMP TilvoControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }

STDMETHODIMP TilvoControl::EnableModeless(BOOL) { return S_OK; }

LRESULT TilvoControl::OnWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(window, &paint);
    RECT client{};
    ::GetClientRect(window, &client);
    PaintInto(dc, client);
    ::EndPaint(window, &paint);
    return 0;
  }
  for (const MouseMessage& m : kMouseMessages) {
    if (m.message != message) continue;
    const std::int16_t shift =
        static_cast<std::int16_t>(Codes(kShifts, wParam) | (::GetKeyState(VK_MENU) < 0 ? kAlt : 0));
    const std::int32_t x = GET_X_LPARAM(lParam);
    const std::int32_t y = GET_Y_LPARAM(lParam);
    // A sink may release the control while it hears the event.
    AddRef();
    switch (m.event) {
      case MouseEvent::kDown:
        // A click activates the control for the user, and it keeps the mouse until the last button is up.
        if (!uiActive_ && inPlaceSite_) ActivateInPlace(true);
        ::SetCapture(window);
        core_->OnMouseDown(m.button, shift, x, y);
        break;
      case MouseEvent::kMove:
        core_->OnMouseMove(Codes(kButtons, wParam), shift, x, y);
        break;
      case MouseEvent::kUp:
        if (Codes(kButtons, wParam) == 0 && ::GetCapture() == window) ::ReleaseCapture();
        core_->OnMouseUp(m.button, shift, x, y);
        break;
    }
    Release();
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tilvo::ocx
