#include "tilvo/tilvo.h"

#include <gtest/gtest.h>

#include "artcontrol/render/colour.h"

#include "testing/tilvo/render_test_support.h"
#include "testing/temp_folder.h"
#include "tilvo/headless_site.h"
#include "testing/tilvo/standard_art.h"
#include "testing/tilvo/container_writer.h"
#include "testing/tilvo/synthetic_client.h"

namespace tilvo {
namespace {

using testing::ExpectedItem;
using testing::PixelAt;

class ControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(mkclient::StandardClient().Write(folder_.Path(), error)) << error;
    ctrl_ = std::make_unique<CTilvoCtrl>(site_, folder_.Path());
  }
  // A picture of w x h filled with the colour.
  static PixelBuffer Filled(std::int32_t w, std::int32_t h, std::uint32_t colour) {
    PixelBuffer p;
    FillPicture(p, {w, h}, colour);
    return p;
  }

  testing_support::TempFolder folder_;
  HeadlessSite site_;
  std::unique_ptr<CTilvoCtrl> ctrl_;
  const Rect bounds_{0, 0, 100, 61};  // a 96 x 56 picture
};

TEST_F(ControlTest, ConstructionLoadsTheClientAndReportsReady) {
  EXPECT_EQ(ctrl_->GetReadyState(), 2);
  ASSERT_EQ(site_.events.size(), 1u);
  EXPECT_EQ(site_.events[0].dispid, dispid::kReadyStateChange);
  EXPECT_EQ(site_.events[0].args, std::vector<std::int32_t>{2});
  EXPECT_EQ(ctrl_->GetMulPath(), folder_.Dir());
  EXPECT_EQ(ctrl_->GetCustomMulPath(3), folder_.Dir() + "artidx.mul");
  EXPECT_EQ(ctrl_->GetArtType(), 0);
  EXPECT_EQ(ctrl_->GetArtIndex(), 0);
  EXPECT_EQ(ctrl_->GetArtColor(), 0);
  EXPECT_EQ(ctrl_->GetDrawFlags(), 0);
  EXPECT_EQ(ctrl_->GetxOffset(), 0);
  EXPECT_EQ(ctrl_->GetyOffset(), 0);
  EXPECT_EQ(ctrl_->GetBkColor(0), -1);
  EXPECT_FALSE(ctrl_->IsModified());
  EXPECT_EQ(site_.invalidations, 0);
  EXPECT_TRUE(ctrl_->Picture().bytes.empty());
}

TEST_F(ControlTest, PaintsTheObjectOverTheBackground) {
  struct Case {
    const char* name;
    std::int16_t type;
    std::int32_t index;
    std::int16_t color;
    std::int32_t bk;
    PixelBuffer expected;
  };
  const PixelBuffer button = Filled(96, 56, HeadlessSite::kButtonFace);
  const PixelBuffer red = Filled(96, 56, 0x000000FF);
  HueTable none;
  auto patchedRamp = [](int h) {
    HueTable t;
    t.blocks.resize(2);
    mkclient::HueRamp ramp = mkclient::PatchedHueRamp(h);
    std::copy(ramp.begin(), ramp.end(), t.blocks[0].entries[0].colors.begin());
    return t;
  };
  const Case cases[] = {
      {"button face", 0, 0x4000, 0, -1, button},
      {"pure red background", 0, 0x4000, 0, 0x000000FF, red},
      {"item", 0, 1, 0, -1, ExpectedItem(button, mkclient::StandardItem(1), 38, 13, 0, none)},
      {"item through a patched hue", 0, 2, 1, -1,
       ExpectedItem(button, mkclient::StandardItem(2), 32, 27, 1, patchedRamp(1))},
      {"absent item", 0, 4, 0, -1, button},
      {"width above 1024", 0, 8, 0, -1, button},
      {"char test", 6, 1, 0, -1, [&] {
         mkclient::ItemArt solid{8, 8, {}};
         for (int y = 0; y < 8; ++y) solid.rows.push_back({{0, std::vector<std::uint16_t>(8, mkclient::Client(31, 31, 0))}});
         return ExpectedItem(button, solid, 44, 24, 0, none);
       }()},
      {"absent gump", 3, 7, 0, -1, button},
      {"no such type", 11, 1, 0, -1, button},
      {"negative type", -1, 1, 0, -1, button},
  };
  for (const Case& c : cases) {
    HeadlessSite site;
    CTilvoCtrl ctrl(site, folder_.Path());
    ctrl.SetObject(c.type, c.index);
    ctrl.SetArtColor(c.color);
    ctrl.SetBkColor(c.bk, 0);
    ctrl.OnDraw(bounds_);
    EXPECT_EQ(ctrl.Picture().bytes, c.expected.bytes) << c.name;
    EXPECT_EQ(site.screen.bytes, c.expected.bytes) << c.name;
  }
}

TEST_F(ControlTest, LandTilesComeFromTheFirstArtPatch) {
  ctrl_->SetObject(4, 2);  // base tile red, patched blue
  ctrl_->OnDraw(bounds_);
  EXPECT_EQ(PixelAt(ctrl_->Picture(), 48, 28), 0x00FF0000u);
  EXPECT_EQ(testing::DrawnPixels(ctrl_->Picture(), HeadlessSite::kButtonFace), 1010);
}

TEST_F(ControlTest, PaintRewritesColourAndFacetBits) {
  struct Case {
    const char* name;
    std::int16_t type;
    std::int32_t index;
    std::int16_t color, flags;
    std::int16_t colorAfter, flagsAfter;
  } cases[] = {
      {"items keep their hue", 0, 1, 7, 0x0101, 7, 0x0101},
      {"NPCs keep their hue", 1, 1, 7, 0, 7, 0},
      {"landscape loses it", 4, 1, 7, 0, 0, 0},
      {"gumps lose it", 3, 1, 7, 0, 0, 0},
      {"negative types lose it", -5, 1, 7, 0, 0, 0},
      {"even with the index out of range", 7, 100, 7, 0, 0, 0},
      {"map preview clears the facet", 8, 0, 0, static_cast<std::int16_t>(0xFF31), 0, 0x0031},
      {"and marks facet 2 above 0x60000", 8, 0x60001, 0, 0x0130, 0, 0x0230},
      {"0x60000 is facet 0", 8, 0x60000, 0, 0x0230, 0, 0x0030},
      {"an out-of-range block leaves the flags", 8, 0x6E100, 0, 0x0130, 0, 0x0130},
      {"other types leave them", 0, 1, 0, 0x0130, 0, 0x0130},
  };
  for (const Case& c : cases) {
    HeadlessSite site;
    CTilvoCtrl ctrl(site, folder_.Path());
    ctrl.SetObject(c.type, c.index);
    ctrl.SetArtColor(c.color);
    ctrl.SetDrawFlags(c.flags);
    ctrl.OnDraw(bounds_);
    EXPECT_EQ(ctrl.GetArtColor(), c.colorAfter) << c.name;
    EXPECT_EQ(ctrl.GetDrawFlags(), c.flagsAfter) << c.name;
    EXPECT_EQ(ctrl.GetArtType(), c.type) << c.name;
  }
}

TEST_F(ControlTest, OutOfRangeIndexesRepaintTheBackgroundEveryTime) {
  struct Case {
    std::int16_t type;
    std::int32_t index;
    bool valid;
  } cases[] = {
      {0, 0x3FFF, true}, {0, 0x4000, false}, {0, -1, false},   {1, 0xFFF, true},   {1, 0x1000, false},
      {2, 8181, true},   {2, 8182, false},   {3, 0xFFFF, true}, {3, 0x10000, false}, {4, 0x4000, false},
      {5, 0x1000, false}, {6, 20399, true},  {6, 20400, false}, {7, 99, true},      {7, 100, false},
      {8, 0x6E0FF, true}, {8, 0x6E100, false}, {9, 0x1000, false}, {10, 0xFFF, true}, {12, -1, true},
      // Past the classic ranges, the entries the client holds.
      {0, 0x4005, true}, {0, 0xFFF0, true}, {0, 0x4006, false}, {0, 0x10000, false},
      {2, 8999, false}, {3, 0x10006, false},
  };
  for (const Case& c : cases) {
    HeadlessSite site;
    CTilvoCtrl ctrl(site, folder_.Path());
    ctrl.SetObject(c.type, c.index);
    ctrl.OnDraw(bounds_);
    // A BkColor write does not redraw: it shows only where the picture is regenerated.
    ctrl.SetBkColor(0x000000FF, 0);
    ctrl.OnDraw(bounds_);
    std::uint32_t corner = PixelAt(ctrl.Picture(), 0, 0);
    EXPECT_EQ(corner, c.valid ? HeadlessSite::kButtonFace : 0x000000FFu) << c.type << " " << c.index;
    EXPECT_EQ(ctrl.IsModified(), !c.valid) << c.type << " " << c.index;
  }
}

TEST_F(ControlTest, AValidPictureIsOnlyCopiedUntilARedrawOrResize) {
  ctrl_->SetObject(0, 1);
  ctrl_->OnDraw(bounds_);
  EXPECT_EQ(site_.copies, 2);  // the background first, then the finished picture
  const std::vector<std::uint8_t> first = ctrl_->Picture().bytes;
  ctrl_->SetBkColor(0x0000FF00, 0x00FF0000);
  EXPECT_EQ(ctrl_->GetBkColor(12345), 0x0000FF00);
  ctrl_->OnDraw(Rect{10, 20, 110, 81});  // same size elsewhere: copied only
  EXPECT_EQ(site_.copies, 3);
  EXPECT_EQ(ctrl_->Picture().bytes, first);
  EXPECT_EQ(site_.screen_left, 10);
  EXPECT_EQ(site_.screen_top, 20);
  ctrl_->RedrawControl();
  ctrl_->OnDraw(bounds_);
  EXPECT_EQ(PixelAt(ctrl_->Picture(), 0, 0), 0x0000FF00u);
  ctrl_->SetBkColor(0x00FF0000, 0);
  ctrl_->OnDraw(Rect{0, 0, 104, 61});  // a new size regenerates without a property change
  EXPECT_EQ(ctrl_->Picture().w, 104);
  EXPECT_EQ(PixelAt(ctrl_->Picture(), 0, 0), 0x00FF0000u);
}

TEST_F(ControlTest, PropertyWritesRedrawAndMarkTheStateAsTheyShould) {
  struct Case {
    const char* name;
    void (*write)(CTilvoCtrl&);
    bool redraws;
    bool modifies;
  } cases[] = {
      {"ArtType unchanged", [](CTilvoCtrl& c) { c.SetArtType(0); }, false, false},
      {"ArtType changed", [](CTilvoCtrl& c) { c.SetArtType(4); }, true, true},
      {"ArtIndex unchanged", [](CTilvoCtrl& c) { c.SetArtIndex(0); }, false, false},
      {"ArtIndex changed", [](CTilvoCtrl& c) { c.SetArtIndex(5); }, true, true},
      {"ArtColor unchanged", [](CTilvoCtrl& c) { c.SetArtColor(0); }, true, true},
      {"DrawFlags", [](CTilvoCtrl& c) { c.SetDrawFlags(0); }, true, true},
      {"xOffset", [](CTilvoCtrl& c) { c.SetxOffset(0); }, true, true},
      {"yOffset", [](CTilvoCtrl& c) { c.SetyOffset(0); }, true, true},
      {"BkColor", [](CTilvoCtrl& c) { c.SetBkColor(5, 0); }, false, true},
      {"SetObject with the same values", [](CTilvoCtrl& c) { c.SetObject(0, 0); }, true, true},
      {"SetOffset", [](CTilvoCtrl& c) { c.SetOffset(0, 0); }, true, true},
      {"xScroll", [](CTilvoCtrl& c) { c.xScroll(0); }, true, true},
      {"yScroll", [](CTilvoCtrl& c) { c.yScroll(0); }, true, true},
      {"Scroll", [](CTilvoCtrl& c) { c.Scroll(0, 0); }, true, true},
      {"RedrawControl", [](CTilvoCtrl& c) { c.RedrawControl(); }, true, true},
      {"ambient change", [](CTilvoCtrl& c) { c.OnAmbientPropertyChange(-701); }, true, true},
      {"preview items", [](CTilvoCtrl& c) {
         c.AddPreviewItem(1, 2, 3, 4, 5);
         c.RemovePreviewItemAt(0);
         c.RemovePreviewItem(1, 2, 3, 4, 5);
         c.RemovePreviewItems();
       }, false, false},
      {"hidden statics", [](CTilvoCtrl& c) {
         c.AddHideStatic(1, 2, 3, 4, 5, 6);
         c.RemoveHideStaticAt(0);
         c.RemoveHideStatic(1, 2, 3, 4, 5, 6);
         c.RemoveHideStatics();
       }, false, false},
      {"paths", [](CTilvoCtrl& c) {
         c.SetCustomMulFile(45, "/x");
         c.SetMulPath("/y");
       }, false, false},
  };
  for (const Case& c : cases) {
    HeadlessSite site;
    CTilvoCtrl ctrl(site, folder_.Path());
    ctrl.OnDraw(bounds_);
    ASSERT_FALSE(ctrl.IsModified());
    int before = site.erasing_invalidations;
    c.write(ctrl);
    EXPECT_EQ(site.erasing_invalidations - before, c.redraws ? 1 : 0) << c.name;
    EXPECT_EQ(site.invalidations, site.erasing_invalidations) << c.name;
    EXPECT_EQ(ctrl.IsModified(), c.modifies) << c.name;
    ctrl.OnDraw(bounds_);
    EXPECT_FALSE(ctrl.IsModified()) << c.name;  // a completed paint clears it
  }
}

TEST_F(ControlTest, ScrollingAddsToTheOffsets) {
  EXPECT_EQ(ctrl_->xScroll(5), 5);
  EXPECT_EQ(ctrl_->xScroll(5), 10);
  ctrl_->Scroll(-5, 3);
  EXPECT_EQ(ctrl_->GetxOffset(), 5);
  EXPECT_EQ(ctrl_->GetyOffset(), 3);
  EXPECT_EQ(ctrl_->yScroll(-4), -1);
  ctrl_->SetOffset(2147483647, 0);
  EXPECT_EQ(ctrl_->xScroll(1), -2147483647 - 1);  // 32-bit arithmetic wraps
  ctrl_->SetObject(0, 1);
  ctrl_->SetOffset(3, -2);
  ctrl_->OnDraw(bounds_);
  EXPECT_EQ(PixelAt(ctrl_->Picture(), 41, 11), 0u);  // the item's black top-left pixel, moved
}

TEST_F(ControlTest, MouseMessagesBecomeTheStockEvents) {
  ctrl_->OnMouseDown(1, 2, 30, 40);
  ctrl_->OnMouseMove(0, 0, -1, 5);
  ctrl_->OnMouseUp(4, 1, 7, 8);
  ASSERT_EQ(site_.events.size(), 4u);
  EXPECT_EQ(site_.events[1].dispid, dispid::kMouseDown);
  EXPECT_EQ(site_.events[1].args, (std::vector<std::int32_t>{1, 2, 30, 40}));
  EXPECT_EQ(site_.events[2].dispid, dispid::kMouseMove);
  EXPECT_EQ(site_.events[2].args, (std::vector<std::int32_t>{0, 0, -1, 5}));
  EXPECT_EQ(site_.events[3].dispid, dispid::kMouseUp);
  EXPECT_EQ(site_.events[3].args, (std::vector<std::int32_t>{4, 1, 7, 8}));
}

TEST_F(ControlTest, PathMethodsReachTheFileSet) {
  EXPECT_FALSE(ctrl_->SetCustomMulFile(20, "/x"));
  EXPECT_FALSE(ctrl_->SetCustomMulFile(3, ""));
  EXPECT_TRUE(ctrl_->SetCustomMulFile(45, "/some/file"));
  EXPECT_EQ(ctrl_->GetCustomMulPath(45), "/some/file");
  ctrl_->SetMulPath("/d");
  EXPECT_EQ(ctrl_->GetMulPath(), "/d/");
  EXPECT_EQ(ctrl_->GetCustomMulPath(3), "/d/artidx.mul");
  EXPECT_EQ(ctrl_->GetCustomMulPath(45), "/some/file");
  EXPECT_EQ(ctrl_->GetCustomMulPath(100), "");
}

TEST_F(ControlTest, AChangeOfPathsDrawsOnlyTheNewFilesArtWithItsTables) {
  // Another client: land 1, item 1 and the multis' item 37 differ (37 in height too); the rest is absent,
  // the patch file too, so that hues 9 to 24 keep their unpatched ramps.
  testing_support::TempFolder other;
  mkclient::ClientFolder client = mkclient::StandardClient();
  client.files.erase("verdata.mul");
  mkclient::IndexedFiles art;
  art.Set(1, mkclient::EncodeLandTile(mkclient::StandardLandColors(3)));
  art.Set(0x4001, mkclient::EncodeItemArt(mkclient::StandardItem(2)));
  art.Set(0x4000 + mkclient::kTallMagenta, mkclient::EncodeItemArt(mkclient::StandardComponentItem(mkclient::kOrange)));
  client.files["artidx.mul"] = art.Index(0x10000);
  client.files["art.mul"] = art.Data();
  std::string error;
  ASSERT_TRUE(client.Write(other.Path(), error)) << error;
  other.Write("artLegacyMUL.uop", mkclient::ContainerTwin(client).files.at("artLegacyMUL.uop"));
  const struct {
    const char* name;
    void (*change)(CTilvoCtrl&, const testing_support::TempFolder&);
  } changes[] = {
      {"SetMulPath", [](CTilvoCtrl& c, const testing_support::TempFolder& f) { c.SetMulPath(f.Path()); }},
      {"SetCustomMulFile", [](CTilvoCtrl& c, const testing_support::TempFolder& f) {
         c.SetCustomMulFile(3, f.File("artidx.mul"));
         c.SetCustomMulFile(4, f.File("art.mul"));
         c.SetCustomMulFile(36, f.File("verdata.mul"));
       }},
      {"SetCustomMulFile to a container", [](CTilvoCtrl& c, const testing_support::TempFolder& f) {
         c.SetCustomMulFile(3, f.File("no-index-is-read.mul"));
         c.SetCustomMulFile(4, f.File("artLegacyMUL.uop"));
         c.SetCustomMulFile(36, f.File("verdata.mul"));
       }},
  };
  const struct {
    std::int16_t type;
    std::int32_t index;
    std::int16_t flags;
    std::int16_t color;
    Rect bounds;
  } shots[] = {{0, 1, 0, 0, bounds_},
               {0, 1, 0, 10, bounds_},
               {2, 1, 0, 0, {0, 0, 160, 160}},
               {8, 514, 0x70, 0, {0, 0, 640, 480}}};
  for (const auto& change : changes) {
    for (const auto& shot : shots) {
      auto draw = [&](CTilvoCtrl& c) {
        c.SetObject(shot.type, shot.index);
        c.SetArtColor(shot.color);
        c.SetDrawFlags(shot.flags);
        c.OnDraw(shot.bounds);
        return c.Picture().bytes;
      };
      HeadlessSite site;
      CTilvoCtrl ctrl(site, folder_.Path());
      const std::vector<std::uint8_t> before = draw(ctrl);
      change.change(ctrl, other);
      HeadlessSite freshSite;
      CTilvoCtrl fresh(freshSite, other.Path());
      const std::vector<std::uint8_t> expected = draw(fresh);
      EXPECT_NE(before, expected) << change.name << " " << shot.type;
      EXPECT_EQ(draw(ctrl), expected) << change.name << " " << shot.type;
    }
  }
}

TEST_F(ControlTest, ListsTheEntriesTheClientHoldsFromEitherGeneration) {
  using List = std::vector<std::uint32_t>;
  const struct {
    std::int16_t type;
    List held;
  } cases[] = {
      // 4 and 5: no offset, no length; item 0x4001 is the entry of character test 1
      {0, {1, 2, 3, 6, 7, 8, 9, 16, 37, 38, 39, 40, 41, 0x4001, 0x4005, 0xFFF0}},
      {4, {1, 2, 3}},
      {2, {1, 2, 3, 4, 5, mkclient::kHighMulti}},
      {3, {1, 2, 3, 4, 5, 6}},  // 6 in verdata alone
      {5, {1, 2, 3, 4, 5, 6, 7}},
      {7, {1, 2, 3}},
      // Bodies in the set and under the number the body tables give them.
      {1, {1, 2, 3, 4, 5, 6, 7, 114, 115, 116, 117, 118, 119, 120, 121, 122, 135, 138, 139, 144, 155, 157, 185, 190,
           200, 300, 301, 400}},
      {8, {}},
      {11, {}},
  };
  testing_support::TempFolder twin;
  std::string error;
  ASSERT_TRUE(mkclient::ContainerTwin(mkclient::StandardClient()).Write(twin.Path(), error)) << error;
  HeadlessSite twinSite;
  CTilvoCtrl containers(twinSite, twin.Path());
  for (const auto& c : cases) {
    EXPECT_EQ(ctrl_->GetHeldEntries(c.type), c.held) << c.type;
    EXPECT_EQ(containers.GetHeldEntries(c.type), c.held) << c.type;
  }
  // A missing data file holds nothing, whatever its index says.
  ASSERT_TRUE(ctrl_->SetCustomMulFile(4, folder_.File("missing.mul")));
  EXPECT_EQ(ctrl_->GetHeldEntries(0), List{});
}

TEST_F(ControlTest, HuesGiveTheirRampsAndNames) {
  EXPECT_EQ(ctrl_->GetHueCount(), 24u);  // 4 blocks, the last never applied
  for (const std::uint16_t hue : {std::uint16_t{1}, std::uint16_t{9}, std::uint16_t{17}, std::uint16_t{24}}) {
    const std::optional<HueRecord> record = ctrl_->GetHueRecord(hue);
    ASSERT_TRUE(record) << hue;
    const mkclient::HueRamp ramp = mkclient::PatchedHueRamp(hue);  // blocks 1 and 2 come from verdata
    EXPECT_EQ(record->name, "hue " + std::to_string(hue));
    EXPECT_EQ(record->tableStart, ramp.front());
    EXPECT_EQ(record->tableEnd, ramp.back());
    for (std::size_t i = 0; i < ramp.size(); ++i) EXPECT_EQ(record->colors[i], ToColorRef(ramp[i])) << hue << " " << i;
  }
  EXPECT_FALSE(ctrl_->GetHueRecord(0));
  EXPECT_FALSE(ctrl_->GetHueRecord(25));
  ASSERT_TRUE(ctrl_->SetCustomMulFile(32, folder_.File("missing.mul")));
  EXPECT_EQ(ctrl_->GetHueCount(), 0u);
  EXPECT_FALSE(ctrl_->GetHueRecord(1));
}

}  // namespace
}  // namespace tilvo
