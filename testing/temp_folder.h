// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes. Test programs that run at the same time never
// share one: a name that is taken is never reused.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

namespace testing_support {

class TempFolder {
 public:
  // A folder whose name begins with `prefix`. A test program that cannot make
  // one stops at once rather than write beside itself.
  explicit TempFolder(std::string_view prefix = "kit-test-") {
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const std::filesystem::path candidate =
          std::filesystem::temp_directory_path() / (std::string(prefix) + std::to_string(random()) + std::to_string(random()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) path_ = candidate;
    }
    if (path_.empty()) {
      std::fprintf(stderr, "no temporary folder could be made in %s\n",
                   std::filesystem::temp_directory_path().string().c_str());
      std::abort();
    }
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, without a trailing separator.
  std::string Path() const { return path_.string(); }
  // The folder with a trailing "/".
  std::string Dir() const { return path_.string() + "/"; }
  // The full path of `name` inside the folder.
  std::string File(std::string_view name) const { return (path_ / name).string(); }

  // Writes `bytes` as the whole of file `name`, making its folders; returns
  // the full path.
  std::string Write(std::string_view name, std::span<const std::uint8_t> bytes) const {
    const std::filesystem::path path = path_ / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }
  std::string WriteText(std::string_view name, std::string_view text) const {
    return Write(name, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  }
  // The whole of file `name`; empty when it is missing.
  std::string Read(std::string_view name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  bool Exists(std::string_view name) const { return std::filesystem::exists(path_ / name); }

 private:
  std::filesystem::path path_;
};

}  // namespace testing_support
