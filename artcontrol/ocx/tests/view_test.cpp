// The control as a view its container draws: the picture goes into the
// container's device context at the bounds, the button face shows for a
// background of -1, a paint at the same size only copies the picture and a
// new size regenerates it.

#include <gtest/gtest.h>

#include <vector>

#include "com_host.h"

namespace tilvo::ocx::testing {
namespace {

// Draws the control at width x height; its pixels as 0x00BBGGRR.
std::vector<COLORREF> DrawAt(IViewObject* view, int width, int height, HRESULT* result = nullptr) {
  const DibSection dib(width, height);
  const HRESULT hr = DrawView(view, nullptr, dib, width, height);
  if (result != nullptr) *result = hr;
  std::vector<COLORREF> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels.push_back(RGB(dib.Row(y)[x * 3 + 2], dib.Row(y)[x * 3 + 1], dib.Row(y)[x * 3]));
  }
  return pixels;
}

bool AllOf(const std::vector<COLORREF>& pixels, COLORREF color) {
  for (COLORREF p : pixels) {
    if (p != color) return false;
  }
  return !pixels.empty();
}

TEST(View, DrawsTheBackgroundCopiesAtTheSameSizeAndRegeneratesOnANewOne) {
  ComPtr<IDispatch> control = CreateControl();
  ComPtr<IViewObject2> view;
  ASSERT_EQ(control.As(&view), S_OK);
  HRESULT hr = E_FAIL;
  // ArtType 0, ArtIndex 0: no such item, so the background alone, the system's button face.
  EXPECT_TRUE(AllOf(DrawAt(view.Get(), 40, 24, &hr), ::GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(hr, S_OK);
  if (RunningOnWine()) {
    Note("a background of -1 is Wine's button face, 0x%06lX (Linux's headless hosts use 0xF0F0F0)",
         static_cast<unsigned long>(::GetSysColor(COLOR_BTNFACE)));
  }
  // A new background shows at the next regeneration, not at a paint of the same size.
  PutProperty(control.Get(), L"BkColor", Var::I4(0), {Var::I4(0x000000FF)});
  EXPECT_TRUE(AllOf(DrawAt(view.Get(), 40, 24), ::GetSysColor(COLOR_BTNFACE)));
  EXPECT_TRUE(AllOf(DrawAt(view.Get(), 48, 24), RGB(255, 0, 0)));

  const RECTL bounds{0, 0, 8, 8};
  const HDC dc = ::CreateCompatibleDC(nullptr);
  EXPECT_EQ(view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0), DV_E_DVASPECT);
  EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, nullptr, nullptr, nullptr, 0),
            E_INVALIDARG);
  ::DeleteDC(dc);
  // The default extent is 320 x 240 pixels at 96 dots per inch, in HIMETRIC.
  SIZEL extent{};
  ASSERT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &extent), S_OK);
  EXPECT_EQ(extent.cx, 320 * 2540 / 96);
  EXPECT_EQ(extent.cy, 240 * 2540 / 96);
}

}  // namespace
}  // namespace tilvo::ocx::testing
