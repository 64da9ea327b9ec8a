#include "artcontrol/render/body_tables.h"

#include <gtest/gtest.h>

namespace tilvo {
namespace {

TEST(BodyTables, HoldTheirPairsInOrder) {
  struct Case {
    const char* name;
    std::span<const BodyPair> table;
    std::size_t size;
    BodyPair first, last;
  } cases[] = {
      {"BodyRemap", BodyRemap(), 55, {34, 225}, {790, 13}},
      {"SecondSetBodies", SecondSetBodies(), 81, {11, 3}, {999, 69}},
      {"ThirdSetBodies", ThirdSetBodies(), 31, {300, 300}, {940, 940}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(c.table.size(), c.size) << c.name;
    EXPECT_EQ(c.table.front().body, c.first.body) << c.name;
    EXPECT_EQ(c.table.front().value, c.first.value) << c.name;
    EXPECT_EQ(c.table.back().body, c.last.body) << c.name;
    EXPECT_EQ(c.table.back().value, c.last.value) << c.name;
    for (std::size_t i = 1; i < c.table.size(); ++i) EXPECT_LT(c.table[i - 1].body, c.table[i].body) << c.name;
  }
  for (const BodyPair& pair : ThirdSetBodies()) {
    EXPECT_EQ(pair.body, pair.value);
    EXPECT_TRUE((pair.body >= 300 && pair.body <= 319) || (pair.body >= 930 && pair.body <= 940)) << pair.body;
  }
  EXPECT_EQ(FindBody(BodyRemap(), 172), 797);
  EXPECT_EQ(FindBody(SecondSetBodies(), 786), -1);  // 786 is left out of the second set
  EXPECT_EQ(FindBody(SecondSetBodies(), 0x10000 + 11), -1);
}

TEST(BodyTables, AnimIndexForChoosesTheSetAndTheEntry) {
  struct Case {
    std::uint32_t body;
    std::int16_t artType;
    std::uint32_t entry;
  } cases[] = {
      {1, 1, 111},
      {122, 9, 22001},     // second set as 255: (255 - 123) x 65 + 13420 + 1
      {185, 1, 35001},     // remapped to 400, in neither set table
      {200, 1, 22001},
      {300, 10, 33001},
      {400, 1, 35001},
      {935, 10, 128626},   // (935 - 200) x 175 + 1
      {0, 1, 1},
      {156, 1, 17161},     // below 160: 156 x 110 + 1
      {159, 1, 1761},      // remapped to 16
      {160, 1, 19401},     // from 160: (160 - 200) x 65 + 22001
      {398, 1, 34871},     // (398 - 200) x 65 + 22001
      {399, 1, 34826},     // from 399: (399 - 200) x 175 + 1
      {11, 9, 331},        // second set as 3
      {187, 9, 22066},     // second set as 256: (256 - 123) x 65 + 13421
      {172, 9, 6821},      // remapped to 797, then second set as 62: 62 x 110 + 1
      {319, 10, 35091},    // third set below 929: 319 x 110 + 1
      {930, 10, 127751},   // from 929: (930 - 200) x 175 + 1
      {790, 1, 1431},      // remapped to 13, which is in neither set table
      {4095, 1, 681626},
  };
  for (const Case& c : cases) {
    std::int16_t artType = -7;
    EXPECT_EQ(AnimIndexFor(c.body, artType), c.entry) << c.body;
    EXPECT_EQ(artType, c.artType) << c.body;
  }
}

}  // namespace
}  // namespace tilvo
