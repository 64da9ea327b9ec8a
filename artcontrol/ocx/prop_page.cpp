#include "artcontrol/ocx/prop_page.h"

#include <string>

#include "artcontrol/ocx/automation_variant.h"
#include "artcontrol/ocx/module.h"
#include "artcontrol/ocx/resource_ids.h"
#include "artcontrol/platform/win32/wide_text.h"

namespace tilvo::ocx {
namespace {

// The page's controls: the first of them (reading) or all (writing), by
// property name through their dispatch interface. A value goes as a 32-bit
// integer; the control's type information converts it to the property's type
// or refuses it (a colour beyond 16 bits overflows).
class DispatchAccess final : public PropertyAccess {
 public:
  explicit DispatchAccess(const std::vector<IDispatch*>& objects) : objects_(objects) {}

  DispResult Get(std::string_view name, std::int32_t& value) override {
    if (objects_.empty()) return DispResult::kMemberNotFound;
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = IdOf(*objects_.front(), name, id);
    VARIANT result;
    ::VariantInit(&result);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    if (SUCCEEDED(hr)) {
      hr = objects_.front()->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result,
                                    nullptr, nullptr);
    }
    Variant converted;
    if (SUCCEEDED(hr) && !FromVariant(result, ArgType::kI4, converted)) hr = DISP_E_TYPEMISMATCH;
    ::VariantClear(&result);
    if (FAILED(hr)) return DispResultOf(hr);
    value = converted.integer;
    return DispResult::kOk;
  }

  DispResult Put(std::string_view name, std::int32_t value) override {
    for (IDispatch* object : objects_) {
      DISPID id = DISPID_UNKNOWN;
      HRESULT hr = IdOf(*object, name, id);
      if (SUCCEEDED(hr)) {
        VARIANT argument;
        ::VariantInit(&argument);
        V_VT(&argument) = VT_I4;
        V_I4(&argument) = value;
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params{&argument, &named, 1, 1};
        hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                            nullptr);
      }
      if (FAILED(hr)) return DispResultOf(hr);
    }
    return DispResult::kOk;
  }

 private:
  static HRESULT IdOf(IDispatch& object, std::string_view name, DISPID& id) {
    std::wstring wide = platform::Utf16FromUtf8(name);
    LPOLESTR names[] = {wide.data()};
    return object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  }

  const std::vector<IDispatch*>& objects_;
};

// The field shown by the dialog control id, or -1.
int FieldOf(int id) {
  const auto fields = PropPageFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  auto* page = reinterpret_cast<TilvoPropPage*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  return page != nullptr ? page->OnDialogMessage(dialog, message, wParam, lParam) : FALSE;
}

std::wstring DialogText(HWND dialog, int id) {
  const HWND control = ::GetDlgItem(dialog, id);
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

HRESULT CreateTilvoPropPage(REFIID riid, void** object) {
  auto* page = new TilvoPropPage();
  const HRESULT hr = page->QueryInterface(riid, object);
  page->Release();
  return hr;
}

TilvoPropPage::~TilvoPropPage() {
  Deactivate();
  ReleaseObjects();
  if (site_ != nullptr) site_->Release();
}

STDMETHODIMP TilvoPropPage::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (riid != IID_IUnknown && riid != IID_IPropertyPage) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  *object = static_cast<IPropertyPage*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) TilvoPropPage::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) TilvoPropPage::Release() {
  const LONG left = ::InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

STDMETHODIMP TilvoPropPage::SetPageSite(IPropertyPageSite* site) {
  if (site != nullptr) site->AddRef();
  if (site_ != nullptr) site_->Release();
  site_ = site;
  return S_OK;
}

STDMETHODIMP TilvoPropPage::Activate(HWND parent, LPCRECT rect, BOOL) {
  if (dialog_ != nullptr) return E_UNEXPECTED;
  dialog_ = ::CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_PROPPAGE), parent, DialogProcedure,
                                 reinterpret_cast<LPARAM>(this));
  if (dialog_ == nullptr) return E_FAIL;
  if (rect != nullptr) Move(rect);
  Fill();
  return S_OK;
}

STDMETHODIMP TilvoPropPage::Deactivate() {
  if (dialog_ == nullptr) return S_OK;
  const HWND dialog = dialog_;
  dialog_ = nullptr;
  ::DestroyWindow(dialog);
  return S_OK;
}

STDMETHODIMP TilvoPropPage::GetPageInfo(PROPPAGEINFO* info) {
  if (info == nullptr) return E_POINTER;
  // The dialog's size in pixels is what its template's dialog units come to in its font.
  const HWND measure = ::CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_PROPPAGE), ::GetDesktopWindow(),
                                            DialogProcedure, 0);
  if (measure == nullptr) return E_FAIL;
  RECT size{};
  ::GetWindowRect(measure, &size);
  ::DestroyWindow(measure);
  info->cb = sizeof *info;
  info->pszTitle = TaskMemText(ModuleString(IDS_PROPPAGE_CAPTION));
  info->size = {size.right - size.left, size.bottom - size.top};
  info->pszDocString = nullptr;
  info->pszHelpFile = nullptr;
  info->dwHelpContext = 0;
  return info->pszTitle != nullptr ? S_OK : E_OUTOFMEMORY;
}

void TilvoPropPage::ReleaseObjects() {
  for (IDispatch* object : objects_) object->Release();
  objects_.clear();
}

STDMETHODIMP TilvoPropPage::SetObjects(ULONG count, IUnknown** objects) {
  if (count > 0 && objects == nullptr) return E_POINTER;
  ReleaseObjects();
  for (ULONG i = 0; i < count; ++i) {
    IDispatch* dispatch = nullptr;
    if (objects[i] != nullptr &&
        SUCCEEDED(objects[i]->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
      objects_.push_back(dispatch);
    }
  }
  if (count > 0 && objects_.empty()) return E_NOINTERFACE;
  if (dialog_ != nullptr) Fill();
  return S_OK;
}

STDMETHODIMP TilvoPropPage::Show(UINT show) {
  if (dialog_ == nullptr) return E_UNEXPECTED;
  ::ShowWindow(dialog_, static_cast<int>(show));
  return S_OK;
}

STDMETHODIMP TilvoPropPage::Move(LPCRECT rect) {
  if (rect == nullptr) return E_POINTER;
  if (dialog_ == nullptr) return E_UNEXPECTED;
  ::MoveWindow(dialog_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
  return S_OK;
}

STDMETHODIMP TilvoPropPage::IsPageDirty() {
  for (std::size_t i = 0; i < TilvoPropPageCore::kFieldCount; ++i) {
    if (typed_[i] || core_.IsChanged(i)) return S_OK;
  }
  return S_FALSE;
}

STDMETHODIMP TilvoPropPage::Apply() {
  const auto fields = PropPageFields();
  const std::wstring caption = ModuleString(IDS_PROPPAGE_CAPTION);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (!typed_[i] || dialog_ == nullptr) continue;
    std::int32_t value = 0;
    if (!ParsePageNumber(platform::Utf8FromUtf16(DialogText(dialog_, fields[i].id)), value)) {
      const HWND edit = ::GetDlgItem(dialog_, fields[i].id);
      ::MessageBoxW(dialog_, platform::Utf16FromUtf8(kNotANumberText).c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
      ::SetFocus(edit);
      ::SendMessageW(edit, EM_SETSEL, 0, -1);
      return E_FAIL;
    }
    core_.SetValue(i, value);
    typed_[i] = false;
  }
  DispatchAccess access(objects_);
  if (core_.WriteTo(access) != DispResult::kOk) {
    if (dialog_ != nullptr) {
      ::MessageBoxW(dialog_, platform::Utf16FromUtf8(kRefusedValueText).c_str(), caption.c_str(),
                    MB_OK | MB_ICONWARNING);
    }
    return E_FAIL;
  }
  return S_OK;
}

STDMETHODIMP TilvoPropPage::Help(LPCOLESTR) { return E_NOTIMPL; }

STDMETHODIMP TilvoPropPage::TranslateAccelerator(MSG* message) {
  if (message == nullptr) return E_POINTER;
  return dialog_ != nullptr && ::IsDialogMessageW(dialog_, message) ? S_OK : S_FALSE;
}

void TilvoPropPage::Fill() {
  DispatchAccess access(objects_);
  if (core_.ReadFrom(access) != DispResult::kOk) return;
  filling_ = true;
  const auto fields = PropPageFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].kind == PageControlKind::kDropDownList) {
      ::SendDlgItemMessageW(dialog_, fields[i].id, CB_SETCURSEL, static_cast<WPARAM>(core_.Value(i)), 0);
    } else {
      ::SetDlgItemTextW(dialog_, fields[i].id, std::to_wstring(core_.Value(i)).c_str());
    }
  }
  filling_ = false;
  typed_ = {};
}

void TilvoPropPage::MarkDirty() {
  if (site_ != nullptr) site_->OnStatusChange(PROPPAGESTATUS_DIRTY);
}

INT_PTR TilvoPropPage::OnDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      // The list's positions are the ArtType values.
      for (std::string_view name : ArtTypeNames()) {
        ::SendDlgItemMessageW(dialog, IDC_ART_TYPE, CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(platform::Utf16FromUtf8(name).c_str()));
      }
      return TRUE;
    case WM_COMMAND: {
      const int field = FieldOf(LOWORD(wParam));
      if (field < 0 || filling_) return FALSE;
      if (HIWORD(wParam) == CBN_SELCHANGE) {
        core_.SetValue(static_cast<std::size_t>(field),
                       static_cast<std::int32_t>(::SendDlgItemMessageW(dialog, LOWORD(wParam), CB_GETCURSEL, 0, 0)));
        MarkDirty();
      } else if (HIWORD(wParam) == EN_CHANGE) {
        typed_[static_cast<std::size_t>(field)] = true;
        MarkDirty();
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace tilvo::ocx
