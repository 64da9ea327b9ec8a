#include <gtest/gtest.h>

#include "testing/temp_folder.h"
#include "tilvo/headless_site.h"
#include "tilvo/tilvo.h"

namespace tilvo {
namespace {

using V = Variant;

class DispatchTest : public ::testing::Test {
 protected:
  DispResult Call(std::int32_t dispid, InvokeKind kind, std::vector<Variant> args, Variant* result = nullptr) {
    return ctrl_.Invoke(dispid, kind, args, result);
  }
  Variant Get(std::int32_t dispid, std::vector<Variant> args = {}) {
    Variant v;
    EXPECT_EQ(Call(dispid, InvokeKind::kPropertyGet, std::move(args), &v), DispResult::kOk) << dispid;
    return v;
  }
  testing_support::TempFolder folder_;
  HeadlessSite site_;
  CTilvoCtrl ctrl_{site_, folder_.Path()};
};

TEST_F(DispatchTest, PropertiesRoundTripWithTheirTypes) {
  struct Case {
    std::int32_t dispid;
    Variant value;
    ArgType type;
    std::int32_t expected;
  } cases[] = {
      {dispid::kxOffset, V::I4(-70000), ArgType::kI4, -70000},
      {dispid::kyOffset, V::I2(-3), ArgType::kI4, -3},            // a 16-bit argument widens
      {dispid::kArtType, V::I4(6), ArgType::kI2, 6},               // a 32-bit one narrows when it fits
      {dispid::kArtIndex, V::I4(-1), ArgType::kI4, -1},
      {dispid::kArtColor, V::I2(-1), ArgType::kI2, -1},
      {dispid::kDrawFlags, V::Bool(true), ArgType::kI2, -1},       // an automation true is all bits set
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Call(c.dispid, InvokeKind::kPropertyPut, {c.value}), DispResult::kOk) << c.dispid;
    Variant v = Get(c.dispid);
    EXPECT_EQ(v.type, c.type) << c.dispid;
    EXPECT_EQ(v.integer, c.expected) << c.dispid;
  }
  EXPECT_EQ(ctrl_.GetArtIndex(), -1);
  EXPECT_EQ(Get(dispid::kReadyState).integer, 2);
}

TEST_F(DispatchTest, BkColorTakesItsParameterAndIgnoresTheValue) {
  int invalidations = site_.invalidations;
  ASSERT_EQ(Call(dispid::kBkColor, InvokeKind::kPropertyPut, {V::I4(0x0000FF00), V::I4(0x123)}), DispResult::kOk);
  EXPECT_EQ(Get(dispid::kBkColor, {V::I4(0)}).integer, 0x0000FF00);
  EXPECT_EQ(Get(dispid::kBkColor, {V::I4(-77)}).integer, 0x0000FF00);
  EXPECT_EQ(site_.invalidations, invalidations);
  EXPECT_EQ(Call(dispid::kBkColor, InvokeKind::kPropertyGet, {}), DispResult::kBadParamCount);
  EXPECT_EQ(Call(dispid::kBkColor, InvokeKind::kPropertyPut, {V::I4(1)}), DispResult::kBadParamCount);
}

TEST_F(DispatchTest, MethodsReachTheControl) {
  Variant r;
  ASSERT_EQ(Call(dispid::kSetObject, InvokeKind::kMethod, {V::I2(4), V::I4(9)}), DispResult::kOk);
  EXPECT_EQ(ctrl_.GetArtType(), 4);
  EXPECT_EQ(ctrl_.GetArtIndex(), 9);
  ASSERT_EQ(Call(dispid::kxScroll, InvokeKind::kMethod, {V::I4(5)}, &r), DispResult::kOk);
  ASSERT_EQ(Call(dispid::kxScroll, InvokeKind::kMethod, {V::I4(5)}, &r), DispResult::kOk);
  EXPECT_EQ(r.type, ArgType::kI4);
  EXPECT_EQ(r.integer, 10);
  ASSERT_EQ(Call(dispid::kScroll, InvokeKind::kMethod, {V::I4(-5), V::I4(3)}), DispResult::kOk);
  EXPECT_EQ(ctrl_.GetxOffset(), 5);
  EXPECT_EQ(ctrl_.GetyOffset(), 3);
  ASSERT_EQ(Call(dispid::kyScroll, InvokeKind::kMethod, {V::I4(4)}, &r), DispResult::kOk);
  EXPECT_EQ(r.integer, 7);
  ASSERT_EQ(Call(dispid::kSetOffset, InvokeKind::kMethod, {V::I4(1), V::I4(2)}), DispResult::kOk);
  EXPECT_EQ(ctrl_.GetyOffset(), 2);

  ASSERT_EQ(Call(dispid::kAddPreviewItem, InvokeKind::kMethod, {V::I2(0x0EED), V::I2(1443), V::I2(1678), V::I2(20), V::I2(0)}, &r),
            DispResult::kOk);
  EXPECT_EQ(r.integer, 0);
  ASSERT_EQ(Call(dispid::kAddPreviewItem, InvokeKind::kMethod, {V::I2(1), V::I2(2), V::I2(3), V::I2(4), V::I2(5)}, &r),
            DispResult::kOk);
  EXPECT_EQ(r.integer, 1);
  ASSERT_EQ(Call(dispid::kRemovePreviewItem, InvokeKind::kMethod, {V::I2(1), V::I2(2), V::I2(3), V::I2(4), V::I2(5)}),
            DispResult::kOk);
  EXPECT_FALSE(ctrl_.PreviewItems()[1]);
  ASSERT_EQ(Call(dispid::kRemovePreviewItemAt, InvokeKind::kMethod, {V::I4(0)}), DispResult::kOk);
  EXPECT_FALSE(ctrl_.PreviewItems()[0]);
  ASSERT_EQ(Call(dispid::kRemovePreviewItems, InvokeKind::kMethod, {}), DispResult::kOk);
  EXPECT_TRUE(ctrl_.PreviewItems().empty());

  ASSERT_EQ(Call(dispid::kAddHideStatic, InvokeKind::kMethod,
                 {V::I2(7), V::I4(70000), V::I2(1), V::I2(2), V::I2(3), V::I2(4)}, &r),
            DispResult::kOk);
  EXPECT_EQ(ctrl_.HiddenStatics()[0]->block, 70000);
  ASSERT_EQ(Call(dispid::kRemoveHideStatic, InvokeKind::kMethod,
                 {V::I2(7), V::I4(70000), V::I2(1), V::I2(2), V::I2(3), V::I2(4)}),
            DispResult::kOk);
  EXPECT_FALSE(ctrl_.HiddenStatics()[0]);
  ASSERT_EQ(Call(dispid::kAddHideStatic, InvokeKind::kMethod, {V::I2(7), V::I4(1), V::I2(1), V::I2(2), V::I2(3), V::I2(4)}, &r),
            DispResult::kOk);
  EXPECT_EQ(r.integer, 1);
  ASSERT_EQ(Call(dispid::kRemoveHideStaticAt, InvokeKind::kMethod, {V::I4(1)}), DispResult::kOk);
  ASSERT_EQ(Call(dispid::kRemoveHideStatics, InvokeKind::kMethod, {}), DispResult::kOk);
  EXPECT_TRUE(ctrl_.HiddenStatics().empty());

  int invalidations = site_.invalidations;
  ASSERT_EQ(Call(dispid::kRedrawControl, InvokeKind::kMethod, {}), DispResult::kOk);
  EXPECT_EQ(site_.invalidations, invalidations + 1);

  ASSERT_EQ(Call(dispid::kSetMulPath, InvokeKind::kMethod, {V::Text("/client")}), DispResult::kOk);
  ASSERT_EQ(Call(dispid::kGetMulPath, InvokeKind::kMethod, {}, &r), DispResult::kOk);
  EXPECT_EQ(r.type, ArgType::kText);
  EXPECT_EQ(r.text, "/client/");
  ASSERT_EQ(Call(dispid::kSetCustomMulFile, InvokeKind::kMethod, {V::I2(20), V::Text("/x")}, &r), DispResult::kOk);
  EXPECT_EQ(r.type, ArgType::kBool);
  EXPECT_FALSE(r.boolean);
  ASSERT_EQ(Call(dispid::kSetCustomMulFile, InvokeKind::kMethod, {V::I2(45), V::Text("/x")}, &r), DispResult::kOk);
  EXPECT_TRUE(r.boolean);
  ASSERT_EQ(Call(dispid::kGetCustomMulPath, InvokeKind::kMethod, {V::I2(45)}, &r), DispResult::kOk);
  EXPECT_EQ(r.text, "/x");
}

TEST_F(DispatchTest, RefusesWhatTheDeclarationsDoNotAllow) {
  struct Case {
    const char* name;
    std::int32_t dispid;
    InvokeKind kind;
    std::vector<Variant> args;
    DispResult expected;
  } cases[] = {
      {"unknown DISPID", 26, InvokeKind::kMethod, {}, DispResult::kMemberNotFound},
      {"DISPID 0", 0, InvokeKind::kPropertyGet, {}, DispResult::kMemberNotFound},
      {"an event's DISPID", dispid::kMouseDown, InvokeKind::kMethod, {}, DispResult::kMemberNotFound},
      {"too few", dispid::kSetObject, InvokeKind::kMethod, {V::I2(1)}, DispResult::kBadParamCount},
      {"too many", dispid::kRedrawControl, InvokeKind::kMethod, {V::I2(1)}, DispResult::kBadParamCount},
      {"put without a value", dispid::kArtType, InvokeKind::kPropertyPut, {}, DispResult::kBadParamCount},
      {"get with an argument", dispid::kArtType, InvokeKind::kPropertyGet, {V::I2(1)}, DispResult::kBadParamCount},
      {"text for a number", dispid::kArtIndex, InvokeKind::kPropertyPut, {V::Text("5")}, DispResult::kTypeMismatch},
      {"number for text", dispid::kSetMulPath, InvokeKind::kMethod, {V::I4(5)}, DispResult::kTypeMismatch},
      {"empty argument", dispid::kxScroll, InvokeKind::kMethod, {Variant{}}, DispResult::kTypeMismatch},
      {"too wide for 16 bits", dispid::kArtType, InvokeKind::kPropertyPut, {V::I4(32768)}, DispResult::kOverflow},
      {"too low for 16 bits", dispid::kSetObject, InvokeKind::kMethod, {V::I4(-32769), V::I4(0)}, DispResult::kOverflow},
      {"read-only", dispid::kReadyState, InvokeKind::kPropertyPut, {V::I4(1)}, DispResult::kNotSupported},
      {"property as method", dispid::kxOffset, InvokeKind::kMethod, {}, DispResult::kNotSupported},
      {"method as property", dispid::kGetMulPath, InvokeKind::kPropertyGet, {}, DispResult::kNotSupported},
      {"method put", dispid::kRedrawControl, InvokeKind::kPropertyPut, {V::I4(1)}, DispResult::kNotSupported},
  };
  for (const Case& c : cases) {
    Variant r = V::I4(99);
    EXPECT_EQ(Call(c.dispid, c.kind, c.args, &r), c.expected) << c.name;
    EXPECT_EQ(r.integer, 99) << c.name;  // a refused call leaves the result alone
  }
  // Nothing refused changed the control.
  EXPECT_EQ(ctrl_.GetArtType(), 0);
  EXPECT_EQ(ctrl_.GetArtIndex(), 0);
  EXPECT_EQ(ctrl_.GetReadyState(), 2);
}

}  // namespace
}  // namespace tilvo
