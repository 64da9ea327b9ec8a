#include "picture_file.h"

#include <png.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <vector>

namespace tilvo::render_tool {

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool WriteRaw(const PixelBuffer& pixels, const std::string& path, std::string& error) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(pixels.bytes.data()), static_cast<std::streamsize>(pixels.bytes.size()));
  file.close();
  if (!file) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Writes rows of 3 (red, green, blue) or 4 (and alpha) bytes a pixel.
bool WritePngRows(std::int32_t w, std::int32_t h, bool alpha, std::vector<png_byte>& bytes, const std::string& path,
                  std::string& error) {
  if (w <= 0 || h <= 0) {
    error = "a picture of " + std::to_string(w) + " x " + std::to_string(h) + " pixels cannot be written as PNG";
    return false;
  }
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    error = "cannot write " + path;
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    error = "cannot start the PNG encoder";
    return false;
  }
  const std::size_t stride = static_cast<std::size_t>(w) * (alpha ? 4 : 3);
  std::vector<png_bytep> rows(static_cast<std::size_t>(h));
  for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = bytes.data() + y * stride;
  // libpng reports errors by long jump; nothing with a destructor is created between here and the end.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    error = "cannot write " + path;
    return false;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  if (std::fclose(file.release()) != 0) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

bool WritePng(const PixelBuffer& pixels, const std::string& path, std::string& error) {
  // The picture is blue, green, red; PNG rows are red, green, blue.
  std::vector<png_byte> rgb(pixels.bytes.size());
  for (std::size_t i = 0; i + 2 < pixels.bytes.size(); i += 3) {
    rgb[i] = pixels.bytes[i + 2];
    rgb[i + 1] = pixels.bytes[i + 1];
    rgb[i + 2] = pixels.bytes[i];
  }
  return WritePngRows(pixels.w, pixels.h, false, rgb, path, error);
}

}  // namespace

bool WritePicture(const PixelBuffer& pixels, const std::string& path, std::string& error) {
  return EndsWith(path, ".png") ? WritePng(pixels, path, error) : WriteRaw(pixels, path, error);
}

bool WriteArtPng(const FittedArt& art, std::optional<std::uint32_t> background, const std::string& path,
                 std::string& error) {
  const std::size_t pixels = art.covered.size();
  std::vector<png_byte> rgba(pixels * 4);
  for (std::size_t i = 0; i < pixels; ++i) {
    const bool covered = art.covered[i] != 0;
    // Uncovered pixels hold the key colour; they become the background, or transparent black.
    const std::uint32_t fill = background.value_or(0);
    rgba[i * 4] = covered ? art.bgr[i * 3 + 2] : static_cast<png_byte>(fill & 0xFF);
    rgba[i * 4 + 1] = covered ? art.bgr[i * 3 + 1] : static_cast<png_byte>((fill >> 8) & 0xFF);
    rgba[i * 4 + 2] = covered ? art.bgr[i * 3] : static_cast<png_byte>((fill >> 16) & 0xFF);
    rgba[i * 4 + 3] = covered || background ? 0xFF : 0;
  }
  return WritePngRows(art.w, art.h, true, rgba, path, error);
}

}  // namespace tilvo::render_tool
