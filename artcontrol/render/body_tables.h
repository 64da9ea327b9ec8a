#pragma once
// The built-in body tables that decide which of the client's three animation
// sets holds a creature and under which number, and AnimIndexFor, which
// turns a body number into the animation entry of its standing frame.

#include <cstdint>
#include <span>

#include "artcontrol/render/art_types.h"

namespace tilvo {

// One (body, value) pair of a body table.
struct BodyPair {
  std::uint16_t body;
  std::uint16_t value;
};

// BodyRemap: 55 pairs; a body found here is replaced by its value first.
std::span<const BodyPair> BodyRemap();
// SecondSetBodies: 81 pairs; bodies drawn from anim2.mul, under their value.
std::span<const BodyPair> SecondSetBodies();
// ThirdSetBodies: 31 pairs (300 to 319 and 930 to 940, each to itself); bodies drawn from anim3.mul.
std::span<const BodyPair> ThirdSetBodies();

// The value of the first pair of the table whose body matches, or none (-1).
std::int32_t FindBody(std::span<const BodyPair> table, std::uint32_t body);

// AnimIndexFor: the animation entry for body number `body` (below 0x1000),
// with artType set to the set that holds it (1, 9 or 10).
std::uint32_t AnimIndexFor(std::uint32_t body, std::int16_t& artType);

}  // namespace tilvo
