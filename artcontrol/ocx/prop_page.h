#pragma once
// The property page CTilvoPropPage as a real IPropertyPage: dialog 200 of
// the module's resources, filled from the first of its controls and applied
// to all of them through their dispatch interface by property name. The
// page's copies and their exchange are the shared core's
// (TilvoPropPageCore); this object only wires the dialog to them.

#include <array>
#include <vector>

#include <windows.h>
#include <ocidl.h>

#include "tilvo/prop_page.h"

namespace tilvo::ocx {

// Creates a page for interface riid: S_OK with *object counted, or E_NOINTERFACE.
HRESULT CreateTilvoPropPage(REFIID riid, void** object);

class TilvoPropPage final : public IPropertyPage {
 public:
  TilvoPropPage() = default;
  TilvoPropPage(const TilvoPropPage&) = delete;
  TilvoPropPage& operator=(const TilvoPropPage&) = delete;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IPropertyPage
  STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
  STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
  STDMETHODIMP Deactivate() override;
  STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
  STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
  STDMETHODIMP Show(UINT show) override;
  STDMETHODIMP Move(LPCRECT rect) override;
  STDMETHODIMP IsPageDirty() override;
  STDMETHODIMP Apply() override;
  STDMETHODIMP Help(LPCOLESTR helpDir) override;
  STDMETHODIMP TranslateAccelerator(MSG* message) override;

  // The dialog's messages.
  INT_PTR OnDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  ~TilvoPropPage();
  // Reads the first control into the copies and shows them.
  void Fill();
  // The user changed something: the frame may offer Apply.
  void MarkDirty();
  void ReleaseObjects();

  LONG references_ = 1;
  TilvoPropPageCore core_;
  IPropertyPageSite* site_ = nullptr;
  std::vector<IDispatch*> objects_;  // counted
  HWND dialog_ = nullptr;
  bool filling_ = false;  // the page itself is writing the edit boxes
  std::array<bool, TilvoPropPageCore::kFieldCount> typed_{};  // an edit box changed by the user, not yet read
};

}  // namespace tilvo::ocx
