#include "tilvo/persistence.h"

#include <gtest/gtest.h>

#include "testing/temp_folder.h"
#include "tilvo/headless_site.h"

namespace tilvo {
namespace {

class PersistenceTest : public ::testing::Test {
 protected:
  // A control over an empty client folder: persistence needs no art.
  std::unique_ptr<CTilvoCtrl> NewControl() { return std::make_unique<CTilvoCtrl>(site_, folder_.Path()); }

  testing_support::TempFolder folder_;
  HeadlessSite site_;
};

// A bag that takes nothing.
class RefusingBag : public PropertyBag {
 public:
  bool Read(std::string_view, ArgType, Variant&) override { return false; }
  bool Write(std::string_view, const Variant&) override { return false; }
};

TEST_F(PersistenceTest, SavedControlReloadsItsThreePropertiesAndNothingElse) {
  auto saved = NewControl();
  saved->SetObject(2, 15);
  saved->SetArtColor(33);
  saved->SetOffset(40, -7);
  saved->SetDrawFlags(0x0031);
  saved->SetBkColor(0x0000FF00, 0);
  TextFilePropertyBag bag;
  ASSERT_TRUE(saved->IsModified());
  ASSERT_EQ(SaveProperties(*saved, bag), 0);
  EXPECT_FALSE(saved->IsModified());
  const std::string path = folder_.File("props/control.txt");
  ASSERT_EQ(bag.SaveFile(path), TextFilePropertyBag::kOk);

  TextFilePropertyBag reread;
  ASSERT_EQ(reread.LoadFile(path), TextFilePropertyBag::kOk);
  EXPECT_EQ(reread.Text(), "_Version=65536\nArtType=2\nArtIndex=15\nArtColor=33\n");
  auto loaded = NewControl();
  LoadProperties(*loaded, reread);
  EXPECT_EQ(loaded->GetArtType(), 2);
  EXPECT_EQ(loaded->GetArtIndex(), 15);
  EXPECT_EQ(loaded->GetArtColor(), 33);
  EXPECT_EQ(loaded->GetxOffset(), 0);
  EXPECT_EQ(loaded->GetyOffset(), 0);
  EXPECT_EQ(loaded->GetDrawFlags(), 0);
  EXPECT_EQ(loaded->GetBkColor(0), -1);
}

TEST_F(PersistenceTest, ExtremeValuesSurviveTheRoundTrip) {
  struct Case {
    std::int16_t type;
    std::int32_t index;
    std::int16_t color;
  } cases[] = {
      {-1, -1, -1},
      {32767, 2147483647, 32767},
      {-32768, -2147483647 - 1, -32768},
      {10, 0x6E0FF, 2992},
  };
  for (const Case& c : cases) {
    auto saved = NewControl();
    saved->SetObject(c.type, c.index);
    saved->SetArtColor(c.color);
    TextFilePropertyBag bag;
    ASSERT_EQ(SaveProperties(*saved, bag), 0);
    TextFilePropertyBag copy;
    copy.ParseText(bag.Text());
    auto loaded = NewControl();
    LoadProperties(*loaded, copy);
    EXPECT_EQ(loaded->GetArtType(), c.type);
    EXPECT_EQ(loaded->GetArtIndex(), c.index);
    EXPECT_EQ(loaded->GetArtColor(), c.color);
  }
}

TEST_F(PersistenceTest, MissingOrDamagedValuesTakeTheirDefaults) {
  struct Case {
    const char* name;
    const char* text;
    std::int16_t type;
    std::int32_t index;
    std::int16_t color;
  } cases[] = {
      {"empty bag", "", 0, 0, 0},
      {"only ArtIndex", "ArtIndex=7\n", 0, 7, 0},
      {"not numbers", "ArtType=two\nArtIndex=0x10\nArtColor=\n", 0, 0, 0},
      {"ArtType beyond 16 bits", "ArtType=32768\nArtIndex=3\n", 0, 3, 0},
      {"ArtColor beyond 16 bits", "ArtColor=70000\nArtType=4\n", 4, 0, 0},
      {"ArtIndex beyond 32 bits", "ArtIndex=4294967296\nArtColor=5\n", 0, 0, 5},
      {"trailing text", "ArtType=3 # items\nArtIndex=12abc\n", 0, 0, 0},
      {"a newer version loads alike", "_Version=131072\nArtType=1\n", 1, 0, 0},
      {"names are exact", "arttype=5\nArtType =6\n", 0, 0, 0},
      {"comments and stray lines", "# ArtType=5\n;ArtIndex=5\nArtColor\nArtColor=8\r\n", 0, 0, 8},
      {"the last of a name wins", "ArtType=1\nArtType=2\n", 2, 0, 0},
      {"a plus sign is a number", "ArtIndex=+9\n", 0, 9, 0},
  };
  for (const Case& c : cases) {
    auto control = NewControl();
    control->SetObject(6, 99);  // loading replaces these
    control->SetArtColor(77);
    TextFilePropertyBag bag;
    bag.ParseText(c.text);
    LoadProperties(*control, bag);
    EXPECT_EQ(control->GetArtType(), c.type) << c.name;
    EXPECT_EQ(control->GetArtIndex(), c.index) << c.name;
    EXPECT_EQ(control->GetArtColor(), c.color) << c.name;
  }
}

TEST_F(PersistenceTest, ResetLoadsTheDefaultsAndLeavesTheRest) {
  auto control = NewControl();
  control->SetObject(5, 300);
  control->SetArtColor(12);
  control->SetOffset(3, 4);
  ResetProperties(*control);
  EXPECT_EQ(control->GetArtType(), 0);
  EXPECT_EQ(control->GetArtIndex(), 0);
  EXPECT_EQ(control->GetArtColor(), 0);
  EXPECT_EQ(control->GetxOffset(), 3);
  EXPECT_EQ(control->GetyOffset(), 4);
}

TEST_F(PersistenceTest, LoadingAsksForANewPicture) {
  auto control = NewControl();
  control->OnDraw({0, 0, 64, 64});
  ASSERT_FALSE(control->IsModified());
  TextFilePropertyBag bag;
  bag.ParseText("ArtType=4\nArtIndex=1\n");
  const int before = site_.invalidations;
  LoadProperties(*control, bag);
  EXPECT_GT(site_.invalidations, before);
  EXPECT_FALSE(control->IsModified());  // what was loaded needs no saving
}

TEST_F(PersistenceTest, RefusalsAreReported) {
  auto control = NewControl();
  control->SetOffset(1, 1);
  RefusingBag refusing;
  EXPECT_EQ(SaveProperties(*control, refusing), -1);
  EXPECT_TRUE(control->IsModified());

  TextFilePropertyBag bag;
  bag.ParseText("ArtType=3\n");
  EXPECT_EQ(bag.LoadFile(folder_.File("missing.txt")), TextFilePropertyBag::kCannotRead);
  EXPECT_EQ(bag.LoadFile(folder_.Path()), TextFilePropertyBag::kCannotRead);  // a folder
  EXPECT_EQ(bag.Text(), "ArtType=3\n");                                       // unchanged by the failures
  const std::string blocker = folder_.WriteText("plain", "x");
  EXPECT_EQ(bag.SaveFile(blocker + "/inside.txt"), TextFilePropertyBag::kCannotWrite);
  EXPECT_EQ(bag.SaveFile(folder_.Dir()), TextFilePropertyBag::kCannotWrite);
}

TEST(TextFilePropertyBag, KeepsTextsAndBooleansAndRefusesNamesItCannotHold) {
  TextFilePropertyBag bag;
  EXPECT_TRUE(bag.Write("Path", Variant::Text("C:\\uo\\\nsecond line\r")));
  EXPECT_TRUE(bag.Write("Flag", Variant::Bool(true)));
  EXPECT_TRUE(bag.Write("Off", Variant::Bool(false)));
  for (const char* name : {"", "a=b", "two\nlines", "#comment", ";comment", " padded", "padded "}) {
    EXPECT_FALSE(bag.Write(name, Variant::I4(1))) << name;
  }
  EXPECT_FALSE(bag.Write("Empty", Variant()));

  TextFilePropertyBag copy;
  copy.ParseText(bag.Text());
  Variant v;
  ASSERT_TRUE(copy.Read("Path", ArgType::kText, v));
  EXPECT_EQ(v.text, "C:\\uo\\\nsecond line\r");
  ASSERT_TRUE(copy.Read("Flag", ArgType::kBool, v));
  EXPECT_TRUE(v.boolean);
  ASSERT_TRUE(copy.Read("Off", ArgType::kBool, v));
  EXPECT_FALSE(v.boolean);
  ASSERT_TRUE(copy.Read("Flag", ArgType::kI2, v));
  EXPECT_EQ(v.integer, -1);
  EXPECT_FALSE(copy.Read("Path", ArgType::kI4, v));
  EXPECT_FALSE(copy.Read("Flag", ArgType::kNone, v));
  EXPECT_FALSE(copy.Read("Missing", ArgType::kText, v));
}

}  // namespace
}  // namespace tilvo
