#pragma once
// A fresh folder under the system's temporary directory, removed with
// everything in it when the object goes; tests write client files into it.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <span>
#include <string>
#include <string_view>

namespace tilvo::testing {

class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
      const auto candidate =
          std::filesystem::temp_directory_path() / ("tilvo-test-" + std::to_string(random()) + std::to_string(random()));
      if (std::filesystem::create_directory(candidate)) {
        path_ = candidate;
        return;
      }
    }
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, without a trailing "/".
  std::string Path() const { return path_.string(); }
  // The folder with a trailing "/", as MulPath holds it.
  std::string Dir() const { return path_.string() + "/"; }
  // The full path of name inside the folder.
  std::string File(std::string_view name) const { return (path_ / name).string(); }

  // Writes bytes to name (creating its parent folders); returns the full path.
  std::string Write(std::string_view name, std::span<const std::uint8_t> bytes) const {
    const std::filesystem::path path = path_ / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }
  // Writes text to name; returns the full path.
  std::string WriteText(std::string_view name, std::string_view text) const {
    return Write(name, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  }

 private:
  std::filesystem::path path_;
};

}  // namespace tilvo::testing
