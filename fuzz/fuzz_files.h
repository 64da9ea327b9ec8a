#pragma once
// Fuzz targets hand their input to the readers as real files, so the file
// layer is exercised too. The files live in the process's folder.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz_folder.h"

namespace tilvo::fuzz {

using kit_fuzz::Folder;

// Writes size bytes to name in the folder; returns its full path.
inline std::string WriteFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path path = Folder() / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path.string();
}

// Splits the input at a point named by its first two bytes; first and second get the two parts.
struct Split {
  const std::uint8_t* first = nullptr;
  std::size_t firstSize = 0;
  const std::uint8_t* second = nullptr;
  std::size_t secondSize = 0;
};
inline Split SplitInput(const std::uint8_t* data, std::size_t size) {
  Split split;
  if (size < 2) return split;
  const std::size_t rest = size - 2;
  const std::size_t at = rest == 0 ? 0 : (static_cast<std::size_t>(data[0]) | (static_cast<std::size_t>(data[1]) << 8)) % (rest + 1);
  split.first = data + 2;
  split.firstSize = at;
  split.second = data + 2 + at;
  split.secondSize = rest - at;
  return split;
}

}  // namespace tilvo::fuzz
