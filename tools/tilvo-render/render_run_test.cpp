#include "render_run.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <iterator>
#include <sstream>

#include "testing/tilvo/render_test_support.h"
#include "testing/temp_folder.h"
#include "testing/tilvo/synthetic_client.h"
#include "artcontrol/clientdata/hue_table.h"
#include "batch_export.h"
#include "tilvo/headless_site.h"

namespace tilvo::render_tool {
namespace {

using tilvo::testing::Canvas;
using tilvo::testing::ExpectedItem;

class RenderRun : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(mkclient::StandardClient().Write(Client(), error)) << error;
  }

  std::string Client() const { return folder_.File("client"); }
  std::string Out(const std::string& name) const { return folder_.File(name); }

  // Parses and runs the arguments; the exit status, with what --print wrote in printed.
  int Run(std::vector<std::string> args, std::string* printed = nullptr, std::string* error = nullptr) {
    RenderOptions options;
    std::string reason;
    if (!ParseRenderOptions(args, options, reason)) return 2;
    std::ostringstream out;
    int status = RunRender(options, out, reason);
    if (printed) *printed = out.str();
    if (error) *error = reason;
    return status;
  }

  static std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }

  testing_support::TempFolder folder_;
};

TEST_F(RenderRun, WritesTheExactPictureBytes) {
  ASSERT_EQ(Run({"--client", Client(), "--type", "0", "--index", "1", "--size", "100x61", "--bkcolor", "0xF0F0F0",
                 "--out", Out("item.raw")}),
            0);
  Canvas clean(96, 56);
  PixelBuffer expected = ExpectedItem(clean.pixels, mkclient::StandardItem(1), 38, 13, 0, clean.data->hues);
  EXPECT_EQ(ReadFile(Out("item.raw")), expected.bytes);
}

TEST_F(RenderRun, PngHoldsTheSamePictureAsRedGreenBlue) {
  ASSERT_EQ(Run({"--client", Client(), "--index", "1", "--size", "96x56", "--out", Out("item.raw")}), 0);
  ASSERT_EQ(Run({"--client", Client(), "--index", "1", "--size", "96x56", "--out", Out("item.png")}), 0);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, Out("item.png").c_str()));
  image.format = PNG_FORMAT_BGR;
  std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
  EXPECT_EQ(image.width, 96u);
  EXPECT_EQ(image.height, 56u);
  EXPECT_EQ(pixels, ReadFile(Out("item.raw")));
}

TEST_F(RenderRun, PrintsThePropertiesAsPaintLeftThem) {
  struct Case {
    std::vector<std::string> args;
    std::string printed;
  } cases[] = {
      {{}, "ArtType=0\nArtIndex=0\nArtColor=0\nDrawFlags=0\nxOffset=0\nyOffset=0\nBkColor=-1\nReadyState=2\n"},
      {{"--type", "3", "--color", "5", "--xoffset", "-3", "--bkcolor", "0xFFFFFFFF"},
       "ArtType=3\nArtIndex=0\nArtColor=0\nDrawFlags=0\nxOffset=-3\nyOffset=0\nBkColor=-1\nReadyState=2\n"},
      {{"--type", "0", "--color", "0xFFFF", "--index", "0xFFFFFFFF", "--flags", "0x8001"},
       "ArtType=0\nArtIndex=4294967295\nArtColor=65535\nDrawFlags=32769\nxOffset=0\nyOffset=0\nBkColor=-1\n"
       "ReadyState=2\n"},
      {{"--type", "8", "--index", "0x60001", "--flags", "0xFF30"},
       "ArtType=8\nArtIndex=393217\nArtColor=0\nDrawFlags=560\nxOffset=0\nyOffset=0\nBkColor=-1\nReadyState=2\n"},
      {{"--type", "-1", "--index", "7", "--color", "2", "--yoffset", "0x7FFFFFFF", "--bkcolor", "255"},
       "ArtType=-1\nArtIndex=7\nArtColor=0\nDrawFlags=0\nxOffset=0\nyOffset=2147483647\nBkColor=255\n"
       "ReadyState=2\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"--client", Client(), "--print"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    std::string printed;
    ASSERT_EQ(Run(args, &printed), 0);
    EXPECT_EQ(printed, c.printed);
  }
}

TEST_F(RenderRun, BackgroundOnlyPicturesStillSucceed) {
  const std::vector<std::vector<std::string>> cases = {
      {"--type", "0", "--index", "0x4000"},          // out of range
      {"--type", "7", "--index", "100"},
      {"--type", "0", "--index", "4"},                // absent entry
      {"--type", "3", "--index", "7"},                // absent gump
      {"--type", "11"},                               // no such type
      {"--file", "4=/nonexistent/art.mul", "--index", "1", "--paints", "3"},
      {"--preview-item", "0x0EED,1443,1678,20,0", "--hide-static", "1,2,3,4,5,6"},
  };
  for (const auto& extra : cases) {
    std::vector<std::string> args = {"--client", Client(), "--size", "16x16", "--out", Out("bg.raw")};
    args.insert(args.end(), extra.begin(), extra.end());
    ASSERT_EQ(Run(args), 0) << extra[0];
    EXPECT_EQ(ReadFile(Out("bg.raw")), std::vector<std::uint8_t>(16 * 16 * 3, 0xF0)) << extra[0] << extra[1];
  }
}

TEST_F(RenderRun, RefusesWhatTheControlRefusesAndUnwritableFiles) {
  std::string error;
  EXPECT_EQ(Run({"--client", Client(), "--file", "20=/x"}, nullptr, &error), 2);
  EXPECT_EQ(error, "--file: slot 20 is refused");
  EXPECT_EQ(Run({"--client", Client(), "--out", Out("missing/dir/p.raw")}, nullptr, &error), 1);
  EXPECT_EQ(Run({"--client", Client(), "--size", "4x4", "--out", Out("empty.png")}, nullptr, &error), 1);
  EXPECT_EQ(error, "a picture of 0 x 0 pixels cannot be written as PNG");
  EXPECT_EQ(Run({"--client", Client(), "--size", "4x4", "--out", Out("empty.raw")}), 0);
  EXPECT_TRUE(ReadFile(Out("empty.raw")).empty());
}

TEST_F(RenderRun, TheProgramExitsNonZeroWithOneLineForBadArguments) {
  const std::string err = Out("stderr.txt");
  std::string command = std::string(TILVO_RENDER_BINARY) + " --size 10 2> " + err;
  EXPECT_NE(std::system(command.c_str()), 0);
  std::vector<std::uint8_t> text = ReadFile(err);
  EXPECT_EQ(std::string(text.begin(), text.end()),
            "tilvo-render: --size: expected WxH with sides from 0 to 32767: 10\n");
  command = std::string(TILVO_RENDER_BINARY) + " --client " + Client() + " --index 0x4000 --out " + Out("p.png");
  EXPECT_EQ(std::system(command.c_str()), 0);
}

// The pixels of a PNG file as red, green, blue, alpha rows; empty when it does not read.
std::vector<std::uint8_t> ReadRgba(const std::string& path, std::uint32_t& w, std::uint32_t& h) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGBA;
  std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
  w = image.width;
  h = image.height;
  return pixels;
}

TEST_F(RenderRun, ExportsEachHeldEntryCutToItsArt) {
  const std::string dir = Out("export");
  std::string printed;
  ASSERT_EQ(Run({"--client", Client(), "--type", "items", "--range", "1-8", "--color", "3", "--out-dir", dir}, &printed), 0);
  EXPECT_EQ(printed, "wrote 5 files to " + dir + " (1 entries drew nothing)\n");  // item 8 is too wide to draw
  std::set<std::string> files;
  for (const auto& file : std::filesystem::directory_iterator(dir)) files.insert(file.path().filename().string());
  EXPECT_EQ(files, (std::set<std::string>{"item_0x0001.png", "item_0x0002.png", "item_0x0003.png", "item_0x0006.png",
                                          "item_0x0007.png"}));

  // Item 1 is 20 x 30; the pixels between its runs are transparent, or the background when one is given.
  Canvas clean(20, 30);
  const PixelBuffer expected = ExpectedItem(clean.pixels, mkclient::StandardItem(1), 0, 0, 3,
                                            ParseHueFile(mkclient::StandardHues()));
  ASSERT_EQ(Run({"--client", Client(), "--type", "0", "--range", "1-1", "--color", "3", "--bkcolor", "0xFF",
                 "--out-dir", Out("filled")}),
            0);
  for (const bool filled : {false, true}) {
    std::uint32_t w = 0, h = 0;
    const std::vector<std::uint8_t> rgba = ReadRgba((filled ? Out("filled") : dir) + "/item_0x0001.png", w, h);
    ASSERT_EQ(w, 20u);
    ASSERT_EQ(h, 30u);
    for (std::size_t i = 0; i < 20 * 30; ++i) {
      const std::uint8_t* want = &expected.bytes[i * 3];
      const bool covered = !(want[0] == 0xF0 && want[1] == 0xF0 && want[2] == 0xF0);
      const std::vector<std::uint8_t> pixel(rgba.begin() + static_cast<std::ptrdiff_t>(i * 4),
                                            rgba.begin() + static_cast<std::ptrdiff_t>(i * 4 + 4));
      const std::vector<std::uint8_t> wanted = covered ? std::vector<std::uint8_t>{want[2], want[1], want[0], 0xFF}
                                               : filled ? std::vector<std::uint8_t>{0xFF, 0, 0, 0xFF}
                                                        : std::vector<std::uint8_t>{0, 0, 0, 0};
      ASSERT_EQ(pixel, wanted) << i % 20 << "," << i / 20 << (filled ? " filled" : "");
    }
  }
  // A folder that cannot be made is a failed write.
  std::string error;
  EXPECT_EQ(Run({"--client", Client(), "--all", "--out-dir", folder_.WriteText("plain", "x") + "/sub"}, nullptr, &error), 1);
  EXPECT_NE(error.find("--out-dir: cannot create"), std::string::npos) << error;
}

TEST_F(RenderRun, AnExportStopsWhenItsProgressSaysSo) {
  HeadlessSite site;
  CTilvoCtrl ctrl(site, Client());
  const std::vector<std::uint32_t> ids{1, 2, 3};
  const ExportResult result = ExportEntries(ctrl, *FindArtKind(std::int16_t{0}), ids, 0, std::nullopt, folder_.Path(),
                                            [](std::size_t done, std::size_t) { return done < 2; });
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(result.written, 2u);
  EXPECT_FALSE(std::filesystem::exists(folder_.File("item_0x0003.png")));
}

}  // namespace
}  // namespace tilvo::render_tool
