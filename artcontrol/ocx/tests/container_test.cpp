// The control sited by a real container, Wine's ATL host window "AtlAxWin"
// of atl.dll, on the X display: in-place activation with a window of its
// own, a paint, the window's mouse messages as the stock events (and a real
// click where the display delivers one), and a screenshot of the hosted
// control kept in the build tree.

#include <gtest/gtest.h>

#include <string>

#include "com_host.h"

namespace tilvo::ocx::testing {
namespace {

constexpr COLORREF kBackground = 0x00B06020;  // BkColor 0x00BBGGRR

// A plain top-level window for the container to live in.
HWND CreateFrame(const wchar_t* title, int width, int height) {
  WNDCLASSW frameClass{};
  frameClass.lpfnWndProc = ::DefWindowProcW;
  frameClass.hInstance = ::GetModuleHandleW(nullptr);
  frameClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  frameClass.lpszClassName = L"TilvoTestFrame";
  ::RegisterClassW(&frameClass);
  return ::CreateWindowExW(0, L"TilvoTestFrame", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, width, height,
                           nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

COLORREF ScreenPixel(HWND window, int x, int y) {
  POINT at{x, y};
  ::ClientToScreen(window, &at);
  const HDC screen = ::GetDC(nullptr);
  const COLORREF color = ::GetPixel(screen, at.x, at.y);
  ::ReleaseDC(nullptr, screen);
  return color;
}

struct MouseCase {
  const char* name;
  UINT message;
  WPARAM keys;
  DISPID event;
  SHORT button;
  SHORT shift;
};

TEST(Container, AtlHostSitesTheControlWhichPaintsAndRaisesTheStockMouseEvents) {
  const HMODULE atl = ::LoadLibraryW(L"atl.dll");
  ASSERT_NE(atl, nullptr);
  using WinInit = BOOL(WINAPI*)();
  using GetControl = HRESULT(WINAPI*)(HWND, IUnknown**);
  const auto winInit = reinterpret_cast<WinInit>(reinterpret_cast<void*>(::GetProcAddress(atl, "AtlAxWinInit")));
  const auto getControl =
      reinterpret_cast<GetControl>(reinterpret_cast<void*>(::GetProcAddress(atl, "AtlAxGetControl")));
  ASSERT_TRUE(winInit != nullptr && getControl != nullptr && winInit());

  const HWND frame = CreateFrame(L"Tilvo in a container", 360, 300);
  ASSERT_NE(frame, nullptr);
  const HWND host = ::CreateWindowExW(0, L"AtlAxWin", L"TILVO.TilvoCtrl.1", WS_CHILD | WS_VISIBLE, 10, 10, 320, 240,
                                      frame, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(host, nullptr);
  ComPtr<IUnknown> unknown;
  ASSERT_EQ(getControl(host, &unknown), S_OK);
  ComPtr<IDispatch> control;
  ASSERT_EQ(unknown.As(&control), S_OK);

  // The container connects after the control was made: the ready state reaches it then.
  ComPtr<EventSink> sink = EventSink::Create();
  const DWORD cookie = sink->Connect(unknown.Get());
  ASSERT_NE(cookie, 0u);
  ASSERT_FALSE(sink->events.empty());
  EXPECT_EQ(sink->events[0].dispid, DISPID_READYSTATECHANGE);
  ASSERT_EQ(sink->events[0].args.size(), 1u);
  EXPECT_EQ(sink->events[0].args[0].type(), VT_I4);
  EXPECT_EQ(sink->events[0].args[0].Long(), 2);
  sink->events.clear();

  // Sited in place, with a window of its own inside the host's.
  ComPtr<IOleInPlaceObject> inPlace;
  ASSERT_EQ(unknown.As(&inPlace), S_OK);
  HWND window = nullptr;
  ASSERT_EQ(inPlace->GetWindow(&window), S_OK);
  ASSERT_TRUE(::IsWindowVisible(window));
  EXPECT_TRUE(::IsChild(host, window));

  // A picture of the synthetic client's first gump on a background of the test's colour.
  const std::wstring client = ClientFolder();
  CallMethod(control.Get(), L"SetMulPath", {Var::Text(client.c_str())});
  PutProperty(control.Get(), L"BkColor", Var::I4(0), {Var::I4(static_cast<LONG>(kBackground))});
  CallMethod(control.Get(), L"SetObject", {Var::I2(3), Var::I4(2)});
  ::UpdateWindow(frame);
  EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(window, 1, 1) == kBackground; }, 5000))
      << std::hex << ScreenPixel(window, 1, 1);
  RECT shown{};
  ::GetWindowRect(frame, &shown);
  EXPECT_TRUE(SaveScreenshot(shown, ScreenshotFolder() + L"screenshot-hosted-control.png"));

  // The window's mouse messages become the stock events, with the stock codes and client pixels.
  const MouseCase cases[] = {
      {"left down with Shift", WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, DISPID_MOUSEDOWN, 1, 1},
      {"move with left and middle held", WM_MOUSEMOVE, MK_LBUTTON | MK_MBUTTON, DISPID_MOUSEMOVE, 5, 0},
      {"left up with Ctrl", WM_LBUTTONUP, MK_CONTROL, DISPID_MOUSEUP, 1, 2},
      {"right down", WM_RBUTTONDOWN, MK_RBUTTON, DISPID_MOUSEDOWN, 2, 0},
      {"middle up", WM_MBUTTONUP, 0, DISPID_MOUSEUP, 4, 0},
  };
  for (const MouseCase& c : cases) {
    sink->events.clear();
    ::SendMessageW(window, c.message, c.keys, MAKELPARAM(17, 23));
    ASSERT_EQ(sink->events.size(), 1u) << c.name;
    const EventSink::Event& e = sink->events[0];
    EXPECT_EQ(e.dispid, c.event) << c.name;
    ASSERT_EQ(e.args.size(), 4u) << c.name;
    EXPECT_EQ(e.args[0].type(), VT_I2);
    EXPECT_EQ(e.args[0].Long(), c.button) << c.name;
    EXPECT_EQ(e.args[1].Long(), c.shift) << c.name;
    EXPECT_EQ(e.args[2].type(), VT_I4);
    EXPECT_EQ(e.args[2].Long(), 17) << c.name;
    EXPECT_EQ(e.args[3].Long(), 23) << c.name;
  }

  // While the container freezes events, the control raises none.
  ComPtr<IOleControl> oleControl;
  ASSERT_EQ(unknown.As(&oleControl), S_OK);
  sink->events.clear();
  oleControl->FreezeEvents(TRUE);
  ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
  EXPECT_TRUE(sink->events.empty());
  oleControl->FreezeEvents(FALSE);
  ::SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(sink->events.size(), 1u);

  // A real click through the display.
  sink->events.clear();
  RECT area{};
  ::GetWindowRect(window, &area);
  ::SetForegroundWindow(frame);
  ::SetCursorPos(area.left + 30, area.top + 40);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, input, sizeof(INPUT));
  auto clicked = [&] {
    bool down = false;
    bool up = false;
    for (const EventSink::Event& e : sink->events) {
      down = down || (e.dispid == DISPID_MOUSEDOWN && e.args[2].Long() == 30 && e.args[3].Long() == 40);
      up = up || e.dispid == DISPID_MOUSEUP;
    }
    return down && up;
  };
  if (!PumpUntil(clicked, 5000)) {
    Note("the display delivered no click to the control (%zu events heard); its mouse messages were checked above",
         sink->events.size());
  }

  sink->Disconnect(unknown.Get(), cookie);
  control.Reset();
  inPlace.Reset();
  unknown.Reset();
  ::DestroyWindow(frame);
  PumpUntil([] { return false; }, 0);
}

// The least a container offers for in-place activation: a client site that
// is an in-place site of a window, with no frame. When the control leaves
// its place, the site counts it up and down once, as containers may.
class MinimalSite final : public IOleClientSite, public IOleInPlaceSite {
 public:
  explicit MinimalSite(HWND window) : window_(window) {}
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (riid == IID_IUnknown || riid == IID_IOleClientSite) {
      *object = static_cast<IOleClientSite*>(this);
    } else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite) {
      *object = static_cast<IOleInPlaceSite*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP SaveObject() override { return S_OK; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    *moniker = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** container) override {
    *container = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
  STDMETHODIMP GetWindow(HWND* window) override {
    *window = window_;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                LPRECT clip, LPOLEINPLACEFRAMEINFO) override {
    *frame = nullptr;
    *document = nullptr;
    *position = *clip = RECT{0, 0, 64, 48};
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override {
    ++deactivations;
    if (control != nullptr) {
      control->AddRef();
      control->Release();
    }
    return S_OK;
  }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

  IUnknown* control = nullptr;  // not counted
  int deactivations = 0;

 private:
  HWND window_;
};

TEST(Container, ReleasedWhileInPlaceItLetsGoOfItsWindowAndSiteOnce) {
  const HWND frame = CreateFrame(L"Tilvo released in place", 120, 100);
  MinimalSite site(frame);
  ComPtr<IDispatch> control = CreateControl();
  ComPtr<IOleObject> object;
  ASSERT_EQ(control.As(&object), S_OK);
  ASSERT_EQ(object->SetClientSite(&site), S_OK);
  ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, frame, nullptr), S_OK);
  ComPtr<IOleInPlaceObject> inPlace;
  ASSERT_EQ(control.As(&inPlace), S_OK);
  HWND window = nullptr;
  ASSERT_EQ(inPlace->GetWindow(&window), S_OK);
  EXPECT_TRUE(::IsChild(frame, window));
  site.control = object.Get();
  // Released without Close: the control leaves its place as it goes.
  inPlace.Reset();
  object.Reset();
  control.Reset();
  EXPECT_EQ(site.deactivations, 1);
  EXPECT_FALSE(::IsWindow(window));
  ::DestroyWindow(frame);
}

}  // namespace
}  // namespace tilvo::ocx::testing
