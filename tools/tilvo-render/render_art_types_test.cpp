// tilvo-render draws every art type of the standard client, the map preview
// with its preview items and hidden statics included.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "testing/tilvo/composite_test_support.h"
#include "render_options.h"
#include "render_run.h"

namespace tilvo::render_tool {
namespace {

using namespace tilvo::testing;

// Runs the tool on the standard client with a background of kBackground; the picture's bytes.
std::vector<std::uint8_t> Render(std::vector<std::string> args, std::string* printed = nullptr) {
  const std::string out = StandardClientFolder().File("render-test.raw");
  args.insert(args.end(), {"--client", StandardClientFolder().Path(), "--bkcolor", "0xF0F0F0", "--out", out});
  RenderOptions options;
  std::string error;
  EXPECT_TRUE(ParseRenderOptions(args, options, error)) << error;
  std::ostringstream text;
  EXPECT_EQ(RunRender(options, text, error), 0) << error;
  if (printed) *printed = text.str();
  std::ifstream file(out, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(RenderArtTypes, EachTypeAsItsDecoderDrawsIt) {
  Canvas small(96, 56);
  Canvas square(16, 16);
  Canvas multi(160, 160);
  Canvas npc(64, 32);
  ClientCanvas hues(8, 8);
  struct Case {
    const char* name;
    std::vector<std::string> args;
    PixelBuffer expected;
  } cases[] = {
      {"gump", {"--type", "3", "--index", "1", "--size", "100x61"}, ExpectedGump(small.pixels, mkclient::StandardGump(1), 42, 25)},
      {"texture", {"--type", "5", "--index", "4", "--size", "96x56"},
       ExpectedSquare(small.pixels, mkclient::StandardTexture(4), 64, 44, 24, [](std::uint16_t v) { return ToColorRef(v); })},
      {"light", {"--type", "7", "--index", "1", "--size", "16x16"},
       ExpectedSquare(square.pixels, mkclient::StandardLight(1), 16, 6, 6,
                      [](std::uint16_t v) { return ToColorRef(static_cast<std::uint16_t>(v << 8)); })},
      {"multi", {"--type", "2", "--index", "3", "--size", "160x160"},
       ExpectedItems(multi.pixels, {{mkclient::kTallCyan, 74, 20}, {mkclient::kTallMagenta, 74, 60}}, hues.data->hues)},
      {"NPC of the third set, hued at its first paint", {"--type", "1", "--index", "300", "--color", "2", "--size", "64x32"},
       ExpectedFrame(npc.pixels, *mkclient::StandardAnimation(3, 33001), 0, 0, 2, hues.data->hues)},
      {"and unhued at the next", {"--type", "1", "--index", "300", "--color", "2", "--size", "64x32", "--paints", "2"},
       ExpectedFrame(npc.pixels, *mkclient::StandardAnimation(3, 33001), 0, 0, 0, hues.data->hues)},
  };
  for (const Case& c : cases) EXPECT_EQ(Render(c.args), c.expected.bytes) << c.name;
}

TEST(RenderArtTypes, MapPreviewWithPreviewItemsAndHiddenStatics) {
  std::string printed;
  const std::vector<std::uint8_t> picture =
      Render({"--type", "8", "--index", "0", "--flags", "0x60", "--size", "320x480", "--preview-item", "39,3,3,-20,0",
              "--hide-static", "37,0,6,1,0,3", "--print"},
             &printed);
  EXPECT_NE(printed.find("DrawFlags=96\n"), std::string::npos) << printed;
  // The four blocks of a radius of 1 around block 0, each drawn with the lists.
  ClientCanvas expected(320, 480);
  expected.previewItems = {PreviewItem{mkclient::kOrange, 3, 3, 0xEC, 0, 0}};
  expected.hiddenStatics = {HiddenStatic{mkclient::kTallMagenta, 6, 1, 0, 3, 0}};
  const struct {
    std::uint32_t block;
    std::int32_t x, y;
  } blocks[] = {{0, 0, 0}, {1, -176, 176}, {512, 176, 176}, {513, 0, 352}};
  for (const auto& b : blocks) {
    DrawContext ctx = expected.Context();
    ctx.previewItems = expected.previewItems;
    ctx.hiddenStatics = expected.hiddenStatics;
    DrawRequest req = expected.Request(8, b.block);
    req.xOffset = b.x;
    req.yOffset = b.y;
    req.flags = 0x60;
    DrawObject(ctx, req);
  }
  EXPECT_EQ(picture, expected.pixels.bytes);
  // Without the lists the picture differs: the hidden static shows, the preview item does not.
  EXPECT_NE(Render({"--type", "8", "--index", "0", "--flags", "0x60", "--size", "320x480"}), picture);
}

}  // namespace
}  // namespace tilvo::render_tool
