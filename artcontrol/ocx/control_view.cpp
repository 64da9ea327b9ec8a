// The control as a view its container draws: Draw runs the core's paint
// entry into the container's device context, and the view's advise sink
// hears when the picture changes while the control has no window.
#include "artcontrol/ocx/control.h"

namespace tilvo::ocx {

STDMETHODIMP TilvoControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                                BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  // A printed page shows the content as the screen does.
  if (aspect != DVASPECT_CONTENT && aspect != DVASPECT_DOCPRINT) return DV_E_DVASPECT;
  if (dc == nullptr || bounds == nullptr) return E_INVALIDARG;
  PaintInto(dc, {bounds->left, bounds->top, bounds->right, bounds->bottom});
  return S_OK;
}

STDMETHODIMP TilvoControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
  if (colors != nullptr) *colors = nullptr;
  // The picture is 24-bit: it asks for no palette.
  return S_FALSE;
}

STDMETHODIMP TilvoControl::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }

STDMETHODIMP TilvoControl::Unfreeze(DWORD) { return E_NOTIMPL; }

STDMETHODIMP TilvoControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  viewSink_ = sink;
  viewSinkAspects_ = aspects;
  viewSinkFlags_ = flags;
  return S_OK;
}

STDMETHODIMP TilvoControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects != nullptr) *aspects = viewSinkAspects_;
  if (flags != nullptr) *flags = viewSinkFlags_;
  if (sink != nullptr) {
    *sink = nullptr;
    if (viewSink_) viewSink_.CopyTo(sink);
  }
  return S_OK;
}

STDMETHODIMP TilvoControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  if (size == nullptr) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
}

}  // namespace tilvo::ocx
