#include "artcontrol/render/colour.h"

#include <gtest/gtest.h>

namespace tilvo {
namespace {

constexpr std::uint16_t Client(unsigned r, unsigned g, unsigned b) {
  return static_cast<std::uint16_t>(r << 10 | g << 5 | b);
}

TEST(ToColorRef, ScalesEachChannelToEightBits) {
  struct Case {
    std::uint16_t colour;
    std::uint32_t expected;
  } cases[] = {
      {Client(31, 31, 31), 0x00FFFFFF},
      {Client(31, 0, 0), 0x000000FF},
      {Client(0, 0, 31), 0x00FF0000},
      {Client(0, 31, 0), 0x0000FF00},
      {Client(1, 16, 0), 0x00008308},                       // 1 gives 8, 16 gives 131
      {static_cast<std::uint16_t>(0x8000 | Client(31, 0, 0)), 0x000000FF},  // bit 15 changes nothing
      {0x8000, 0},
      {0, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ToColorRef(c.colour), c.expected) << std::hex << c.colour;
}

// A table of `blocks` blocks whose every ramp colour i is Client(i, i, hueNumber-dependent blue).
HueTable Ramps(std::size_t blocks) {
  HueTable table;
  table.blocks.resize(blocks);
  for (std::size_t b = 0; b < blocks; ++b) {
    for (std::size_t s = 0; s < 8; ++s) {
      for (unsigned i = 0; i < 32; ++i) {
        table.blocks[b].entries[s].colors[i] = Client(i, static_cast<unsigned>(s), static_cast<unsigned>(b % 32));
      }
    }
  }
  return table;
}

TEST(ApplyHue, SelectsTheRampByHueNumberAndBrightness) {
  HueTable hues = Ramps(375);
  const std::uint16_t grey = Client(12, 12, 12);  // brightness (12 + 12 + 12) / 3 = 12
  const std::uint16_t mixed = Client(31, 2, 0);   // (31 + 2 + 0) / 3 = 11
  struct Case {
    std::uint16_t colour;
    std::uint32_t hue;
    std::uint32_t expected;
  } cases[] = {
      {grey, 0, ToColorRef(grey)},                      // hue 0: none
      {grey, 1, ToColorRef(Client(12, 0, 0))},           // block 0, slot 0
      {grey, 8, ToColorRef(Client(12, 7, 0))},           // block 0, slot 7
      {grey, 9, ToColorRef(Client(12, 0, 1))},           // block 1, slot 0
      {mixed, 9, ToColorRef(Client(11, 0, 1))},
      {grey, 2992, ToColorRef(Client(12, 7, 373 % 32))}, // the last selectable hue
      {grey, 2993, ToColorRef(grey)},                    // the last block is never used
      {grey, 65535, ToColorRef(grey)},
      {grey, 70000, ToColorRef(grey)},                   // beyond any hue number
      {0, 1, ToColorRef(Client(0, 0, 0))},               // black takes ramp colour 0
  };
  for (const Case& c : cases) EXPECT_EQ(ApplyHue(c.colour, c.hue, hues), c.expected) << c.hue;
}

TEST(ApplyHue, WithoutHuesEveryColourKeepsItsOwn) {
  HueTable none;
  HueTable one = Ramps(1);  // 8 x 1 - 8 = 0: nothing selectable
  for (std::uint32_t hue : {0u, 1u, 8u, 9u}) {
    EXPECT_EQ(ApplyHue(Client(3, 4, 5), hue, none), ToColorRef(Client(3, 4, 5)));
    EXPECT_EQ(ApplyHue(Client(3, 4, 5), hue, one), ToColorRef(Client(3, 4, 5)));
  }
}

}  // namespace
}  // namespace tilvo
