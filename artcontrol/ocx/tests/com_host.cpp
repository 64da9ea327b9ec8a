#include "com_host.h"

#include <gtest/gtest.h>

#include <cstdio>

#include <wincodec.h>

namespace tilvo::ocx::testing {

Var Var::I2(SHORT value) {
  Var v;
  V_VT(&v.v_) = VT_I2;
  V_I2(&v.v_) = value;
  return v;
}

Var Var::I4(LONG value) {
  Var v;
  V_VT(&v.v_) = VT_I4;
  V_I4(&v.v_) = value;
  return v;
}

Var Var::Bool(bool value) {
  Var v;
  V_VT(&v.v_) = VT_BOOL;
  V_BOOL(&v.v_) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

Var Var::Text(const wchar_t* value) {
  Var v;
  V_VT(&v.v_) = VT_BSTR;
  V_BSTR(&v.v_) = ::SysAllocString(value);
  return v;
}

Var Var::Ref(LONG* target) {
  Var v;
  V_VT(&v.v_) = VT_BYREF | VT_I4;
  V_I4REF(&v.v_) = target;
  return v;
}

LONG Var::Long() const {
  VARIANT converted;
  ::VariantInit(&converted);
  if (FAILED(::VariantChangeType(&converted, const_cast<VARIANT*>(&v_), 0, VT_I4))) return 0;
  return V_I4(&converted);
}

std::wstring Var::Text() const {
  if (V_VT(&v_) == VT_BSTR) return V_BSTR(&v_) ? std::wstring(V_BSTR(&v_), ::SysStringLen(V_BSTR(&v_))) : L"";
  VARIANT converted;
  ::VariantInit(&converted);
  if (FAILED(::VariantChangeType(&converted, const_cast<VARIANT*>(&v_), 0, VT_BSTR))) return {};
  std::wstring text(V_BSTR(&converted), ::SysStringLen(V_BSTR(&converted)));
  ::VariantClear(&converted);
  return text;
}

ComPtr<IDispatch> CreateControl() {
  CLSID clsid{};
  EXPECT_EQ(::CLSIDFromProgID(L"TILVO.TilvoCtrl.1", &clsid), S_OK);
  EXPECT_TRUE(::IsEqualCLSID(clsid, CLSID_Tilvo));
  ComPtr<IDispatch> control;
  EXPECT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(control.GetAddressOf())),
            S_OK);
  return control;
}

DISPID IdOf(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  return id;
}

HRESULT Call(IDispatch* object, DISPID member, WORD flags, std::initializer_list<Var> args, Var* result) {
  // DISPPARAMS hold the arguments last first; a put names its value.
  std::vector<VARIANT> reversed;
  for (auto it = args.end(); it != args.begin();) reversed.push_back(**--it);
  DISPID named = DISPID_PROPERTYPUT;
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  DISPPARAMS params{reversed.data(), put ? &named : nullptr, static_cast<UINT>(reversed.size()), put ? 1u : 0u};
  EXCEPINFO exception{};
  UINT argument = 0;
  return object->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result ? result->get() : nullptr,
                        &exception, &argument);
}

Var GetProperty(IDispatch* object, const wchar_t* name, std::initializer_list<Var> args) {
  Var result;
  EXPECT_EQ(Call(object, IdOf(object, name), DISPATCH_PROPERTYGET, args, &result), S_OK) << "get";
  return result;
}

void PutProperty(IDispatch* object, const wchar_t* name, const Var& value, std::initializer_list<Var> args) {
  std::vector<Var> all(args);
  all.push_back(value);
  std::vector<VARIANT> reversed;
  for (auto it = all.rbegin(); it != all.rend(); ++it) reversed.push_back(**it);
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed.data(), &named, static_cast<UINT>(reversed.size()), 1};
  EXPECT_EQ(object->Invoke(IdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                           nullptr, nullptr),
            S_OK)
      << "put";
}

Var CallMethod(IDispatch* object, const wchar_t* name, std::initializer_list<Var> args) {
  Var result;
  EXPECT_EQ(Call(object, IdOf(object, name), DISPATCH_METHOD, args, &result), S_OK) << "call";
  return result;
}

ComPtr<EventSink> EventSink::Create() {
  ComPtr<EventSink> sink;
  sink.Attach(new EventSink());
  return sink;
}

STDMETHODIMP EventSink::QueryInterface(REFIID riid, void** object) {
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == DIID__DTilvoEvents) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) EventSink::AddRef() { return static_cast<ULONG>(++references_); }

STDMETHODIMP_(ULONG) EventSink::Release() {
  const LONG left = --references_;
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

STDMETHODIMP EventSink::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

STDMETHODIMP EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  *info = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP EventSink::Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
  Event event{member, {}};
  for (UINT i = params->cArgs; i-- > 0;) {
    Var arg;
    ::VariantCopy(arg.get(), &params->rgvarg[i]);
    event.args.push_back(arg);
  }
  events.push_back(std::move(event));
  return S_OK;
}

DWORD EventSink::Connect(IUnknown* control) {
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> point;
  DWORD cookie = 0;
  if (FAILED(control->QueryInterface(IID_IConnectionPointContainer,
                                     reinterpret_cast<void**>(container.GetAddressOf()))) ||
      FAILED(container->FindConnectionPoint(DIID__DTilvoEvents, &point)) ||
      FAILED(point->Advise(static_cast<IDispatch*>(this), &cookie))) {
    return 0;
  }
  return cookie;
}

void EventSink::Disconnect(IUnknown* control, DWORD cookie) {
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> point;
  if (SUCCEEDED(control->QueryInterface(IID_IConnectionPointContainer,
                                        reinterpret_cast<void**>(container.GetAddressOf()))) &&
      SUCCEEDED(container->FindConnectionPoint(DIID__DTilvoEvents, &point))) {
    point->Unadvise(cookie);
  }
}

int RunProgram(const std::wstring& commandLine, std::string* output) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  if (!::CreatePipe(&read, &write, &inherit, 0)) return -1;
  ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write;
  startup.hStdError = write;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  std::wstring line = commandLine;
  const BOOL started =
      ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                       &process);
  ::CloseHandle(write);
  if (!started) {
    ::CloseHandle(read);
    return -1;
  }
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    if (output != nullptr) output->append(buffer, got);
  }
  ::CloseHandle(read);
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hProcess);
  ::CloseHandle(process.hThread);
  return static_cast<int>(code);
}

bool RunningOnWine() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

void Note(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::printf("[ note ] ");
  std::vprintf(format, args);
  std::printf("\n");
  std::fflush(stdout);
  va_end(args);
}

DibSection::DibSection(int width, int height, HDC like)
    : dc_(::CreateCompatibleDC(like)), stride_((width * 3 + 3) & ~3) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
  old_ = ::SelectObject(dc_, bitmap_);
}

DibSection::~DibSection() {
  ::SelectObject(dc_, old_);
  ::DeleteObject(bitmap_);
  ::DeleteDC(dc_);
}

const BYTE* DibSection::Row(int y) const { return static_cast<const BYTE*>(bits_) + y * stride_; }

HRESULT DrawView(IViewObject* view, IDispatch* control, const DibSection& dib, int width, int height, int paints) {
  const RECTL bounds{0, 0, width, height};
  HRESULT hr = E_FAIL;
  for (int i = 0; i < paints; ++i) {
    if (i > 0) CallMethod(control, L"RedrawControl");
    hr = view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dib.dc(), &bounds, nullptr, nullptr, 0);
  }
  ::GdiFlush();
  return hr;
}

bool SaveScreenshot(const RECT& rect, const std::wstring& path) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  const HDC screen = ::GetDC(nullptr);
  const DibSection dib(width, height, screen);
  const bool copied = ::BitBlt(dib.dc(), 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != 0;
  ::ReleaseDC(nullptr, screen);
  ::GdiFlush();
  const UINT stride = (static_cast<UINT>(width) * 3 + 3) & ~3u;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  return copied &&
         SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(factory.GetAddressOf()))) &&
         SUCCEEDED(factory->CreateStream(&stream)) &&
         SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
         SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
         SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
         SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
         SUCCEEDED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))) &&
         SUCCEEDED(frame->SetPixelFormat(&format)) && format == GUID_WICPixelFormat24bppBGR &&
         SUCCEEDED(frame->WritePixels(static_cast<UINT>(height), stride, stride * static_cast<UINT>(height),
                                      const_cast<BYTE*>(dib.Row(0)))) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

std::wstring ScreenshotFolder() {
  wchar_t folder[MAX_PATH] = L"";
  if (::GetEnvironmentVariableW(L"KIT_SCREENSHOT_DIR", folder, MAX_PATH) == 0) ::GetCurrentDirectoryW(MAX_PATH, folder);
  std::wstring text(folder);
  for (wchar_t& c : text) c = c == L'/' ? L'\\' : c;
  if (!text.empty() && text.back() != L'\\') text += L'\\';
  return text;
}

std::wstring ClientFolder() {
  wchar_t folder[MAX_PATH] = L"";
  ::GetEnvironmentVariableW(L"TILVO_TEST_CLIENT", folder, MAX_PATH);
  return folder;
}

std::wstring ModuleUnderTest() {
  const std::string path = TILVO_OCX_PATH;
  return std::wstring(path.begin(), path.end());
}

}  // namespace tilvo::ocx::testing

namespace {

// Every test process is an OLE apartment, as a host's window thread is.
class OleApartment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_EQ(::OleInitialize(nullptr), S_OK); }
  void TearDown() override { ::OleUninitialize(); }
};

[[maybe_unused]] ::testing::Environment* const g_apartment = ::testing::AddGlobalTestEnvironment(new OleApartment);

}  // namespace
