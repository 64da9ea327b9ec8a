#include "artcontrol/clientdata/tile_data.h"

#include <gtest/gtest.h>

#include <memory>

#include "testing/temp_folder.h"
#include "testing/tilvo/synthetic_client.h"

namespace tilvo {
namespace {

using enum TileDataLayout;

TEST(TileData, HeightPositionsFollowEachLayout) {
  const struct {
    TileDataLayout layout;
    std::uint32_t t;
    std::size_t position;
  } cases[] = {
      {kClassic, 0, 428032 + 4 + 16},
      {kClassic, 31, 428032 + 4 + 31 * 37 + 16},
      {kClassic, 32, 429240},
      {kClassic, 16383, 1036267},
      {kClassicWide, 16384, 428032 + 512 * 1188 + 4 + 16},
      {kClassicWide, 32767, 1644523},
      {kWideFlags, 0, 493568 + 4 + 20},
      {kWideFlags, 33, 493568 + 1316 + 4 + 41 + 20},
      {kWideFlags, 0xFFFF, 3188715},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.t);
    EXPECT_EQ(StaticHeightPosition(c.layout, c.t), c.position);
  }
}

// Writes a little-endian number of `width` bytes at `at`.
void Put(mkclient::Bytes& file, std::size_t at, std::uint64_t value, int width) {
  for (int i = 0; i < width; ++i) file[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutName(mkclient::Bytes& file, std::size_t at, std::string_view name) {
  for (std::size_t i = 0; i < name.size(); ++i) file[at + i] = static_cast<std::uint8_t>(name[i]);
}

TEST(TileData, EachLayoutGivesWholeRecordsOfLandAndItems) {
  const struct {
    std::size_t size;
    TileDataLayout layout;
    int flagBytes;
    std::uint32_t items;
    std::uint32_t land;       // a land tile and where its record starts
    std::size_t landAt;
    std::uint32_t item;       // an item and where its record starts
    std::size_t itemAt;
  } cases[] = {
      {1036288, kClassic, 4, 0x4000, 33, 836 + 4 + 26, 0x3FFF, 428032 + 511 * 1188 + 4 + 31 * 37},
      {1644544, kClassicWide, 4, 0x8000, 0x3FFF, 511 * 836 + 4 + 31 * 26, 0x4001, 428032 + 512 * 1188 + 4 + 37},
      {3188736, kWideFlags, 8, 0x10000, 33, 964 + 4 + 30, 0xFFFE, 493568 + 2047 * 1316 + 4 + 30 * 41},
  };
  const std::uint64_t wideFlags = 0x8000000100000002ull;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    const std::uint64_t flags = c.flagBytes == 8 ? wideFlags : wideFlags & 0xFFFFFFFF;
    mkclient::Bytes file(c.size, 0);
    Put(file, c.landAt, flags, c.flagBytes);
    Put(file, c.landAt + c.flagBytes, 0x1234, 2);
    PutName(file, c.landAt + c.flagBytes + 2, "sandy shore 20 chars");
    std::size_t at = c.itemAt;
    Put(file, at, flags, c.flagBytes);
    at += static_cast<std::size_t>(c.flagBytes);
    for (unsigned b : {0xFF, 0x15, 0x02, 0x01, 0x07, 0x0A, 0x34, 0x12, 0x0B, 0x21, 0x03, 0x99, 0x2A}) {
      file[at++] = static_cast<std::uint8_t>(b);
    }
    PutName(file, at, "cauldron");

    testing_support::TempFolder folder;
    TileDataImage image;
    LoadTileData(folder.Write("tiledata.mul", file), image);
    EXPECT_EQ(image.layout, c.layout);
    EXPECT_EQ(ItemTileCount(image.layout), c.items);
    EXPECT_EQ(ReadLandTile(image, c.land), (LandTileRecord{flags, 0x1234, "sandy shore 20 chars"}));
    const ItemTileRecord item{flags, 0xFF, 0x15, 0x0102, 0x07, 0x0A, 0x1234, 0x0B, 0x21, 0x03, 0x99, 0x2A, "cauldron"};
    EXPECT_EQ(ReadItemTile(image, c.item), item);
    EXPECT_EQ(StaticHeight(image, c.item), 0x2A);
    EXPECT_EQ(ReadItemTile(image, c.item - 1), (ItemTileRecord{}));
    EXPECT_FALSE(ReadItemTile(image, c.items));
    EXPECT_FALSE(ReadLandTile(image, 0x4000));
    EXPECT_EQ(StaticHeight(image, c.items), 0);
  }
}

TEST(TileData, AFileOfAnotherSizeIsReadTheClassicWay) {
  const mkclient::Bytes standard = mkclient::StandardClient().files.at("tiledata.mul");
  mkclient::Bytes shorter = standard;
  shorter.resize(StaticHeightPosition(kClassic, 32) + 1);  // ends on item 32's height
  mkclient::Bytes longer = standard;
  longer.resize(3188736 + 1, 0x05);
  const struct {
    const char* name;
    const mkclient::Bytes* file;
    std::uint32_t t;
    std::uint8_t height;
  } cases[] = {
      {"the standard file", &standard, 16383, mkclient::StandardStaticHeight(16383)},
      {"a short file, up to its end", &shorter, 32, mkclient::StandardStaticHeight(32)},
      {"a short file, past its end", &shorter, 33, 0},
      {"one byte more than the widest layout", &longer, 16383, mkclient::StandardStaticHeight(16383)},
      {"items past 0x3FFF", &longer, 16384, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::TempFolder folder;
    TileDataImage image;
    LoadTileData(folder.Write("tiledata.mul", *c.file), image);
    EXPECT_EQ(image.layout, kClassic);
    EXPECT_EQ(image.bytes.size(), kTileDataImageSize);
    EXPECT_EQ(StaticHeight(image, c.t), c.height);
  }
}

TEST(TileData, AMissingFileHoldsNothing) {
  testing_support::TempFolder folder;
  TileDataImage image;
  LoadTileData(folder.Write("tiledata.mul", mkclient::StandardClient().files.at("tiledata.mul")), image);
  LoadTileData(folder.File("missing.mul"), image);
  EXPECT_TRUE(image.bytes.empty());
  EXPECT_EQ(StaticHeight(image, 1), 0);
  EXPECT_FALSE(ReadItemTile(image, 1));
  EXPECT_FALSE(ReadLandTile(image, 1));
}

}  // namespace
}  // namespace tilvo
