#include "artcontrol/clientdata/hue_table.h"

#include <gtest/gtest.h>

#include "testing/temp_folder.h"
#include "testing/tilvo/synthetic_client.h"

namespace tilvo {
namespace {

using mkclient::Bytes;
using mkclient::HueRamp;

// A ramp whose colours name the hue and the step: distinct for every (h, i).
HueRamp RampFor(std::uint32_t h, std::uint16_t salt) {
  HueRamp ramp{};
  for (std::uint16_t i = 0; i < 32; ++i) ramp[i] = static_cast<std::uint16_t>((h * 32 + i + salt) & 0x7FFF);
  return ramp;
}

std::array<HueRamp, 8> BlockRamps(std::uint32_t block, std::uint16_t salt = 0) {
  std::array<HueRamp, 8> ramps{};
  for (std::uint32_t e = 0; e < 8; ++e) ramps[e] = RampFor(block * 8 + e + 1, salt);
  return ramps;
}

Bytes HueFile(std::uint32_t blocks) {
  Bytes out;
  for (std::uint32_t b = 0; b < blocks; ++b) {
    const Bytes block = mkclient::EncodeHueBlock(0x1000 + b, BlockRamps(b));
    out.insert(out.end(), block.begin(), block.end());
  }
  return out;
}

TEST(HueTable, SelectionFollowsTheEightTimesNMinusEightBound) {
  const struct {
    std::uint32_t blocks;
    std::uint16_t h;
    bool selected;
  } cases[] = {
      {375, 0, false},   {375, 1, true},     {375, 2992, true}, {375, 2993, false},
      {375, 3000, false}, {375, 65535, false}, {1, 1, false},     {0, 1, false},
      {0, 0, false},     {2, 8, true},       {2, 9, false},     {8193, 65535, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.blocks) + " blocks, hue " + std::to_string(c.h));
    HueTable table;
    table.blocks.resize(c.blocks);
    EXPECT_EQ(SelectHue(table, c.h) != nullptr, c.selected);
  }
}

TEST(HueTable, HueNumberNamesBlockAndSlot) {
  const HueTable table = ParseHueFile(HueFile(4));
  ASSERT_EQ(table.blocks.size(), 4u);
  const struct {
    std::uint16_t h;
    std::size_t block, slot;
  } cases[] = {{1, 0, 0}, {8, 0, 7}, {9, 1, 0}, {17, 2, 0}, {24, 2, 7}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.h);
    const HueEntry* entry = SelectHue(table, c.h);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry, &table.blocks[c.block].entries[c.slot]);
    EXPECT_EQ(entry->colors[0], RampFor(c.h, 0)[0]);
    EXPECT_EQ(entry->colors[31], RampFor(c.h, 0)[31]);
  }
  EXPECT_EQ(table.blocks[3].header, 0x1003u);
  // The 24 trailing bytes are carried: the writer puts the name from byte 4 on.
  EXPECT_EQ(table.blocks[0].entries[1].rest[4], 'h');
}

TEST(HueTable, AShortFinalBlockIsKeptWithZeros) {
  Bytes file = HueFile(2);
  file.resize(kHueBlockSize + 4 + 88 + 3);  // header, one entry and one and a half colours of block 1
  const HueTable table = ParseHueFile(file);
  ASSERT_EQ(table.blocks.size(), 2u);
  EXPECT_EQ(table.blocks[1].entries[0].colors[31], RampFor(9, 0)[31]);
  EXPECT_EQ(table.blocks[1].entries[1].colors[0], RampFor(10, 0)[0]);
  EXPECT_EQ(table.blocks[1].entries[1].colors[1], RampFor(10, 0)[1] & 0xFF);
  EXPECT_EQ(table.blocks[1].entries[1].colors[2], 0);
  EXPECT_EQ(table.blocks[1].entries[7].colors[0], 0);
  EXPECT_EQ(ParseHueFile(Bytes{1}).blocks.size(), 1u);
  EXPECT_TRUE(ParseHueFile(Bytes{}).blocks.empty());
}

TEST(HueTable, BlocksBeyondTheLastSelectableAreNotRead) {
  const Bytes file((kHueBlockLimit + 3) * kHueBlockSize, 0x01);
  EXPECT_EQ(ParseHueFile(file).blocks.size(), kHueBlockLimit);
}

TEST(HueTable, PatchesTake88OfEvery152BytesAndTheLaterWins) {
  testing_support::TempFolder folder;
  mkclient::PatchFile patches;
  patches.Add(4, 3, Bytes{1, 2, 3});                                          // not a hue patch
  patches.Add(32, 3, mkclient::EncodeHuePatch(0xA3, BlockRamps(3, 100)));
  patches.Add(32, 1, mkclient::EncodeHuePatch(0xA1, BlockRamps(1, 200)));
  patches.Add(32, 3, mkclient::EncodeHuePatch(0xB3, BlockRamps(3, 300)));    // later: wins
  patches.Add(32, 5, mkclient::EncodeHuePatch(0xA5, BlockRamps(5, 400)));    // past the table: skipped
  patches.Add(32, 0xFFFFFFFF, mkclient::EncodeHuePatch(0xAF, BlockRamps(0, 500)));
  const std::string verdata = folder.Write("verdata.mul", patches.Build());
  const std::string hues = folder.Write("hues.mul", HueFile(5));
  const PatchTable table = LoadPatchTable(verdata);
  const HueTable loaded = LoadHueTable(hues, verdata, table);

  ASSERT_EQ(loaded.blocks.size(), 5u);
  const struct {
    std::uint16_t h;
    std::uint16_t salt;
  } cases[] = {{1, 0}, {8, 0}, {9, 200}, {16, 200}, {17, 0}, {25, 300}, {32, 300}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.h);
    const HueEntry* entry = SelectHue(loaded, c.h);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->colors, RampFor(c.h, c.salt));
  }
  EXPECT_EQ(loaded.blocks[1].header, 0xA1u);
  EXPECT_EQ(loaded.blocks[3].header, 0xB3u);
  EXPECT_EQ(loaded.blocks[4].header, 0x1004u);
  EXPECT_EQ(loaded.blocks[3].entries[2].rest[4], 'h');  // the unused 64 bytes (0xEE) are not taken

  // Without the patch file the hues stay as "hues.mul" has them.
  const HueTable unpatched = LoadHueTable(hues, folder.File("missing.mul"), table);
  EXPECT_EQ(SelectHue(unpatched, 25)->colors, RampFor(25, 0));
  // Without "hues.mul" nothing is selectable and patches have nothing to land on.
  EXPECT_TRUE(LoadHueTable(folder.File("missing.mul"), verdata, table).blocks.empty());
}

TEST(HueTable, APatchCutShortGivesOnlyItsWholeParts) {
  const Bytes patch = mkclient::EncodeHuePatch(0xC0, BlockRamps(0, 7));
  const struct {
    const char* name;
    std::size_t size;
    bool header;
    int entries;  // leading entries replaced
  } cases[] = {
      {"whole", kHuePatchSize, true, 8},
      {"last entry's unused bytes missing", 4 + 7 * 152 + 88, true, 8},
      {"last entry cut", 4 + 7 * 152 + 87, true, 7},
      {"one entry", 4 + 88, true, 1},
      {"header only", 4, true, 0},
      {"no whole header", 3, false, 0},
      {"nothing", 0, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HueTable table = ParseHueFile(HueFile(2));
    ApplyHuePatch(table, 0, std::span(patch).first(c.size));
    EXPECT_EQ(table.blocks[0].header, c.header ? 0xC0u : 0x1000u);
    for (int e = 0; e < 8; ++e) {
      SCOPED_TRACE(e);
      EXPECT_EQ(table.blocks[0].entries[static_cast<std::size_t>(e)].colors,
                RampFor(static_cast<std::uint32_t>(e) + 1, e < c.entries ? 7 : 0));
    }
  }
}

TEST(HueTable, APatchAtTheEndOfTheFileIsReadAsFarAsItGoes) {
  testing_support::TempFolder folder;
  mkclient::PatchFile patches;
  Bytes cut = mkclient::EncodeHuePatch(0xD0, BlockRamps(0, 9));
  cut.resize(4 + 152 + 88);
  patches.Add(32, 0, cut);
  const std::string verdata = folder.Write("verdata.mul", patches.Build());
  const HueTable table = LoadHueTable(folder.Write("hues.mul", HueFile(2)), verdata, LoadPatchTable(verdata));
  EXPECT_EQ(table.blocks[0].header, 0xD0u);
  EXPECT_EQ(table.blocks[0].entries[1].colors, RampFor(2, 9));
  EXPECT_EQ(table.blocks[0].entries[2].colors, RampFor(3, 0));
}

}  // namespace
}  // namespace tilvo
