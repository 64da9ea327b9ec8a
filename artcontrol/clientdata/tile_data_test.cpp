#include "artcontrol/clientdata/tile_data.h"

#include <gtest/gtest.h>

#include <memory>

#include "testing/temp_folder.h"
#include "testing/tilvo/synthetic_client.h"

namespace tilvo {
namespace {

TEST(TileData, HeightPositionsFollowTheBlockLayout) {
  const struct {
    std::uint32_t t;
    std::size_t position;
  } cases[] = {
      {0, 428032 + 4 + 16},
      {1, 428032 + 4 + 37 + 16},
      {31, 428032 + 4 + 31 * 37 + 16},
      {32, 429240},
      {16383, 1036267},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.t);
    EXPECT_EQ(StaticHeightPosition(c.t), c.position);
  }
}

TEST(TileData, HeightsComeFromTheImageAndNothingIsReadBeyondIt) {
  testing_support::TempFolder folder;
  const mkclient::ClientFolder client = mkclient::StandardClient();
  const std::string path = folder.Write("tiledata.mul", client.files.at("tiledata.mul"));
  auto image = std::make_unique<TileDataImage>();
  LoadTileData(path, *image);
  for (std::uint32_t t : {0u, 1u, 31u, 32u, 100u, 8191u, 16383u}) {
    SCOPED_TRACE(t);
    EXPECT_EQ(StaticHeight(*image, t), mkclient::StandardStaticHeight(t));
  }
  for (std::uint32_t t : {16384u, 0xFFFFu, 0xFFFFFFFFu}) {
    SCOPED_TRACE(t);
    EXPECT_EQ(StaticHeight(*image, t), 0);
  }
}

TEST(TileData, BytesTheFileLacksReadAsZero) {
  testing_support::TempFolder folder;
  mkclient::Bytes file = mkclient::StandardClient().files.at("tiledata.mul");
  file.resize(StaticHeightPosition(32) + 1);  // ends on item 32's height
  file.push_back(0x77);                       // and keeps nothing of item 33 but a stray byte
  auto image = std::make_unique<TileDataImage>();
  image->bytes.fill(0xAB);
  LoadTileData(folder.Write("tiledata.mul", file), *image);
  EXPECT_EQ(StaticHeight(*image, 32), mkclient::StandardStaticHeight(32));
  EXPECT_EQ(StaticHeight(*image, 33), 0);
  EXPECT_EQ(image->bytes.back(), 0);

  // A missing file leaves the whole image zero, not what was there before.
  image->bytes.fill(0xAB);
  LoadTileData(folder.File("missing.mul"), *image);
  EXPECT_EQ(StaticHeight(*image, 0), 0);
  EXPECT_EQ(image->bytes.front(), 0);
}

TEST(TileData, ALongerFileIsReadOnlyUpToTheImageSize) {
  testing_support::TempFolder folder;
  mkclient::Bytes file(kTileDataImageSize + 100, 0x05);
  auto image = std::make_unique<TileDataImage>();
  LoadTileData(folder.Write("tiledata.mul", file), *image);
  EXPECT_EQ(StaticHeight(*image, 16383), 0x05);
  EXPECT_EQ(image->bytes.back(), 0x05);
}

}  // namespace
}  // namespace tilvo
