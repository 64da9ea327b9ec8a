#pragma once
// A site without a window, for tests and command-line hosts: the "screen" is
// a copy of the last picture shown, and every call is counted or recorded.

#include <cstdint>
#include <vector>

#include "tilvo/site.h"

namespace tilvo {

class HeadlessSite : public TilvoSite {
 public:
  // The button-face colour this site reports (a light grey, as on common desktops).
  static constexpr std::uint32_t kButtonFace = 0x00F0F0F0;

  // One event as the control fired it.
  struct Event {
    std::int32_t dispid;             // the event's DISPID
    std::vector<std::int32_t> args;  // its arguments in declaration order
  };

  void InvalidateControl(bool erase) override;
  std::uint32_t ButtonFaceColor() override { return kButtonFace; }
  void CopyToScreen(const PixelBuffer& pixels, std::int32_t left, std::int32_t top) override;
  void ReadyStateChange(std::int32_t readyState) override;
  void MouseDown(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) override;
  void MouseMove(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) override;
  void MouseUp(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) override;

  int invalidations = 0;         // InvalidateControl calls
  int erasing_invalidations = 0; // of those, the ones asking for erase
  int copies = 0;                // CopyToScreen calls
  PixelBuffer screen;            // the picture of the last copy
  std::int32_t screen_left = 0;  // where the last copy was placed
  std::int32_t screen_top = 0;
  std::vector<Event> events;     // every event fired, in order
};

}  // namespace tilvo
