#pragma once
// Writing the control's picture to a file: PNG for names ending in ".png",
// otherwise exactly the bytes of the picture (blue, green, red per pixel,
// rows top-down, no header).

#include <string>

#include "tilvo/pixel_buffer.h"

namespace tilvo::render_tool {

// Writes the picture to path; false with a one-line reason in error.
bool WritePicture(const PixelBuffer& pixels, const std::string& path, std::string& error);

}  // namespace tilvo::render_tool
