#pragma once
// The control CTilvoCtrl as a COM object that real containers site: its
// dispatch interface (through the type information of ITilvoMembers), its
// events (a connection point on _DTilvoEvents), the OLE control, in-place and
// view interfaces, persistence, property pages and safety. The behaviour is
// the shared core's (tilvo::CTilvoCtrl); this object only translates, and is
// the core's site: it invalidates its window, copies the picture with
// SetDIBitsToDevice and fires the events to the connected sinks.
//
// Its methods are defined by interface family: control.cpp (identity, the
// site), control_dispatch.cpp, control_ole.cpp (IOleObject, IOleControl,
// page and safety), control_window.cpp (in-place activation and the window),
// control_view.cpp and control_persist.cpp.

#include <memory>

#include <windows.h>
#include <ocidl.h>
#include <objsafe.h>
#include <olectl.h>
#include <wrl/client.h>

#include "artcontrol/automation/module_state.h"
#include "artcontrol/ocx/connection_point.h"
#include "artcontrol/ocx/tilvo_h.h"
#include "tilvo/tilvo.h"

namespace tilvo::ocx {

// Creates a control for interface riid: S_OK with *object counted, or E_NOINTERFACE.
HRESULT CreateTilvoControl(REFIID riid, void** object);

class TilvoControl final : public ITilvoMembers,
                           public IProvideClassInfo2,
                           public IConnectionPointContainer,
                           public IOleObject,
                           public IOleControl,
                           public IOleInPlaceObject,
                           public IOleInPlaceActiveObject,
                           public IViewObject2,
                           public IPersistStreamInit,
                           public IPersistPropertyBag,
                           public IPersistStorage,
                           public ISpecifyPropertyPages,
                           public IObjectSafety,
                           private TilvoSite {
 public:
  TilvoControl();
  TilvoControl(const TilvoControl&) = delete;
  TilvoControl& operator=(const TilvoControl&) = delete;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IDispatch, answered by the type information of ITilvoMembers.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID member, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argument) override;

  // ITilvoMembers: the members of _DTilvo.
  STDMETHODIMP get_xOffset(LONG* value) override;
  STDMETHODIMP put_xOffset(LONG value) override;
  STDMETHODIMP get_yOffset(LONG* value) override;
  STDMETHODIMP put_yOffset(LONG value) override;
  STDMETHODIMP get_ArtType(short* value) override;
  STDMETHODIMP put_ArtType(short value) override;
  STDMETHODIMP get_ArtIndex(LONG* value) override;
  STDMETHODIMP put_ArtIndex(LONG value) override;
  STDMETHODIMP get_ArtColor(short* value) override;
  STDMETHODIMP put_ArtColor(short value) override;
  STDMETHODIMP get_DrawFlags(short* value) override;
  STDMETHODIMP put_DrawFlags(short value) override;
  STDMETHODIMP get_ReadyState(LONG* value) override;
  STDMETHODIMP SetObject(short type, LONG index) override;
  STDMETHODIMP SetOffset(LONG x, LONG y) override;
  STDMETHODIMP yScroll(LONG offset, LONG* result) override;
  STDMETHODIMP xScroll(LONG offset, LONG* result) override;
  STDMETHODIMP Scroll(LONG x, LONG y) override;
  STDMETHODIMP RemovePreviewItems() override;
  STDMETHODIMP RemovePreviewItem(short ID, short x, short y, short z, short color) override;
  STDMETHODIMP RemovePreviewItemAt(LONG index) override;
  STDMETHODIMP AddPreviewItem(short ID, short x, short y, short z, short color, LONG* result) override;
  STDMETHODIMP AddHideStatic(short ID, LONG Block, short x, short y, short z, short color, LONG* result) override;
  STDMETHODIMP RemoveHideStatics() override;
  STDMETHODIMP RemoveHideStaticAt(LONG index) override;
  STDMETHODIMP RemoveHideStatic(short ID, LONG Block, short x, short y, short z, short color) override;
  STDMETHODIMP RedrawControl() override;
  STDMETHODIMP SetMulPath(BSTR pszNewPath) override;
  STDMETHODIMP GetMulPath(BSTR* result) override;
  STDMETHODIMP SetCustomMulFile(short sFileIndex, BSTR pszNewFilePath, VARIANT_BOOL* result) override;
  STDMETHODIMP GetCustomMulPath(short sFileIndex, BSTR* result) override;
  STDMETHODIMP get_BkColor(LONG color, LONG* value) override;
  STDMETHODIMP put_BkColor(LONG color, LONG value) override;

  // IProvideClassInfo2
  STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
  STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR container, LPCOLESTR object) override;
  STDMETHODIMP Close(DWORD saveOption) override;
  STDMETHODIMP SetMoniker(DWORD which, IMoniker* moniker) override;
  STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
  STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) override;
  STDMETHODIMP DoVerb(LONG verb, LPMSG message, IOleClientSite* activeSite, LONG index, HWND parent,
                      LPCRECT position) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
  STDMETHODIMP Update() override;
  STDMETHODIMP IsUpToDate() override;
  STDMETHODIMP GetUserClassID(CLSID* clsid) override;
  STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override;
  STDMETHODIMP Unadvise(DWORD connection) override;
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** advise) override;
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE* palette) override;

  // IOleControl
  STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
  STDMETHODIMP OnMnemonic(MSG* message) override;
  STDMETHODIMP OnAmbientPropertyChange(DISPID dispid) override;
  STDMETHODIMP FreezeEvents(BOOL freeze) override;

  // IOleWindow, of both in-place interfaces
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
  // IOleInPlaceObject
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override;
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
  STDMETHODIMP ReactivateAndUndo() override;
  // IOleInPlaceActiveObject
  STDMETHODIMP TranslateAccelerator(LPMSG message) override;
  STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
  STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
  STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
  STDMETHODIMP EnableModeless(BOOL enable) override;

  // IViewObject2
  STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetInfo, HDC dc,
                    LPCRECTL bounds, LPCRECTL windowBounds, BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR),
                    ULONG_PTR contArgument) override;
  STDMETHODIMP GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetInfo,
                           LOGPALETTE** colors) override;
  STDMETHODIMP Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
  STDMETHODIMP Unfreeze(DWORD freeze) override;
  STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

  // IPersist, of all three persistence interfaces
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  // IPersistStreamInit and IPersistStorage
  STDMETHODIMP IsDirty() override;
  // IPersistStreamInit and IPersistPropertyBag
  STDMETHODIMP InitNew() override;
  // IPersistStreamInit
  STDMETHODIMP Load(LPSTREAM stream) override;
  STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
  // IPersistPropertyBag
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
  STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
  // IPersistStorage
  STDMETHODIMP InitNew(IStorage* storage) override;
  STDMETHODIMP Load(IStorage* storage) override;
  STDMETHODIMP Save(IStorage* storage, BOOL sameAsLoad) override;
  STDMETHODIMP SaveCompleted(IStorage* storage) override;
  STDMETHODIMP HandsOffStorage() override;

  // ISpecifyPropertyPages
  STDMETHODIMP GetPages(CAUUID* pages) override;

  // IObjectSafety
  STDMETHODIMP GetInterfaceSafetyOptions(REFIID riid, DWORD* supported, DWORD* enabled) override;
  STDMETHODIMP SetInterfaceSafetyOptions(REFIID riid, DWORD mask, DWORD enabled) override;

  // The control window's messages (control_window.cpp).
  LRESULT OnWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  ~TilvoControl();

  // TilvoSite: what the core asks of its window.
  void InvalidateControl(bool erase) override;
  std::uint32_t ButtonFaceColor() override;
  void CopyToScreen(const PixelBuffer& pixels, std::int32_t left, std::int32_t top) override;
  void ReadyStateChange(std::int32_t readyState) override;
  void MouseDown(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) override;
  void MouseMove(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) override;
  void MouseUp(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) override;
  // Fires one mouse event to the sinks.
  void FireMouseEvent(DISPID dispid, std::int16_t button, std::int16_t shift, std::int32_t x, std::int32_t y);

  // Paints the picture into dc at bounds (the core's paint entry).
  void PaintInto(HDC dc, const RECT& bounds);
  // Activates the control in its container's window, and for the user too when ui is true.
  HRESULT ActivateInPlace(bool ui);
  // Shows the property page in a frame owned by parent.
  HRESULT ShowProperties(HWND parent);
  // The control's saved state through a core property bag.
  HRESULT LoadFromText(std::string_view text);
  std::string SaveAsText(bool clearDirty);

  LONG references_ = 1;
  ModuleObject moduleObject_;
  EventConnectionPoint events_;

  Microsoft::WRL::ComPtr<IOleClientSite> clientSite_;
  Microsoft::WRL::ComPtr<IOleAdviseHolder> adviseHolder_;
  Microsoft::WRL::ComPtr<IAdviseSink> viewSink_;
  DWORD viewSinkAspects_ = 0;
  DWORD viewSinkFlags_ = 0;
  SIZEL extent_{};            // HIMETRIC
  Microsoft::WRL::ComPtr<IOleInPlaceSite> inPlaceSite_;
  Microsoft::WRL::ComPtr<IOleInPlaceFrame> frame_;
  Microsoft::WRL::ComPtr<IOleInPlaceUIWindow> uiWindow_;
  HWND window_ = nullptr;
  bool uiActive_ = false;
  HDC paintDc_ = nullptr;     // set while a paint runs: the picture goes there
  LONG frozenEvents_ = 0;     // FreezeEvents nesting: events are dropped while frozen
  DWORD safetyEnabled_ = 0;   // the IObjectSafety options a host turned on
  // Made last: its construction already calls the site above.
  std::unique_ptr<CTilvoCtrl> core_;
};

}  // namespace tilvo::ocx
