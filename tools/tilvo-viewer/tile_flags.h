#pragma once
// The names of the tile data's flag bits, as the detail pane and the flag
// filter show them.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tilvo::viewer {

struct TileFlag {
  std::uint64_t bit;
  std::string_view name;
};

// The named bits, lowest first.
std::span<const TileFlag> TileFlags();

// The names of the bits set in flags, joined with ", " (a bit without a name as its hexadecimal value); "none" for 0.
std::string DescribeFlags(std::uint64_t flags);

}  // namespace tilvo::viewer
