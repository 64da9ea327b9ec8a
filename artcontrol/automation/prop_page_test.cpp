#include "tilvo/prop_page.h"

#include <gtest/gtest.h>

#include "artcontrol/render/art_types.h"
#include "testing/temp_folder.h"
#include "tilvo/headless_site.h"

namespace tilvo {
namespace {

enum Field : std::size_t { kType, kIndex, kColor, kX, kY };

class PropPageTest : public ::testing::Test {
 protected:
  testing_support::TempFolder folder_;
  HeadlessSite site_;
  CTilvoCtrl control_{site_, folder_.Path()};
  TilvoPropPageCore page_;
};

TEST_F(PropPageTest, StartsWithNoSelectionAndZeros) {
  EXPECT_EQ(page_.Value(kType), -1);
  for (Field f : {kIndex, kColor, kX, kY}) EXPECT_EQ(page_.Value(f), 0);
  for (std::size_t f = 0; f < TilvoPropPageCore::kFieldCount; ++f) EXPECT_FALSE(page_.IsChanged(f));
  // An untouched page writes nothing.
  control_.SetObject(3, 9);
  ASSERT_EQ(page_.WriteTo(control_), DispResult::kOk);
  EXPECT_EQ(control_.GetArtType(), 3);
  EXPECT_EQ(control_.GetArtIndex(), 9);
}

TEST_F(PropPageTest, ReadsTheControlsProperties) {
  struct Case {
    std::int16_t type;
    std::int32_t index;
    std::int16_t color;
    std::int32_t x, y;
    std::int32_t selection;
  } cases[] = {
      {3, 1234, 33, -5, 7, 3},
      {0, 0, 0, 0, 0, 0},
      {8, 0x6E0FF, -1, 2147483647, -2147483647 - 1, 8},
      {9, 400, 0, 0, 0, -1},  // an NPC of the second set: no name in the list
      {10, 400, 0, 0, 0, -1},
      {-3, 1, 0, 0, 0, -1},
  };
  for (const Case& c : cases) {
    control_.SetObject(c.type, c.index);
    control_.SetArtColor(c.color);
    control_.SetOffset(c.x, c.y);
    page_.SetValue(kIndex, 5);  // a read replaces changes not yet written
    ASSERT_EQ(page_.ReadFrom(control_), DispResult::kOk);
    EXPECT_EQ(page_.Value(kType), c.selection) << c.type;
    EXPECT_EQ(page_.Value(kIndex), c.index);
    EXPECT_EQ(page_.Value(kColor), c.color);
    EXPECT_EQ(page_.Value(kX), c.x);
    EXPECT_EQ(page_.Value(kY), c.y);
    EXPECT_FALSE(page_.IsChanged(kIndex));
  }
}

TEST_F(PropPageTest, WritesOnlyWhatTheUserChanged) {
  control_.SetObject(9, 400);  // a second-set NPC, which the list cannot show
  control_.SetOffset(11, 12);
  ASSERT_EQ(page_.ReadFrom(control_), DispResult::kOk);
  page_.SetValue(kIndex, 401);
  page_.SetValue(kY, -20);
  ASSERT_EQ(page_.WriteTo(control_), DispResult::kOk);
  EXPECT_EQ(control_.GetArtType(), 9);  // the empty selection did not overwrite it
  EXPECT_EQ(control_.GetArtIndex(), 401);
  EXPECT_EQ(control_.GetxOffset(), 11);
  EXPECT_EQ(control_.GetyOffset(), -20);
  EXPECT_FALSE(page_.IsChanged(kIndex));
}

TEST_F(PropPageTest, EachListEntryIsItsArtType) {
  // The list names the art types up to the map preview; the NPCs of the second and third sets have no entry.
  ASSERT_EQ(ArtTypeNames().size(), static_cast<std::size_t>(art_type::kMapPreview + 1));
  for (const ArtTypeRow& row : ArtTypes()) {
    if (row.code > art_type::kMapPreview) continue;
    EXPECT_EQ(ArtTypeNames()[static_cast<std::size_t>(row.code)], row.pageName);
    page_.SetValue(kType, row.code);
    ASSERT_EQ(page_.WriteTo(control_), DispResult::kOk);
    EXPECT_EQ(control_.GetArtType(), row.code);
  }
}

TEST_F(PropPageTest, AColourBeyondSixteenBitsIsRefusedAndStaysPending) {
  control_.SetArtColor(7);
  page_.SetValue(kIndex, 50);
  page_.SetValue(kColor, 70000);
  page_.SetValue(kX, 3);
  EXPECT_EQ(page_.WriteTo(control_), DispResult::kOverflow);
  EXPECT_EQ(control_.GetArtIndex(), 50);  // before the refusal
  EXPECT_EQ(control_.GetArtColor(), 7);
  EXPECT_EQ(control_.GetxOffset(), 0);  // after it: not written
  EXPECT_TRUE(page_.IsChanged(kColor));
  EXPECT_TRUE(page_.IsChanged(kX));
  page_.SetValue(kColor, 65);
  ASSERT_EQ(page_.WriteTo(control_), DispResult::kOk);
  EXPECT_EQ(control_.GetArtColor(), 65);
  EXPECT_EQ(control_.GetxOffset(), 3);
}

TEST(PropPageTemplate, FieldsNameTheControlsProperties) {
  // Each field's property is a readable and writable member of the dispatch interface.
  std::int32_t id = 202;
  for (const PageField& f : PropPageFields()) {
    EXPECT_EQ(f.id, id++);
    const MemberInfo* member = FindMember(DispIdOfName(f.property));
    ASSERT_NE(member, nullptr) << f.property;
    EXPECT_EQ(member->kind, MemberKind::kProperty);
    EXPECT_FALSE(member->read_only);
    // Inside the 250 x 62 page.
    EXPECT_LE(f.x + f.cx, kPropPageWidth) << f.label;
    EXPECT_LE(f.labelY, kPropPageHeight) << f.label;
  }
}

}  // namespace
}  // namespace tilvo
