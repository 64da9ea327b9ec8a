#include "tilvo/headless_site.h"

#include "tilvo/identities.h"

namespace tilvo {

void HeadlessSite::InvalidateControl(bool erase) {
  ++invalidations;
  if (erase) ++erasing_invalidations;
}

void HeadlessSite::CopyToScreen(const PixelBuffer& pixels, std::int32_t left, std::int32_t top) {
  ++copies;
  screen = pixels;
  screen_left = left;
  screen_top = top;
}

void HeadlessSite::ReadyStateChange(std::int32_t readyState) { events.push_back({dispid::kReadyStateChange, {readyState}}); }

void HeadlessSite::MouseDown(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) {
  events.push_back({dispid::kMouseDown, {Button, Shift, x, y}});
}

void HeadlessSite::MouseMove(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) {
  events.push_back({dispid::kMouseMove, {Button, Shift, x, y}});
}

void HeadlessSite::MouseUp(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) {
  events.push_back({dispid::kMouseUp, {Button, Shift, x, y}});
}

}  // namespace tilvo
