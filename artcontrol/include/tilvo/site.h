#pragma once
// What the control needs from the window it sits in. The host implements it;
// the control itself only draws into memory.

#include <cstdint>

#include "tilvo/pixel_buffer.h"

namespace tilvo {

class TilvoSite {
 public:
  virtual ~TilvoSite() = default;

  // Asks the window system to paint the whole control soon, clearing it first when erase is true.
  virtual void InvalidateControl(bool erase) = 0;
  // The system's button-face colour as 0x00BBGGRR.
  virtual std::uint32_t ButtonFaceColor() = 0;
  // Shows the picture unscaled, rows top-down, with its top-left corner at (left, top) of the window.
  virtual void CopyToScreen(const PixelBuffer& pixels, std::int32_t left, std::int32_t top) = 0;

  // The events of the control's event interface; the defaults drop them.
  // ReadyStateChange: the ready state moved to readyState (2 once loaded).
  virtual void ReadyStateChange(std::int32_t readyState) { (void)readyState; }
  // A mouse button went down over the control (Button 1 left, 2 right, 4 middle; Shift 1 Shift, 2 Ctrl, 4 Alt).
  virtual void MouseDown(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) {
    (void)Button, (void)Shift, (void)x, (void)y;
  }
  // The mouse moved over the control.
  virtual void MouseMove(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) {
    (void)Button, (void)Shift, (void)x, (void)y;
  }
  // A mouse button was released over the control.
  virtual void MouseUp(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) {
    (void)Button, (void)Shift, (void)x, (void)y;
  }
};

}  // namespace tilvo
