#pragma once
// What the tests of TILVO.OCX share as a host of the control: the apartment,
// automation values, calls through IDispatch by name, an event sink, running
// programs, notes on what Wine cannot show, and screenshots.

#include <cstdarg>
#include <initializer_list>
#include <string>
#include <vector>

#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

#include "artcontrol/ocx/tilvo_h.h"

namespace tilvo::ocx::testing {

using Microsoft::WRL::ComPtr;

// A VARIANT that clears itself.
class Var {
 public:
  Var() { ::VariantInit(&v_); }
  ~Var() { ::VariantClear(&v_); }
  Var(const Var& other) : Var() { ::VariantCopy(&v_, const_cast<VARIANT*>(&other.v_)); }
  Var& operator=(const Var& other) {
    if (this != &other) ::VariantCopy(&v_, const_cast<VARIANT*>(&other.v_));
    return *this;
  }
  static Var I2(SHORT value);
  static Var I4(LONG value);
  static Var Bool(bool value);
  static Var Text(const wchar_t* value);
  // A reference to target's value (VT_BYREF); target must outlive it.
  static Var Ref(LONG* target);

  VARIANT* get() { return &v_; }
  const VARIANT& operator*() const { return v_; }
  VARTYPE type() const { return V_VT(&v_); }
  // The value as a number or text (converted as Automation converts; 0 or empty when it cannot be).
  LONG Long() const;
  std::wstring Text() const;

 private:
  VARIANT v_;
};

// A new control made by its ProgID "TILVO.TilvoCtrl.1", as hosts make it.
ComPtr<IDispatch> CreateControl();
// The DISPID of a member by name, or DISPID_UNKNOWN.
DISPID IdOf(IDispatch* object, const wchar_t* name);
// Calls member (with flags) with args in declaration order: the result code, the result in *result when given.
HRESULT Call(IDispatch* object, DISPID member, WORD flags, std::initializer_list<Var> args, Var* result = nullptr);
// Reads or writes a property by name; a failure fails the test.
Var GetProperty(IDispatch* object, const wchar_t* name, std::initializer_list<Var> args = {});
void PutProperty(IDispatch* object, const wchar_t* name, const Var& value, std::initializer_list<Var> args = {});
// Calls a method by name; a failure fails the test.
Var CallMethod(IDispatch* object, const wchar_t* name, std::initializer_list<Var> args = {});

// An event sink: answers _DTilvoEvents and IDispatch, and keeps every event heard.
class EventSink final : public IDispatch {
 public:
  struct Event {
    DISPID dispid;
    std::vector<Var> args;  // in declaration order
  };
  static ComPtr<EventSink> Create();

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  STDMETHODIMP Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override;

  // Connects to the control's events: the cookie, or 0 on failure.
  DWORD Connect(IUnknown* control);
  void Disconnect(IUnknown* control, DWORD cookie);

  std::vector<Event> events;

 private:
  EventSink() = default;
  ~EventSink() = default;
  LONG references_ = 1;
};

// A 24-bit top-down DIB section selected into a memory device context.
class DibSection {
 public:
  DibSection(int width, int height, HDC like = nullptr);
  ~DibSection();
  DibSection(const DibSection&) = delete;
  DibSection& operator=(const DibSection&) = delete;
  HDC dc() const { return dc_; }
  // Row y's bytes: blue, green, red per pixel (after GdiFlush).
  const BYTE* Row(int y) const;

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  void* bits_ = nullptr;
  int stride_;
};

// Draws the view into a DIB section of width x height at (0, 0), paints times
// (RedrawControl between them, as tilvo-render's --paints does): the result of the last Draw.
HRESULT DrawView(IViewObject* view, IDispatch* control, const DibSection& dib, int width, int height, int paints = 1);

// Runs a command line, waiting for it to end: its exit code (-1 when it does not start), its output in *output.
int RunProgram(const std::wstring& commandLine, std::string* output = nullptr);
// Dispatches window messages until done() holds or timeoutMs passes; whether it held.
template <class Done>
bool PumpUntil(Done done, DWORD timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  for (;;) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    if (done()) return true;
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
  }
}
// Whether the tests run under Wine rather than Windows.
bool RunningOnWine();
// Prints "[ note ] ..." for what Wine cannot show; the test command collects these lines.
void Note(const char* format, ...);
// Saves the screen's pixels under rect (screen coordinates) as a PNG file; false when it cannot.
bool SaveScreenshot(const RECT& rect, const std::wstring& path);
// The folder the tests keep their screenshots in (KIT_SCREENSHOT_DIR), ending in a backslash.
std::wstring ScreenshotFolder();
// The module under test, as registered (TILVO_OCX_PATH).
std::wstring ModuleUnderTest();
// The synthetic client folder the test command made with tilvo-mkclient (TILVO_TEST_CLIENT).
std::wstring ClientFolder();

}  // namespace tilvo::ocx::testing
