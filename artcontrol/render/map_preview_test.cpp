#include "artcontrol/render/map_preview.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <tuple>

#include "testing/tilvo/composite_test_support.h"
#include "artcontrol/render/paint.h"
#include "tilvo/headless_site.h"
#include "tilvo/tilvo.h"
#include "testing/tilvo/container_writer.h"

namespace tilvo {
namespace {

using namespace tilvo::testing;

constexpr std::uint32_t kB(std::uint32_t column, std::uint32_t row) { return column * 512 + row; }

TEST(MapPreview, RadiusFromTheUnroundedBounds) {
  struct Case {
    std::int64_t width, height, radius;
  } cases[] = {
      {640, 480, 2},    // 14 and 10: floor(sqrt(296)) = 17, / 8
      {300, 200, 1},    // 6 and 4: floor(sqrt(52)) = 7, / 8 = 0, raised to 1
      {0, 0, 1},        {43, 43, 1},
      {1920, 1080, 6},  // 43 and 24: floor(sqrt(2425)) = 49
      {1056, 1408, 5},  // 24 and 32: sqrt(1600) = 40 exactly
      {1055, 1408, 4},  // 23 and 32: floor(sqrt(1553)) = 39
      {-640, 480, 2},
      {44 * (std::int64_t{1} << 26), 0, std::int64_t{1} << 23},
  };
  for (const Case& c : cases) EXPECT_EQ(MapPreviewRadius(c.width, c.height), c.radius) << c.width << "x" << c.height;
}

MapPreviewRequest Preview(std::uint32_t artIndex, std::int64_t width, std::int64_t height, std::uint32_t flags = 0x30,
                          std::int64_t columns = kMapColumns) {
  return {CentreOfArtIndex(artIndex).block, flags, 0, width, height, static_cast<std::int32_t>(width - width % 8),
          static_cast<std::int32_t>(height - height % 8), columns};
}

std::vector<std::uint32_t> Blocks(const std::vector<DrawRequest>& requests) {
  std::vector<std::uint32_t> blocks;
  for (const DrawRequest& r : requests) blocks.push_back(r.index);
  return blocks;
}

TEST(MapPreview, BlocksAroundTheCentreColumnByColumnOnTheMapOnly) {
  struct Case {
    const char* name;
    std::uint32_t artIndex;
    std::int64_t width, height;
    std::vector<std::uint32_t> blocks;
    std::int64_t columns = kMapColumns;
  } cases[] = {
      {"640 x 480: 25 blocks", kB(100, 100), 640, 480,
       {kB(98, 98),  kB(98, 99),  kB(98, 100),  kB(98, 101),  kB(98, 102),  kB(99, 98),  kB(99, 99),
        kB(99, 100), kB(99, 101), kB(99, 102),  kB(100, 98),  kB(100, 99),  kB(100, 100), kB(100, 101),
        kB(100, 102), kB(101, 98), kB(101, 99), kB(101, 100), kB(101, 101), kB(101, 102), kB(102, 98),
        kB(102, 99), kB(102, 100), kB(102, 101), kB(102, 102)}},
      {"300 x 200: radius 1, row 512 off the map", kB(5, 511), 300, 200,
       {kB(4, 510), kB(4, 511), kB(5, 510), kB(5, 511), kB(6, 510), kB(6, 511)}},
      {"block 0 of facet 0", 0, 640, 480,
       {kB(0, 0), kB(0, 1), kB(0, 2), kB(1, 0), kB(1, 1), kB(1, 2), kB(2, 0), kB(2, 1), kB(2, 2)}},
      {"0x60000: column 768 is off the map", 0x60000, 640, 480,
       {kB(766, 0), kB(766, 1), kB(766, 2), kB(767, 0), kB(767, 1), kB(767, 2)}},
      {"0x60001: block 1 of facet 2", 0x60001, 640, 480,
       {kB(0, 0), kB(0, 1), kB(0, 2), kB(0, 3), kB(1, 0), kB(1, 1), kB(1, 2), kB(1, 3), kB(2, 0), kB(2, 1), kB(2, 2),
        kB(2, 3)}},
      {"a centre beyond column 767", 0xC0000 + kB(10, 0), 640, 480, {}},
      {"0x60000 on the wider map", 0x60000, 300, 200,
       {kB(767, 0), kB(767, 1), kB(768, 0), kB(768, 1), kB(769, 0), kB(769, 1)}, kWideMapColumns},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Blocks(PreviewBlockRequests(Preview(c.artIndex, c.width, c.height, 0x30, c.columns))), c.blocks)
        << c.name;
  }
  // A centre in the eastern columns, which no ArtIndex names.
  MapPreviewRequest east = Preview(0, 300, 200, 0x30, kWideMapColumns);
  east.centre = kB(895, 0);
  EXPECT_EQ(Blocks(PreviewBlockRequests(east)), (std::vector<std::uint32_t>{kB(894, 0), kB(894, 1), kB(895, 0), kB(895, 1)}));
}

TEST(MapPreview, EachBlockIsShiftedBy176PixelsPerStep) {
  const std::vector<DrawRequest> requests = PreviewBlockRequests(Preview(kB(10, 20), 645, 483, 0x0270));
  ASSERT_EQ(requests.size(), 25u);
  struct Case {
    std::uint32_t block;
    std::int32_t x, y;
  } cases[] = {
      {kB(8, 18), 0, -704},  {kB(8, 22), -704, 0},  {kB(12, 18), 704, 0}, {kB(12, 22), 0, 704},
      {kB(10, 20), 0, 0},    {kB(11, 20), 176, 176}, {kB(10, 21), -176, 176},
  };
  for (const Case& c : cases) {
    bool found = false;
    for (const DrawRequest& r : requests) {
      if (r.index != c.block) continue;
      found = true;
      EXPECT_EQ(r.xOffset, c.x) << c.block;
      EXPECT_EQ(r.yOffset, c.y) << c.block;
    }
    EXPECT_TRUE(found) << c.block;
  }
  for (const DrawRequest& r : requests) {
    EXPECT_EQ(r.type, 8);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 640);
    EXPECT_EQ(r.bottom, 480);
    EXPECT_EQ(r.flags, 0x0270u);
  }
}

// The control's picture of a map preview equals its blocks drawn one by one.
TEST(MapPreview, PaintDrawsTheBlocksOfTheChosenFacet) {
  struct Case {
    const char* name;
    std::uint32_t artIndex;
    std::uint16_t flagsIn, flagsOut;
    std::vector<std::pair<std::uint32_t, std::pair<std::int32_t, std::int32_t>>> blocks;  // block, offsets
  } cases[] = {
      {"0: facet 0", 0, 0x0270, 0x0070,
       {{kB(0, 0), {0, 0}}, {kB(0, 1), {-176, 176}}, {kB(1, 0), {176, 176}}, {kB(1, 1), {0, 352}}}},
      {"0x60000: only column 767, of which the land list names block 0", 0x60000, 0x0030, 0x0030,
       {{kB(767, 0), {-176, -176}}}},
      {"0x60001: facet 2",
       0x60001,
       0x0070,
       0x0270,
       {{kB(0, 0), {176, -176}},
        {kB(0, 1), {0, 0}},
        {kB(0, 2), {-176, 176}},
        {kB(1, 0), {352, 0}},
        {kB(1, 1), {176, 176}},
        {kB(1, 2), {0, 352}}}},
  };
  for (const Case& c : cases) {
    ControlState state;
    state.readyState = 2;
    state.artType = 8;
    state.artIndex = c.artIndex;
    state.drawFlags = c.flagsIn;
    state.artColor = 9;
    state.bkColor = static_cast<std::int32_t>(kBackground);
    RenderResources render;
    ClientCanvas client(8, 8);
    HeadlessSite site;
    std::vector<std::optional<PreviewItem>> items = {PreviewItem{mkclient::kWide, 2, 2, 0, 0, 1}};
    Paint(state, render, *client.data, Rect{0, 0, 200, 180}, site, {items, {}});
    EXPECT_EQ(state.drawFlags, c.flagsOut) << c.name;
    EXPECT_EQ(state.artColor, 0) << c.name;

    ClientCanvas expected(200, 176);
    expected.previewItems = items;
    for (const auto& [block, offsets] : c.blocks) {
      DrawContext ctx = expected.Context();
      ctx.previewItems = expected.previewItems;
      DrawRequest req = expected.Request(8, block);
      req.xOffset = offsets.first;
      req.yOffset = offsets.second;
      req.flags = c.flagsOut;
      DrawObject(ctx, req);
    }
    EXPECT_EQ(render.pixels.bytes, expected.pixels.bytes) << c.name;
    EXPECT_GT(DrawnPixels(render.pixels), 0) << c.name;
  }
}

// A map container holding a few entries of map 0: entry k up to the block at
// its position `last`, which is a block of land tiles; the blocks before it
// are of tile 0, which the client has no art for.
mkclient::Bytes MapContainer(std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> entries) {
  mkclient::MapBlock land{};
  for (std::size_t i = 0; i < land.size(); ++i) land[i] = {static_cast<std::uint16_t>(1 + i % 3), 0};
  const mkclient::Bytes block = mkclient::EncodeMapBlock(land);
  const mkclient::Bytes empty = mkclient::EncodeMapBlock({});
  mkclient::ContainerWriter writer;
  for (const auto& [entry, last] : entries) {
    mkclient::Bytes bytes;
    for (std::uint32_t b = 0; b < last; ++b) bytes.insert(bytes.end(), empty.begin(), empty.end());
    bytes.insert(bytes.end(), block.begin(), block.end());
    char name[64];
    std::snprintf(name, sizeof name, "build/map0legacymul/%08u.dat", entry);
    writer.Add(name, bytes, mkclient::Storage::kZlib);
  }
  return writer.Build();
}

// The eastern blocks of facet 0's wider map are reached through SetMapCentre,
// where no ArtIndex names them, and draw as a block in the classic part does.
TEST(MapPreview, TheWiderMapsEasternBlocksDrawThroughTheirCentre) {
  mkclient::ClientFolder art;
  for (const char* name : {"artidx.mul", "art.mul"}) art.files[name] = mkclient::StandardClient().files.at(name);
  const struct {
    const char* name;
    mkclient::Bytes map;
    std::int32_t column;
  } cases[] = {
      {"a classic block", MapContainer({{kB(100, 5) / 4096, kB(100, 5) % 4096}}), 100},
      {"an eastern block of the wider map", MapContainer({{kB(800, 5) / 4096, 5}, {111, 4095}}), 800},
      {"the same block where the map is not the wider one", MapContainer({{kB(800, 5) / 4096, 5}}), 800},
  };
  std::vector<PixelBuffer> pictures;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::TempFolder folder;
    mkclient::ClientFolder client = art;
    client.files["map0LegacyMUL.uop"] = c.map;
    std::string error;
    ASSERT_TRUE(client.Write(folder.Path(), error)) << error;
    HeadlessSite site;
    CTilvoCtrl ctrl(site, folder.Path());
    ctrl.SetBkColor(static_cast<std::int32_t>(kBackground), 0);
    ctrl.SetDrawFlags(0x10);
    ASSERT_TRUE(ctrl.SetMapCentre(0, c.column, 5));
    EXPECT_EQ(ctrl.GetArtType(), 8);
    EXPECT_EQ(ctrl.GetArtIndex(), static_cast<std::int32_t>(kB(static_cast<std::uint32_t>(c.column), 5)));
    ctrl.OnDraw(Rect{0, 0, 300, 200});
    pictures.push_back(ctrl.Picture());
  }
  EXPECT_GT(DrawnPixels(pictures[0]), 0);
  EXPECT_EQ(pictures[1].bytes, pictures[0].bytes);
  EXPECT_EQ(DrawnPixels(pictures[2]), 0);

  HeadlessSite site;
  CTilvoCtrl ctrl(site, StandardClientFolder().Path());
  for (const auto& [facet, column, row] : {std::tuple{1, 0, 0}, {2, 768, 0}, {0, 896, 0}, {0, 0, 512}, {0, -1, 0}}) {
    EXPECT_FALSE(ctrl.SetMapCentre(facet, column, row)) << facet << " " << column << " " << row;
  }
  EXPECT_EQ(ctrl.GetArtType(), 0);
}

}  // namespace
}  // namespace tilvo
