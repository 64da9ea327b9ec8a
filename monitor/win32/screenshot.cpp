#include "monitor/win32/screenshot.h"

#include <wincodec.h>

#include <vector>

namespace monitor {
namespace {

// Releases a COM interface when it goes out of scope.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (p_ != nullptr) p_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T* operator->() const { return p_; }
  T** Out() { return &p_; }
  T* Get() const { return p_; }

 private:
  T* p_ = nullptr;
};

// Encodes `width` x `height` 32-bit blue-green-red pixels, rows top-down, as
// PNG through the Windows Imaging Component.
bool WritePng(const std::wstring& path, UINT width, UINT height, std::vector<BYTE>& pixels) {
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> options;
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
  return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(factory.Out()))) &&
         SUCCEEDED(factory->CreateStream(stream.Out())) &&
         SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
         SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Out())) &&
         SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
         SUCCEEDED(encoder->CreateNewFrame(frame.Out(), options.Out())) &&
         SUCCEEDED(frame->Initialize(options.Get())) && SUCCEEDED(frame->SetSize(width, height)) &&
         SUCCEEDED(frame->SetPixelFormat(&format)) &&
         IsEqualGUID(format, GUID_WICPixelFormat32bppBGR) &&
         SUCCEEDED(frame->WritePixels(height, width * 4, static_cast<UINT>(pixels.size()),
                                      pixels.data())) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace

bool SaveWindowPicture(HWND window, const std::wstring& path) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT area;
  GetWindowRect(window, &area);
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = bitmap != nullptr;
  if (ok) {
    // The window's own device context holds what it drew, frame included,
    // even where another window covers it; asking the window to print
    // itself instead leaves out its controls on some systems.
    HGDIOBJ old = SelectObject(memory, bitmap);
    HDC source = GetWindowDC(window);
    ok = BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY) != FALSE;
    ReleaseDC(window, source);
    GdiFlush();
    SelectObject(memory, old);
  }
  std::vector<BYTE> pixels;
  if (ok) {
    const auto* first = static_cast<const BYTE*>(bits);
    pixels.assign(first, first + static_cast<size_t>(width) * height * 4);
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!ok) return false;

  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  ok = WritePng(path, static_cast<UINT>(width), static_cast<UINT>(height), pixels);
  if (com) CoUninitialize();
  return ok;
}

}  // namespace monitor
