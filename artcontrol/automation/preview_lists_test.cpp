#include "artcontrol/automation/preview_lists.h"

#include <gtest/gtest.h>

namespace tilvo {
namespace {

TEST(PreviewItems, FormTheirBlockFromTheMapPosition) {
  struct Case {
    std::int16_t x, y, z;
    std::uint8_t bx, by, bz;
    std::int32_t block;
  } cases[] = {
      {1443, 1678, 20, 3, 6, 20, 180 * 512 + 209},  // 92369
      {0, 0, 0, 0, 0, 0, 0},
      {7, 8, -1, 7, 0, 0xFF, 1},
      {8, 7, 300, 0, 7, 300 & 0xFF, 512},
      {32767, 32767, 127, 7, 7, 127, 4095 * 512 + 4095},
      // Negative coordinates truncate toward zero like the positive ones.
      {-3, 5, 0, 0xFD, 5, 0, 0},
      {-9, -17, 0, 0xFF, 0xFF, 0, -1 * 512 - 2},
  };
  for (const Case& c : cases) {
    PreviewItem item = MakePreviewItem(0x0EED, c.x, c.y, c.z, 0x21);
    EXPECT_EQ(item.id, 0x0EED);
    EXPECT_EQ(item.x, c.bx) << c.x;
    EXPECT_EQ(item.y, c.by) << c.y;
    EXPECT_EQ(item.z, c.bz) << c.z;
    EXPECT_EQ(item.color, 0x21);
    EXPECT_EQ(item.block, c.block) << c.x << "," << c.y;
  }
}

TEST(HiddenStatics, KeepEveryFieldAsGiven) {
  HiddenStatic s = MakeHiddenStatic(-1, 123456789, 300, -2, 20, 7);
  EXPECT_EQ(s.id, 0xFFFF);
  EXPECT_EQ(s.block, 123456789);
  EXPECT_EQ(s.x, 300 & 0xFF);
  EXPECT_EQ(s.y, 0xFE);
  EXPECT_EQ(s.z, 20);
  EXPECT_EQ(s.color, 7);
}

TEST(SlotList, IndexesStayValidUntilTheListIsCleared) {
  SlotList<int> list;
  EXPECT_EQ(list.Append(10), 0);
  EXPECT_EQ(list.Append(11), 1);
  EXPECT_EQ(list.Append(12), 2);
  list.RemoveAt(1);
  EXPECT_EQ(list.Append(13), 3);  // the empty slot is not reused
  EXPECT_EQ(list.Slots()[1], std::nullopt);
  EXPECT_EQ(list.Slots()[3], 13);
  for (std::int32_t outside : {-1, 4, 2147483647}) list.RemoveAt(outside);  // ignored
  EXPECT_EQ(list.Slots().size(), 4u);
  list.RemoveAt(1);  // already empty
  list.Clear();
  EXPECT_TRUE(list.Slots().empty());
  EXPECT_EQ(list.Append(14), 0);
}

TEST(SlotList, RemovesTheFirstEqualRecordOnly) {
  SlotList<int> list;
  list.Append(5);
  list.Append(6);
  list.Append(5);
  list.RemoveFirst(5);
  EXPECT_EQ(list.Slots(), (std::vector<std::optional<int>>{std::nullopt, 6, 5}));
  list.RemoveFirst(5);
  EXPECT_EQ(list.Slots(), (std::vector<std::optional<int>>{std::nullopt, 6, std::nullopt}));
  list.RemoveFirst(5);  // no match: nothing changes
  EXPECT_EQ(list.Slots(), (std::vector<std::optional<int>>{std::nullopt, 6, std::nullopt}));
}

TEST(ControlLists, FollowTheIndexRules) {
  // Driven through the control's own methods, without a client.
  struct NullSite : TilvoSite {
    void InvalidateControl(bool) override {}
    std::uint32_t ButtonFaceColor() override { return 0; }
    void CopyToScreen(const PixelBuffer&, std::int32_t, std::int32_t) override {}
  } site;
  CTilvoCtrl ctrl(site, "/nonexistent-client");
  EXPECT_EQ(ctrl.AddPreviewItem(0x0EED, 1443, 1678, 20, 0), 0);
  EXPECT_EQ(ctrl.AddPreviewItem(0x0EED, 1443, 1678, 20, 0), 1);
  EXPECT_EQ(ctrl.AddPreviewItem(2, 3, 4, 5, 6), 2);
  ctrl.RemovePreviewItemAt(1);
  EXPECT_EQ(ctrl.AddPreviewItem(0x0EED, 1443, 1678, 20, 0), 3);
  ctrl.RemovePreviewItem(0x0EED, 1443, 1678, 20, 0);  // index 0 goes first
  EXPECT_FALSE(ctrl.PreviewItems()[0]);
  EXPECT_TRUE(ctrl.PreviewItems()[3]);
  EXPECT_EQ(ctrl.PreviewItems()[3]->block, 92369);
  ctrl.RemovePreviewItems();
  EXPECT_EQ(ctrl.AddPreviewItem(1, 1, 1, 1, 1), 0);

  EXPECT_EQ(ctrl.AddHideStatic(7, 500, 1, 2, 3, 4), 0);
  ctrl.RemoveHideStatic(7, 501, 1, 2, 3, 4);  // another block: nothing removed
  EXPECT_TRUE(ctrl.HiddenStatics()[0]);
  ctrl.RemoveHideStatic(7, 500, 1, 2, 3, 4);
  EXPECT_FALSE(ctrl.HiddenStatics()[0]);
  EXPECT_EQ(ctrl.AddHideStatic(7, 500, 1, 2, 3, 4), 1);
  ctrl.RemoveHideStaticAt(-1);
  ctrl.RemoveHideStaticAt(2);
  EXPECT_TRUE(ctrl.HiddenStatics()[1]);
  ctrl.RemoveHideStatics();
  EXPECT_TRUE(ctrl.HiddenStatics().empty());
}

}  // namespace
}  // namespace tilvo
