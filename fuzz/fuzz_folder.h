#pragma once
// The folder where a fuzz target keeps the files it hands to the code under
// test: one per process, under $KIT_FUZZ_TMP when set (scripts/fuzz-smoke
// points it into the build), otherwise under the system's temporary folder.

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace kit_fuzz {

// The folder of this process, created on first use.
inline const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    const char* base = std::getenv("KIT_FUZZ_TMP");
    std::filesystem::path root = base && *base ? std::filesystem::path(base) : std::filesystem::temp_directory_path();
    std::random_device random;
    std::filesystem::path path = root / ("kit-fuzz-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

}  // namespace kit_fuzz
