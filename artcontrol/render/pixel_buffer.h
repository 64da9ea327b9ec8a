#pragma once
// Sizing, filling and storing pixels of the picture. Every decoder stores its
// pixels through PutPixel, which is the only clipping there is.

#include <cstddef>
#include <cstdint>

#include "artcontrol/render/draw_request.h"
#include "tilvo/pixel_buffer.h"

namespace tilvo {

// The largest picture the control allocates, in pixels (an 8K screen fits).
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 25;

// The picture's width and height for a control's bounds.
struct PictureSize {
  std::int32_t w = 0;
  std::int32_t h = 0;
};
// Width and height rounded down to a multiple of 8 (the signed remainder is
// subtracted); 0 x 0 when either comes out negative or the picture would
// exceed kMaxPicturePixels.
PictureSize PictureSizeFor(const Rect& bounds);

// Reallocates the picture to exactly w x h x 3 bytes, every pixel the colour 0x00BBGGRR.
void FillPicture(PixelBuffer& pixels, PictureSize size, std::uint32_t colour);

// Stores colour 0x00BBGGRR at (x, y) when 0 <= x < W and 0 <= y < H of the
// request's bounds (and inside the picture); otherwise does nothing.
// Defined here because every decoder calls it once per pixel.
inline void PutPixel(PixelBuffer& pixels, std::int64_t x, std::int64_t y, std::uint32_t colour,
                     const DrawRequest& bounds) {
  if (x < 0 || y < 0 || x >= BoundsWidth(bounds) || y >= BoundsHeight(bounds)) return;
  // The bounds always match the picture; the second check keeps a request
  // with other bounds from writing outside it.
  if (x >= pixels.w || y >= pixels.h) return;
  std::uint8_t* at = pixels.bytes.data() + static_cast<std::size_t>(y * pixels.w + x) * 3;
  at[0] = static_cast<std::uint8_t>(colour >> 16);
  at[1] = static_cast<std::uint8_t>(colour >> 8);
  at[2] = static_cast<std::uint8_t>(colour);
}

// Stores colour at linear pixel number p when 0 <= p < w x h; false otherwise.
bool PutLinearPixel(PixelBuffer& pixels, std::int64_t p, std::uint32_t colour);
// The blue byte of linear pixel p, or -1 when p is outside the picture.
int BlueAtLinear(const PixelBuffer& pixels, std::int64_t p);

}  // namespace tilvo
