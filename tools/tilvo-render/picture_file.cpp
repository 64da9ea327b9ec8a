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

bool WritePng(const PixelBuffer& pixels, const std::string& path, std::string& error) {
  if (pixels.w <= 0 || pixels.h <= 0) {
    error = "a picture of " + std::to_string(pixels.w) + " x " + std::to_string(pixels.h) +
            " pixels cannot be written as PNG";
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
  // The picture is blue, green, red; PNG rows are red, green, blue.
  std::vector<png_byte> rgb(pixels.bytes.size());
  for (std::size_t i = 0; i + 2 < pixels.bytes.size(); i += 3) {
    rgb[i] = pixels.bytes[i + 2];
    rgb[i + 1] = pixels.bytes[i + 1];
    rgb[i + 2] = pixels.bytes[i];
  }
  std::vector<png_bytep> rows(static_cast<std::size_t>(pixels.h));
  for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = rgb.data() + y * static_cast<std::size_t>(pixels.w) * 3;
  // libpng reports errors by long jump; nothing with a destructor is created between here and the end.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    error = "cannot write " + path;
    return false;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(pixels.w), static_cast<png_uint_32>(pixels.h), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
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

}  // namespace

bool WritePicture(const PixelBuffer& pixels, const std::string& path, std::string& error) {
  return EndsWith(path, ".png") ? WritePng(pixels, path, error) : WriteRaw(pixels, path, error);
}

}  // namespace tilvo::render_tool
