#include "render_options.h"

#include <gtest/gtest.h>

namespace tilvo::render_tool {
namespace {

TEST(ParseNumber, TakesDecimalAndHexadecimalWithinTheWidth) {
  struct Case {
    const char* text;
    int bits;
    std::optional<std::int32_t> expected;
  } cases[] = {
      {"0", 16, 0},
      {"42", 16, 42},
      {"0x10", 16, 16},
      {"0X1f", 16, 31},
      {"-5", 32, -5},
      {"-0x8000", 16, -32768},
      {"0xFFFF", 16, -1},           // unsigned 16-bit: the same bits
      {"65535", 16, -1},
      {"65536", 16, std::nullopt},
      {"-32769", 16, std::nullopt},
      {"0xFFFFFFFF", 32, -1},
      {"4294967296", 32, std::nullopt},
      {"-2147483648", 32, -2147483647 - 1},
      {"-2147483649", 32, std::nullopt},
      {"", 16, std::nullopt},
      {"-", 16, std::nullopt},
      {"0x", 16, std::nullopt},
      {"12a", 16, std::nullopt},
      {"+3", 16, std::nullopt},
      {" 3", 16, std::nullopt},
      {"99999999999999999999999", 32, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseNumber(c.text, c.bits), c.expected) << c.text;
}

TEST(ParseRenderOptions, ReadsEveryOption) {
  RenderOptions o;
  std::string error;
  ASSERT_TRUE(ParseRenderOptions({"--client", "/c", "--file", "3=/x/artidx.mul", "--type", "4", "--index", "0x10",
                                  "--color", "3", "--flags", "1", "--xoffset", "-2", "--yoffset", "7", "--bkcolor",
                                  "0xFF", "--size", "100x61", "--preview-item", "1,2,3,4,5", "--hide-static",
                                  "6,70000,8,9,10,11", "--paints", "3", "--out", "p.png", "--print"},
                                 o, error))
      << error;
  EXPECT_EQ(o.client, "/c");
  ASSERT_EQ(o.files.size(), 1u);
  EXPECT_EQ(o.files[0].slot, 3);
  EXPECT_EQ(o.files[0].path, "/x/artidx.mul");
  EXPECT_EQ(o.type, 4);
  EXPECT_EQ(o.index, 16);
  EXPECT_EQ(o.color, 3);
  EXPECT_EQ(o.flags, 1);
  EXPECT_EQ(o.xoffset, -2);
  EXPECT_EQ(o.yoffset, 7);
  EXPECT_EQ(o.bkcolor, 0xFF);
  EXPECT_EQ(o.width, 100);
  EXPECT_EQ(o.height, 61);
  ASSERT_EQ(o.lists.size(), 2u);
  EXPECT_FALSE(o.lists[0].hidden);
  EXPECT_EQ(o.lists[0].fields, (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
  EXPECT_TRUE(o.lists[1].hidden);
  EXPECT_EQ(o.lists[1].fields, (std::vector<std::int32_t>{6, 70000, 8, 9, 10, 11}));
  EXPECT_EQ(o.paints, 3);
  EXPECT_EQ(o.out, "p.png");
  EXPECT_TRUE(o.print);
}

TEST(ParseRenderOptions, ReadsABatchExport) {
  RenderOptions o;
  std::string error;
  ASSERT_TRUE(ParseRenderOptions({"--type", "gumps", "--range", "0x10-0x1F", "--out-dir", "d"}, o, error)) << error;
  EXPECT_EQ(o.type, 3);
  EXPECT_EQ(o.rangeFirst, 0x10u);
  EXPECT_EQ(o.rangeLast, 0x1Fu);
  EXPECT_EQ(o.outDir, "d");
  EXPECT_FALSE(o.bkcolorGiven);
  EXPECT_TRUE(o.Batch());
}

TEST(ParseRenderOptions, DefaultsMatchAFreshControl) {
  RenderOptions o;
  std::string error;
  ASSERT_TRUE(ParseRenderOptions({}, o, error));
  EXPECT_FALSE(o.client);
  EXPECT_FALSE(o.type);
  EXPECT_EQ(o.bkcolor, -1);
  EXPECT_EQ(o.width, 320);
  EXPECT_EQ(o.height, 240);
  EXPECT_EQ(o.paints, 1);
  EXPECT_TRUE(o.out.empty());
  EXPECT_FALSE(o.print);
}

TEST(ParseRenderOptions, RefusesBadArgumentsWithOneLine) {
  const std::vector<std::vector<std::string>> cases = {
      {"--bogus", "1"},
      {"stray"},
      {"--type"},
      {"--type", "70000"},
      {"--index", "x"},
      {"--color", "-40000"},
      {"--xoffset", "0x100000000"},
      {"--size", "640"},
      {"--size", "640x"},
      {"--size", "-8x8"},
      {"--size", "40000x8"},
      {"--paints", "0"},
      {"--paints", "-1"},
      {"--file", "3"},
      {"--file", "3="},
      {"--file", "x=/a"},
      {"--preview-item", "1,2,3,4"},
      {"--preview-item", "1,2,3,4,5,6"},
      {"--preview-item", "1,2,3,4,"},
      {"--hide-static", "1,2,3,4,5"},
      {"--hide-static", "1,0x1FFFFFFFF,3,4,5,6"},
      {"--all"},
      {"--out-dir", "d"},
      {"--range", "1-2"},
      {"--all", "--range", "1-2", "--out-dir", "d"},
      {"--range", "5-2", "--out-dir", "d"},
      {"--range", "5", "--out-dir", "d"},
      {"--type", "8", "--all", "--out-dir", "d"},
      {"--type", "chairs"},
  };
  for (const auto& args : cases) {
    RenderOptions o;
    std::string error;
    EXPECT_FALSE(ParseRenderOptions(args, o, error)) << args[0];
    EXPECT_FALSE(error.empty()) << args[0];
    EXPECT_EQ(error.find('\n'), std::string::npos) << args[0];
  }
  RenderOptions o;
  std::string error;
  EXPECT_FALSE(ParseRenderOptions({"--bogus"}, o, error));
  EXPECT_EQ(error, "unknown option --bogus") << "an unknown option is named as one, value or not";
}

}  // namespace
}  // namespace tilvo::render_tool
