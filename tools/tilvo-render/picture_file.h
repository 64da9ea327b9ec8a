#pragma once
// Writing the control's picture to a file: PNG for names ending in ".png",
// otherwise exactly the bytes of the picture (blue, green, red per pixel,
// rows top-down, no header).

#include <cstdint>
#include <optional>
#include <string>

#include "art_fit.h"
#include "tilvo/pixel_buffer.h"

namespace tilvo::render_tool {

// Writes the picture to path; false with a one-line reason in error.
bool WritePicture(const PixelBuffer& pixels, const std::string& path, std::string& error);

// Writes the art as a PNG file with an alpha channel: the pixels the art does
// not cover are transparent, or opaque in the background colour (0x00BBGGRR)
// when one is given; false with a one-line reason in error.
bool WriteArtPng(const FittedArt& art, std::optional<std::uint32_t> background, const std::string& path,
                 std::string& error);

}  // namespace tilvo::render_tool
