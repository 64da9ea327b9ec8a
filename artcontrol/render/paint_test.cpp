#include "artcontrol/render/paint.h"

#include <gtest/gtest.h>

#include <memory>

#include "tilvo/headless_site.h"

namespace tilvo {
namespace {

TEST(Paint, NothingAtAllUntilLoaded) {
  for (std::int32_t readyState : {0, 1, 3, 4}) {
    ControlState state;
    state.readyState = readyState;
    state.modified = true;
    RenderResources render;
    auto data = std::make_unique<ClientData>();
    HeadlessSite site;
    Paint(state, render, *data, Rect{0, 0, 64, 64}, site);
    EXPECT_EQ(site.copies, 0);
    EXPECT_TRUE(render.pixels.bytes.empty());
    EXPECT_TRUE(state.modified);
    EXPECT_FALSE(state.pictureValid);
  }
}

TEST(Paint, ShowsTheBackgroundBeforeDecodingAndAtTheBoundsCorner) {
  ControlState state;
  state.readyState = 2;
  state.bkColor = 0x00030201;
  RenderResources render;
  auto data = std::make_unique<ClientData>();
  HeadlessSite site;
  Paint(state, render, *data, Rect{-5, 7, 19, 23}, site);
  EXPECT_EQ(site.copies, 2);
  EXPECT_EQ(site.screen_left, -5);
  EXPECT_EQ(site.screen_top, 7);
  EXPECT_EQ(render.pixels.w, 24);
  EXPECT_EQ(render.pixels.h, 16);
  for (std::size_t i = 0; i < render.pixels.bytes.size(); i += 3) {
    ASSERT_EQ(render.pixels.bytes[i], 0x03);
    ASSERT_EQ(render.pixels.bytes[i + 1], 0x02);
    ASSERT_EQ(render.pixels.bytes[i + 2], 0x01);
  }
  EXPECT_TRUE(state.pictureValid);
}

}  // namespace
}  // namespace tilvo
