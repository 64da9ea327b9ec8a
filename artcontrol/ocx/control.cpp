// The control's identity (its interfaces and count), its connection point
// container and class information, and its side of the core's site.
#include "artcontrol/ocx/control.h"

#include "artcontrol/ocx/automation_variant.h"
#include "artcontrol/ocx/enumerator.h"
#include "artcontrol/ocx/module.h"

namespace tilvo::ocx {
namespace {

// One row per interface the control answers, and the base that serves it.
struct InterfaceRow {
  const IID* iid;
  void* (*cast)(TilvoControl* control);
};

template <class Interface>
void* As(TilvoControl* control) {
  return static_cast<Interface*>(control);
}

const InterfaceRow kInterfaces[] = {
    {&IID_IUnknown, As<ITilvoMembers>},
    {&IID_IDispatch, As<ITilvoMembers>},
    {&DIID__DTilvo, As<ITilvoMembers>},
    {&IID_ITilvoMembers, As<ITilvoMembers>},
    {&IID_IProvideClassInfo, As<IProvideClassInfo2>},
    {&IID_IProvideClassInfo2, As<IProvideClassInfo2>},
    {&IID_IConnectionPointContainer, As<IConnectionPointContainer>},
    {&IID_IOleObject, As<IOleObject>},
    {&IID_IOleControl, As<IOleControl>},
    {&IID_IOleWindow, As<IOleInPlaceObject>},
    {&IID_IOleInPlaceObject, As<IOleInPlaceObject>},
    {&IID_IOleInPlaceActiveObject, As<IOleInPlaceActiveObject>},
    {&IID_IViewObject, As<IViewObject2>},
    {&IID_IViewObject2, As<IViewObject2>},
    {&IID_IPersist, As<IPersistStreamInit>},
    {&IID_IPersistStreamInit, As<IPersistStreamInit>},
    {&IID_IPersistPropertyBag, As<IPersistPropertyBag>},
    {&IID_IPersistStorage, As<IPersistStorage>},
    {&IID_ISpecifyPropertyPages, As<ISpecifyPropertyPages>},
    {&IID_IObjectSafety, As<IObjectSafety>},
};

// The natural size of a new control, 320 x 240 pixels at 96 pixels per inch, in HIMETRIC.
constexpr SIZEL kDefaultExtent = {320 * 2540 / 96, 240 * 2540 / 96};

void ProducePoint(IConnectionPoint* const& stored, IConnectionPoint** item) {
  *item = stored;
  stored->AddRef();
}

}  // namespace

HRESULT CreateTilvoControl(REFIID riid, void** object) {
  auto* control = new TilvoControl();
  const HRESULT hr = control->QueryInterface(riid, object);
  control->Release();
  return hr;
}

TilvoControl::TilvoControl()
    : events_(*this, DIID__DTilvoEvents), core_(std::make_unique<CTilvoCtrl>(static_cast<TilvoSite&>(*this))) {
  extent_ = kDefaultExtent;
}

TilvoControl::~TilvoControl() {
  // A host that lets go without closing leaves the window to the control.
  InPlaceDeactivate();
  events_.DisconnectAll();
}

STDMETHODIMP TilvoControl::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  for (const InterfaceRow& row : kInterfaces) {
    if (riid == *row.iid) {
      *object = row.cast(this);
      AddRef();
      return S_OK;
    }
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) TilvoControl::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) TilvoControl::Release() {
  const LONG left = ::InterlockedDecrement(&references_);
  if (left == 0) {
    // The destructor lets go of its container, which may count the control
    // up and down once more: that must not destroy it a second time.
    references_ = 1;
    delete this;
  }
  return static_cast<ULONG>(left);
}

STDMETHODIMP TilvoControl::GetClassInfo(ITypeInfo** info) { return ModuleTypeInfo(CLSID_Tilvo, info); }

STDMETHODIMP TilvoControl::GetGUID(DWORD kind, GUID* guid) {
  if (guid == nullptr) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
    *guid = GUID_NULL;
    return E_INVALIDARG;
  }
  *guid = DIID__DTilvoEvents;
  return S_OK;
}

STDMETHODIMP TilvoControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points == nullptr) return E_POINTER;
  *points = Enumerator<IEnumConnectionPoints, IConnectionPoint*, IConnectionPoint*>::Create(
      IID_IEnumConnectionPoints, {&events_}, ProducePoint);
  return S_OK;
}

STDMETHODIMP TilvoControl::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  if (riid != DIID__DTilvoEvents) return CONNECT_E_NOCONNECTION;
  *point = &events_;
  events_.AddRef();
  return S_OK;
}

void TilvoControl::PaintInto(HDC dc, const RECT& bounds) {
  paintDc_ = dc;
  core_->OnDraw({bounds.left, bounds.top, bounds.right, bounds.bottom});
  paintDc_ = nullptr;
}

void TilvoControl::InvalidateControl(bool erase) {
  // A paint in progress draws the whole picture already.
  if (paintDc_ != nullptr) return;
  if (window_ != nullptr) {
    ::InvalidateRect(window_, nullptr, erase ? TRUE : FALSE);
  } else if (viewSink_) {
    // Without a window of its own the control is drawn by its container.
    viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
  }
}

std::uint32_t TilvoControl::ButtonFaceColor() { return ::GetSysColor(COLOR_BTNFACE); }

void TilvoControl::CopyToScreen(const PixelBuffer& pixels, std::int32_t left, std::int32_t top) {
  if (paintDc_ == nullptr || pixels.w <= 0 || pixels.h <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = pixels.w;
  info.bmiHeader.biHeight = -pixels.h;  // rows top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  ::SetDIBitsToDevice(paintDc_, left, top, static_cast<DWORD>(pixels.w), static_cast<DWORD>(pixels.h), 0, 0, 0,
                      static_cast<UINT>(pixels.h), pixels.bytes.data(), &info, DIB_RGB_COLORS);
}

void TilvoControl::ReadyStateChange(std::int32_t readyState) {
  // Fired while the control is being made, before any host could connect:
  // the first sink to connect hears it.
  const VARIANT args[] = {ToVariant(Variant::I4(readyState))};
  if (frozenEvents_ == 0) events_.Fire(DISPID_READYSTATECHANGE, args, true);
}

void TilvoControl::FireMouseEvent(DISPID dispid, std::int16_t button, std::int16_t shift, std::int32_t x,
                                  std::int32_t y) {
  if (frozenEvents_ != 0) return;
  const VARIANT args[] = {ToVariant(Variant::I2(button)), ToVariant(Variant::I2(shift)), ToVariant(Variant::I4(x)),
                          ToVariant(Variant::I4(y))};
  // A sink may release the control while it hears the event.
  AddRef();
  events_.Fire(dispid, args);
  Release();
}

void TilvoControl::MouseDown(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) {
  FireMouseEvent(DISPID_MOUSEDOWN, Button, Shift, x, y);
}

void TilvoControl::MouseMove(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) {
  FireMouseEvent(DISPID_MOUSEMOVE, Button, Shift, x, y);
}

void TilvoControl::MouseUp(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) {
  FireMouseEvent(DISPID_MOUSEUP, Button, Shift, x, y);
}

}  // namespace tilvo::ocx
