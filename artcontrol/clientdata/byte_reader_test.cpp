#include "artcontrol/clientdata/byte_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace tilvo {
namespace {

const std::vector<std::uint8_t> kBytes = {0x01, 0x02, 0x03, 0x04, 0xFF, 0xFE};

TEST(ByteReader, ReadsLittleEndianNumbers) {
  ByteReader reader(kBytes);
  std::uint32_t u32 = 0;
  std::int16_t i16 = 0;
  ASSERT_TRUE(reader.ReadU32(u32));
  EXPECT_EQ(u32, 0x04030201u);
  ASSERT_TRUE(reader.ReadI16(i16));
  EXPECT_EQ(i16, -257);
  EXPECT_EQ(reader.Remaining(), 0u);
}

struct PastEndCase {
  const char* name;
  std::size_t start;
  int width;  // 1, 2 or 4
};

TEST(ByteReader, RefusesToReadPastTheEndAndKeepsItsPosition) {
  const PastEndCase cases[] = {
      {"u32 with 2 left", 4, 4}, {"u32 with 3 left", 3, 4}, {"u16 with 1 left", 5, 2},
      {"u8 at the end", 6, 1},   {"u16 at the end", 6, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ByteReader reader(kBytes);
    ASSERT_TRUE(reader.Seek(c.start));
    std::uint8_t u8 = 0x55;
    std::uint16_t u16 = 0x5555;
    std::uint32_t u32 = 0x55555555;
    bool ok = true;
    if (c.width == 1) ok = reader.ReadU8(u8);
    if (c.width == 2) ok = reader.ReadU16(u16);
    if (c.width == 4) ok = reader.ReadU32(u32);
    EXPECT_FALSE(ok);
    EXPECT_EQ(reader.Position(), c.start);
    EXPECT_EQ(u8, 0x55);
    EXPECT_EQ(u16, 0x5555);
    EXPECT_EQ(u32, 0x55555555u);
  }
}

TEST(ByteReader, SeekSkipAndTakeStopAtTheEnd) {
  ByteReader reader(kBytes);
  EXPECT_TRUE(reader.Seek(6));
  EXPECT_FALSE(reader.Seek(7));
  EXPECT_EQ(reader.Position(), 6u);
  ASSERT_TRUE(reader.Seek(2));
  EXPECT_FALSE(reader.Skip(5));
  EXPECT_TRUE(reader.Skip(4));
  ASSERT_TRUE(reader.Seek(1));
  std::span<const std::uint8_t> part;
  EXPECT_FALSE(reader.Take(6, part));
  ASSERT_TRUE(reader.Take(3, part));
  EXPECT_EQ(part[0], 0x02);
  EXPECT_EQ(part.size(), 3u);
  std::array<std::uint8_t, 3> copy{};
  EXPECT_FALSE(reader.ReadBytes(copy));
  EXPECT_EQ(copy[0], 0);
  EXPECT_EQ(reader.Position(), 4u);
}

TEST(ByteReader, EmptySpanRefusesEverything) {
  ByteReader reader(std::span<const std::uint8_t>{});
  std::uint8_t value = 0;
  EXPECT_FALSE(reader.ReadU8(value));
  EXPECT_TRUE(reader.Skip(0));
  EXPECT_FALSE(reader.Skip(1));
}

}  // namespace
}  // namespace tilvo
