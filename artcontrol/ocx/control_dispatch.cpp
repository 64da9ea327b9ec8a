// The control's dispatch interface. IDispatch hands every call to the type
// information of ITilvoMembers, which looks the member up, checks and
// converts the arguments as Automation does (text to numbers, a short where
// a long is declared, by-reference arguments, named arguments) with
// Automation's error codes, and then calls the vtable methods below; these
// only translate to the core.
#include "artcontrol/ocx/control.h"

#include <wrl/client.h>

#include "artcontrol/ocx/module.h"

using Microsoft::WRL::ComPtr;

namespace tilvo::ocx {
namespace {

template <class T, class V>
HRESULT Out(T* out, V value) {
  if (out == nullptr) return E_POINTER;
  *out = static_cast<T>(value);
  return S_OK;
}

// Whether a call passes more arguments than the member takes that way
// (its parameters without the result). Automation refuses such a call; the
// type information of some systems (Wine's) lets it through, so the control
// refuses it first.
bool TooManyArguments(ITypeInfo& info, DISPID member, WORD flags, const DISPPARAMS* params) {
  if (params == nullptr) return false;
  TYPEATTR* attr = nullptr;
  if (FAILED(info.GetTypeAttr(&attr))) return false;
  const WORD functions = attr->cFuncs;
  info.ReleaseTypeAttr(attr);
  for (UINT i = 0; i < functions; ++i) {
    FUNCDESC* f = nullptr;
    if (FAILED(info.GetFuncDesc(i, &f))) continue;
    UINT declared = 0;
    const bool matches = f->memid == member && (f->invkind & flags) != 0;
    for (SHORT p = 0; matches && p < f->cParams; ++p) {
      if ((f->lprgelemdescParam[p].paramdesc.wParamFlags & PARAMFLAG_FRETVAL) == 0) ++declared;
    }
    info.ReleaseFuncDesc(f);
    if (matches) return params->cArgs > declared;
  }
  return false;
}

}  // namespace

STDMETHODIMP TilvoControl::GetTypeInfoCount(UINT* count) { return Out(count, 1); }

STDMETHODIMP TilvoControl::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  // Hosts see the dispatch interface they bind to.
  return ModuleTypeInfo(DIID__DTilvo, info);
}

STDMETHODIMP TilvoControl::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  ComPtr<ITypeInfo> info;
  const HRESULT hr = ModuleTypeInfo(DIID__DTilvo, &info);
  if (FAILED(hr)) return hr;
  return info->GetIDsOfNames(names, count, ids);
}

STDMETHODIMP TilvoControl::Invoke(DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                  VARIANT* result, EXCEPINFO* exception, UINT* argument) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  ComPtr<ITypeInfo> info;
  const HRESULT hr = ModuleTypeInfo(IID_ITilvoMembers, &info);
  if (FAILED(hr)) return hr;
  if (TooManyArguments(*info.Get(), member, flags, params)) return DISP_E_BADPARAMCOUNT;
  // A handler of an event this call raises may release the control.
  AddRef();
  const HRESULT invoked =
      info->Invoke(static_cast<ITilvoMembers*>(this), member, flags, params, result, exception, argument);
  Release();
  return invoked;
}

STDMETHODIMP TilvoControl::get_xOffset(LONG* value) { return Out(value, core_->GetxOffset()); }

STDMETHODIMP TilvoControl::put_xOffset(LONG value) {
  core_->SetxOffset(value);
  return S_OK;
}

STDMETHODIMP TilvoControl::get_yOffset(LONG* value) { return Out(value, core_->GetyOffset()); }

STDMETHODIMP TilvoControl::put_yOffset(LONG value) {
  core_->SetyOffset(value);
  return S_OK;
}

STDMETHODIMP TilvoControl::get_ArtType(short* value) { return Out(value, core_->GetArtType()); }

STDMETHODIMP TilvoControl::put_ArtType(short value) {
  core_->SetArtType(value);
  return S_OK;
}

STDMETHODIMP TilvoControl::get_ArtIndex(LONG* value) { return Out(value, core_->GetArtIndex()); }

STDMETHODIMP TilvoControl::put_ArtIndex(LONG value) {
  core_->SetArtIndex(value);
  return S_OK;
}

STDMETHODIMP TilvoControl::get_ArtColor(short* value) { return Out(value, core_->GetArtColor()); }

STDMETHODIMP TilvoControl::put_ArtColor(short value) {
  core_->SetArtColor(value);
  return S_OK;
}

STDMETHODIMP TilvoControl::get_DrawFlags(short* value) { return Out(value, core_->GetDrawFlags()); }

STDMETHODIMP TilvoControl::put_DrawFlags(short value) {
  core_->SetDrawFlags(value);
  return S_OK;
}

STDMETHODIMP TilvoControl::get_ReadyState(LONG* value) { return Out(value, core_->GetReadyState()); }

STDMETHODIMP TilvoControl::SetObject(short type, LONG index) {
  core_->SetObject(type, index);
  return S_OK;
}

STDMETHODIMP TilvoControl::SetOffset(LONG x, LONG y) {
  core_->SetOffset(x, y);
  return S_OK;
}

STDMETHODIMP TilvoControl::yScroll(LONG offset, LONG* result) {
  if (result == nullptr) return E_POINTER;
  return Out(result, core_->yScroll(offset));
}

STDMETHODIMP TilvoControl::xScroll(LONG offset, LONG* result) {
  if (result == nullptr) return E_POINTER;
  return Out(result, core_->xScroll(offset));
}

STDMETHODIMP TilvoControl::Scroll(LONG x, LONG y) {
  core_->Scroll(x, y);
  return S_OK;
}

STDMETHODIMP TilvoControl::RemovePreviewItems() {
  core_->RemovePreviewItems();
  return S_OK;
}

STDMETHODIMP TilvoControl::RemovePreviewItem(short ID, short x, short y, short z, short color) {
  core_->RemovePreviewItem(ID, x, y, z, color);
  return S_OK;
}

STDMETHODIMP TilvoControl::RemovePreviewItemAt(LONG index) {
  core_->RemovePreviewItemAt(index);
  return S_OK;
}

STDMETHODIMP TilvoControl::AddPreviewItem(short ID, short x, short y, short z, short color, LONG* result) {
  if (result == nullptr) return E_POINTER;
  return Out(result, core_->AddPreviewItem(ID, x, y, z, color));
}

STDMETHODIMP TilvoControl::AddHideStatic(short ID, LONG Block, short x, short y, short z, short color,
                                         LONG* result) {
  if (result == nullptr) return E_POINTER;
  return Out(result, core_->AddHideStatic(ID, Block, x, y, z, color));
}

STDMETHODIMP TilvoControl::RemoveHideStatics() {
  core_->RemoveHideStatics();
  return S_OK;
}

STDMETHODIMP TilvoControl::RemoveHideStaticAt(LONG index) {
  core_->RemoveHideStaticAt(index);
  return S_OK;
}

STDMETHODIMP TilvoControl::RemoveHideStatic(short ID, LONG Block, short x, short y, short z, short color) {
  core_->RemoveHideStatic(ID, Block, x, y, z, color);
  return S_OK;
}

STDMETHODIMP TilvoControl::RedrawControl() {
  core_->RedrawControl();
  return S_OK;
}

STDMETHODIMP TilvoControl::SetMulPath(BSTR pszNewPath) {
  core_->SetMulPath(Utf8Text(pszNewPath));
  return S_OK;
}

STDMETHODIMP TilvoControl::GetMulPath(BSTR* result) {
  if (result == nullptr) return E_POINTER;
  *result = AutomationText(core_->GetMulPath());
  return S_OK;
}

STDMETHODIMP TilvoControl::SetCustomMulFile(short sFileIndex, BSTR pszNewFilePath, VARIANT_BOOL* result) {
  if (result == nullptr) return E_POINTER;
  *result = core_->SetCustomMulFile(sFileIndex, Utf8Text(pszNewFilePath)) ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP TilvoControl::GetCustomMulPath(short sFileIndex, BSTR* result) {
  if (result == nullptr) return E_POINTER;
  *result = AutomationText(core_->GetCustomMulPath(sFileIndex));
  return S_OK;
}

STDMETHODIMP TilvoControl::get_BkColor(LONG color, LONG* value) { return Out(value, core_->GetBkColor(color)); }

STDMETHODIMP TilvoControl::put_BkColor(LONG color, LONG value) {
  core_->SetBkColor(color, value);
  return S_OK;
}

}  // namespace tilvo::ocx
