// The control as an OLE object and control: its client site, verbs, extent,
// status and advise holder; ambient changes and frozen events; its property
// page list; the safety it declares.
#include "artcontrol/ocx/control.h"

#include <vector>

#include "artcontrol/ocx/enumerator.h"
#include "artcontrol/ocx/module.h"
#include "artcontrol/ocx/resource_ids.h"
#include "artcontrol/platform/win32/wide_text.h"
#include "tilvo/verbs.h"

namespace tilvo::ocx {
namespace {

static_assert(OLEIVERB_PRIMARY == kVerbEdit && OLEIVERB_PROPERTIES == kVerbProperties);

struct StoredVerb {
  LONG number;
  std::wstring text;
};

void ProduceVerb(const StoredVerb& stored, OLEVERB* item) {
  item->lVerb = stored.number;
  item->lpszVerbName = TaskMemText(stored.text);
  item->fuFlags = MF_STRING;
  item->grfAttribs = OLEVERBATTRIB_ONCONTAINERMENU;
}

// The safety each interface offers, as the control's two component
// categories declare it: scripting through the dispatch interface, and
// initialising from persisted data.
struct SafetyRow {
  const IID* iid;
  DWORD options;
};
const SafetyRow kSafety[] = {
    {&IID_IDispatch, INTERFACESAFE_FOR_UNTRUSTED_CALLER},
    {&DIID__DTilvo, INTERFACESAFE_FOR_UNTRUSTED_CALLER},
    {&IID_IPersistPropertyBag, INTERFACESAFE_FOR_UNTRUSTED_DATA},
    {&IID_IPersistStreamInit, INTERFACESAFE_FOR_UNTRUSTED_DATA},
    {&IID_IPersistStorage, INTERFACESAFE_FOR_UNTRUSTED_DATA},
};

const SafetyRow* FindSafety(REFIID riid) {
  for (const SafetyRow& row : kSafety) {
    if (riid == *row.iid) return &row;
  }
  return nullptr;
}

}  // namespace

STDMETHODIMP TilvoControl::SetClientSite(IOleClientSite* site) {
  clientSite_ = site;
  return S_OK;
}

STDMETHODIMP TilvoControl::GetClientSite(IOleClientSite** site) {
  if (site == nullptr) return E_POINTER;
  *site = nullptr;
  if (clientSite_) clientSite_.CopyTo(site);
  return S_OK;
}

STDMETHODIMP TilvoControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP TilvoControl::Close(DWORD saveOption) {
  InPlaceDeactivate();
  // The control has no way to ask the user, so a prompt saves as "if dirty" does.
  if (saveOption != OLECLOSE_NOSAVE && core_->IsModified() && clientSite_) clientSite_->SaveObject();
  if (adviseHolder_) adviseHolder_->SendOnClose();
  return S_OK;
}

STDMETHODIMP TilvoControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

STDMETHODIMP TilvoControl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker != nullptr) *moniker = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP TilvoControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

STDMETHODIMP TilvoControl::GetClipboardData(DWORD, IDataObject** data) {
  if (data != nullptr) *data = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP TilvoControl::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND parent, LPCRECT) {
  if (!clientSite_ && activeSite != nullptr) SetClientSite(activeSite);
  switch (verb) {
    case OLEIVERB_PRIMARY:  // Edit: the control takes the user's input
    case OLEIVERB_UIACTIVATE:
      return ActivateInPlace(true);
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
      return ActivateInPlace(false);
    case OLEIVERB_HIDE:
      UIDeactivate();
      if (window_ != nullptr) ::ShowWindow(window_, SW_HIDE);
      return S_OK;
    case OLEIVERB_PROPERTIES:
      return ShowProperties(parent);
    case OLEIVERB_DISCARDUNDOSTATE:
      return S_OK;
    default:
      break;
  }
  if (verb < 0) return E_NOTIMPL;
  // A verb the control does not list runs its primary verb, as OLE asks.
  const HRESULT hr = ActivateInPlace(true);
  return FAILED(hr) ? hr : OLEOBJ_S_INVALIDVERB;
}

STDMETHODIMP TilvoControl::EnumVerbs(IEnumOLEVERB** verbs) {
  if (verbs == nullptr) return E_POINTER;
  std::vector<StoredVerb> list;
  for (const Verb& verb : ControlVerbs()) list.push_back({verb.number, platform::Utf16FromUtf8(verb.menuText)});
  *verbs = Enumerator<IEnumOLEVERB, OLEVERB, StoredVerb>::Create(IID_IEnumOLEVERB, std::move(list), ProduceVerb);
  return S_OK;
}

STDMETHODIMP TilvoControl::Update() { return S_OK; }

STDMETHODIMP TilvoControl::IsUpToDate() { return S_OK; }

STDMETHODIMP TilvoControl::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

STDMETHODIMP TilvoControl::GetUserType(DWORD, LPOLESTR* type) {
  if (type == nullptr) return E_POINTER;
  *type = TaskMemText(ModuleString(IDS_TILVO_CONTROL));
  return *type != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP TilvoControl::SetExtent(DWORD aspect, SIZEL* size) {
  if (size == nullptr) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  extent_ = *size;
  return S_OK;
}

STDMETHODIMP TilvoControl::GetExtent(DWORD aspect, SIZEL* size) {
  if (size == nullptr) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
}

STDMETHODIMP TilvoControl::Advise(IAdviseSink* sink, DWORD* connection) {
  if (!adviseHolder_) {
    const HRESULT hr = ::CreateOleAdviseHolder(adviseHolder_.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
  }
  return adviseHolder_->Advise(sink, connection);
}

STDMETHODIMP TilvoControl::Unadvise(DWORD connection) {
  if (!adviseHolder_) return OLE_E_NOCONNECTION;
  return adviseHolder_->Unadvise(connection);
}

STDMETHODIMP TilvoControl::EnumAdvise(IEnumSTATDATA** advise) {
  if (advise == nullptr) return E_POINTER;
  *advise = nullptr;
  if (!adviseHolder_) return S_OK;
  return adviseHolder_->EnumAdvise(advise);
}

STDMETHODIMP TilvoControl::GetMiscStatus(DWORD, DWORD* status) {
  if (status == nullptr) return E_POINTER;
  *status = kMiscStatus;
  return S_OK;
}

STDMETHODIMP TilvoControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

STDMETHODIMP TilvoControl::GetControlInfo(CONTROLINFO* info) {
  if (info == nullptr) return E_POINTER;
  // No mnemonics: the control takes no keys of its own.
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

STDMETHODIMP TilvoControl::OnMnemonic(MSG*) { return E_NOTIMPL; }

STDMETHODIMP TilvoControl::OnAmbientPropertyChange(DISPID dispid) {
  core_->OnAmbientPropertyChange(dispid);
  return S_OK;
}

STDMETHODIMP TilvoControl::FreezeEvents(BOOL freeze) {
  if (freeze) {
    ++frozenEvents_;
  } else if (frozenEvents_ > 0) {
    --frozenEvents_;
  }
  return S_OK;
}

HRESULT TilvoControl::ShowProperties(HWND parent) {
  // A container may show the page itself, with its own properties beside ours.
  Microsoft::WRL::ComPtr<IOleControlSite> controlSite;
  if (clientSite_ &&
      SUCCEEDED(clientSite_->QueryInterface(IID_IOleControlSite, reinterpret_cast<void**>(controlSite.GetAddressOf()))) &&
      controlSite->ShowPropertyFrame() == S_OK) {
    return S_OK;
  }
  if (parent == nullptr && inPlaceSite_) inPlaceSite_->GetWindow(&parent);
  IUnknown* self = static_cast<ITilvoMembers*>(this);
  CLSID page = CLSID_CTilvoPropPage;
  const std::wstring caption = ModuleString(IDS_TILVO_CONTROL);
  return ::OleCreatePropertyFrame(parent, 0, 0, caption.c_str(), 1, &self, 1, &page, LOCALE_USER_DEFAULT, 0,
                                  nullptr);
}

STDMETHODIMP TilvoControl::GetPages(CAUUID* pages) {
  if (pages == nullptr) return E_POINTER;
  pages->pElems = static_cast<GUID*>(::CoTaskMemAlloc(sizeof(GUID)));
  if (pages->pElems == nullptr) {
    pages->cElems = 0;
    return E_OUTOFMEMORY;
  }
  pages->cElems = 1;
  pages->pElems[0] = CLSID_CTilvoPropPage;
  return S_OK;
}

STDMETHODIMP TilvoControl::GetInterfaceSafetyOptions(REFIID riid, DWORD* supported, DWORD* enabled) {
  if (supported == nullptr || enabled == nullptr) return E_POINTER;
  *supported = *enabled = 0;
  if (const SafetyRow* row = FindSafety(riid)) {
    *supported = row->options;
    *enabled = safetyEnabled_ & row->options;
    return S_OK;
  }
  // Another interface of the control is safe for nothing; one it lacks is unknown.
  void* other = nullptr;
  if (FAILED(QueryInterface(riid, &other))) return E_NOINTERFACE;
  static_cast<IUnknown*>(other)->Release();
  return S_OK;
}

STDMETHODIMP TilvoControl::SetInterfaceSafetyOptions(REFIID riid, DWORD mask, DWORD enabled) {
  const SafetyRow* row = FindSafety(riid);
  if (row == nullptr) {
    void* other = nullptr;
    if (FAILED(QueryInterface(riid, &other))) return E_NOINTERFACE;
    static_cast<IUnknown*>(other)->Release();
    return (mask & enabled) == 0 ? S_OK : E_FAIL;
  }
  if ((mask & enabled & ~row->options) != 0) return E_FAIL;
  // Each interface turns on or off only the safety it offers.
  const DWORD own = mask & row->options;
  safetyEnabled_ = (safetyEnabled_ & ~own) | (enabled & own);
  return S_OK;
}

}  // namespace tilvo::ocx
