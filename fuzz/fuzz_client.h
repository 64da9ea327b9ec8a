#pragma once
// A small client folder for the fuzz targets that draw item art as
// components (multis, map blocks): items 0 to 3 are solid pictures of a few
// pixels and land tile 1 is a whole tile. The target writes its own files
// beside them and loads the client data once.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "artcontrol/clientdata/client_data.h"
#include "fuzz_files.h"

namespace tilvo::fuzz {

namespace detail {

inline void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, static_cast<std::uint16_t>(v));
  Put16(out, static_cast<std::uint16_t>(v >> 16));
}

// A solid w x h item: header, size, row starts, then one run per row.
inline std::vector<std::uint8_t> Item(std::uint16_t w, std::uint16_t h, std::uint16_t colour) {
  std::vector<std::uint8_t> out;
  Put32(out, 1);
  Put16(out, w);
  Put16(out, h);
  for (std::uint16_t y = 0; y < h; ++y) Put16(out, static_cast<std::uint16_t>(y * (w + 4)));
  for (std::uint16_t y = 0; y < h; ++y) {
    Put16(out, 0);
    Put16(out, w);
    for (std::uint16_t x = 0; x < w; ++x) Put16(out, colour);
    Put16(out, 0);
    Put16(out, 0);
  }
  return out;
}

}  // namespace detail

// Writes the art files into Folder() on first use and returns the client data loaded from it.
inline const ClientData& FuzzClient() {
  static const std::unique_ptr<ClientData> client = [] {
    std::vector<std::uint8_t> art;
    std::vector<std::uint8_t> index;
    auto add = [&](const std::vector<std::uint8_t>& entry) {
      detail::Put32(index, static_cast<std::uint32_t>(art.size()));
      detail::Put32(index, static_cast<std::uint32_t>(entry.size()));
      detail::Put32(index, 0);
      art.insert(art.end(), entry.begin(), entry.end());
    };
    for (std::uint32_t n = 0; n < 0x4004; ++n) {
      if (n == 1) {
        add(std::vector<std::uint8_t>(2024, 0x42));
      } else if (n >= 0x4000) {
        const auto k = static_cast<std::uint16_t>(n - 0x4000);
        add(detail::Item(static_cast<std::uint16_t>(2 + k), static_cast<std::uint16_t>(3 + 2 * k),
                         static_cast<std::uint16_t>(0x1234 + k)));
      } else {
        detail::Put32(index, 0xFFFFFFFF);
        detail::Put32(index, 0);
        detail::Put32(index, 0);
      }
    }
    WriteFile("artidx.mul", index.data(), index.size());
    WriteFile("art.mul", art.data(), art.size());
    auto data = std::make_unique<ClientData>();
    LoadClientData(*data, Folder().string() + "/");
    return data;
  }();
  return *client;
}

}  // namespace tilvo::fuzz
