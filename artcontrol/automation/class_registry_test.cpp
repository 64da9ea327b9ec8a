#include "artcontrol/automation/class_registry.h"

#include <gtest/gtest.h>

namespace tilvo {
namespace {

TEST(ClassRegistry, ReadsItsOwnTextBack) {
  ClassRegistry registry;
  ASSERT_TRUE(registry.SetValue("CLSID\\{A}", "@", "Name with = sign"));
  ASSERT_TRUE(registry.SetValue("CLSID\\{A}\\InprocServer32", "ThreadingModel", "Apartment"));
  ASSERT_TRUE(registry.CreateKey("CLSID\\{A}\\Insertable"));
  ASSERT_TRUE(registry.SetValue("CLSID\\{A}", "@", "Renamed = twice"));  // replaces in place
  const ClassRegistry copy = ClassRegistry::Parse(registry.Text());
  EXPECT_EQ(copy.Text(), registry.Text());
  EXPECT_EQ(copy.Value("clsid\\{a}", "@"), "Renamed = twice");  // names compare without case
  EXPECT_EQ(copy.Value("CLSID\\{A}\\InprocServer32", "threadingmodel"), "Apartment");
  EXPECT_TRUE(copy.HasKey("CLSID\\{A}\\Insertable"));
  EXPECT_EQ(copy.Value("CLSID\\{A}\\Insertable", "@"), std::nullopt);
}

TEST(ClassRegistry, RefusesWhatItsTextCouldNotHold) {
  ClassRegistry registry;
  struct Case {
    const char* key;
    const char* name;
    const char* value;
  } cases[] = {
      {"", "@", "v"},         {"A]B", "@", "v"},        {"A\nB", "@", "v"},      {"\\A", "@", "v"},
      {"A\\", "@", "v"},      {" A", "@", "v"},         {"A", "", "v"},          {"A", "x=y", "v"},
      {"A", "[x", "v"},       {"A", ";x", "v"},         {"A", "x", "two\nlines"}, {"A", "x", "carriage\r"},
      {"A", "x", " padded"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(registry.SetValue(c.key, c.name, c.value)) << c.key << " " << c.name << " " << c.value;
  }
  EXPECT_EQ(registry.Text(), "");
}

TEST(ClassRegistry, ParsingSkipsWhatIsNoEntry) {
  const ClassRegistry registry = ClassRegistry::Parse(
      "stray=outside any key\n"
      "; comment\n"
      "# comment\n"
      "[ Spaced\\Key ]  \r\n"
      "  value = 1 \r\n"
      "no equals sign\n"
      "[Broken\n"
      "lost=2\n"
      "[Spaced\\Key]\n"
      "VALUE=3\n"
      "other=4");
  EXPECT_EQ(registry.Value("Spaced\\Key", "value"), "3");
  EXPECT_EQ(registry.Value("Spaced\\Key", "other"), "4");
  EXPECT_EQ(registry.Value("Spaced\\Key", "stray"), std::nullopt);
  EXPECT_FALSE(registry.HasKey("Broken"));
  EXPECT_EQ(registry.Text(), "[Spaced\\Key]\nvalue=3\nother=4\n");
}

TEST(ClassRegistry, DeletesWholeTreesOnly) {
  ClassRegistry registry;
  for (const char* key : {"CLSID\\{A}", "CLSID\\{A}\\ProgID", "CLSID\\{A}\\Sub\\Deeper", "CLSID\\{AB}", "CLSIDX"}) {
    ASSERT_TRUE(registry.CreateKey(key));
  }
  EXPECT_TRUE(registry.HasSubkeys("CLSID\\{A}"));
  EXPECT_TRUE(registry.HasKey("CLSID"));  // a key exists when keys lie below it
  EXPECT_FALSE(registry.HasSubkeys("CLSID\\{AB}"));
  EXPECT_TRUE(registry.DeleteTree("clsid\\{a}"));
  EXPECT_FALSE(registry.HasKey("CLSID\\{A}\\Sub\\Deeper"));
  EXPECT_TRUE(registry.HasKey("CLSID\\{AB}"));  // a longer name is no key below
  EXPECT_TRUE(registry.HasKey("CLSIDX"));
  EXPECT_FALSE(registry.DeleteTree("CLSID\\{A}"));
}

TEST(ParseGuid, ReadsTheRegistryFormInEitherCase) {
  const std::optional<Guid> upper = ParseGuid("{0904F7B3-2339-44C9-857C-6EB6CFEFA3B6}");
  ASSERT_TRUE(upper);
  EXPECT_EQ(GuidText(*upper), GuidText(kControlClass.guid));
  const std::optional<Guid> lower = ParseGuid("{0904f7b3-2339-44c9-857c-6eb6cfefa3b6}");
  ASSERT_TRUE(lower);
  EXPECT_EQ(GuidText(*lower), GuidText(kControlClass.guid));
  for (const char* bad : {"", "{}", "0904F7B3-2339-44C9-857C-6EB6CFEFA3B6", "{0904F7B3-2339-44C9-857C-6EB6CFEFA3B}",
                          "{0904F7B3-2339-44C9-857C-6EB6CFEFA3B67}", "{0904F7B3-2339-44C9-857C_6EB6CFEFA3B6}",
                          "{0904F7B3-2339-44C9-857C-6EB6CFEFA3BG}", "{0904F7B32339-44C9-857C-6EB6CFEFA3B6-}"}) {
    EXPECT_EQ(ParseGuid(bad), std::nullopt) << bad;
  }
}

}  // namespace
}  // namespace tilvo
