#include "monitor/core/profile_file.h"

#include <gtest/gtest.h>

namespace monitor {
namespace {

TEST(FindProfileValue, FindsValuesAsTheProfileCallsDo) {
  struct Row {
    const char* text;
    const char* section;
    const char* key;
    std::optional<std::string> value;
  };
  const Row rows[] = {
      {"[Settings]\nHOST=a\n", "Settings", "host", "a"},
      {"[settings]\r\nhost=a\r\n", "SETTINGS", "HOST", "a"},
      {"  [ Settings ]  \n  HOST  =  spaced out  \n", "Settings", "host", "spaced out"},
      {"[Settings]\nHOST=\"quoted \"\n", "Settings", "host", "quoted "},
      {"[Settings]\nHOST='single'\n", "Settings", "host", "single"},
      {"[Settings]\nHOST=\"unbalanced\n", "Settings", "host", "\"unbalanced"},
      {"[Settings]\nHOST=a=b\n", "Settings", "host", "a=b"},
      {"[Settings]\nHOST=\n", "Settings", "host", ""},
      {"[Settings]\nHOST\n", "Settings", "host", ""},
      {"[Settings]\nHOST=first\nHOST=second\n", "Settings", "host", "first"},
      {"[Settings]\nPORT=1", "Settings", "port", "1"},
      {"[Settings]\n;HOST=commented\nHOST=real\n", "Settings", "host", "real"},
      {"[Settings]\n;HOST=commented\n", "Settings", "host", std::nullopt},
      {"HOST=before any section\n[Settings]\n", "Settings", "host", std::nullopt},
      {"[Other]\nHOST=a\n", "Settings", "host", std::nullopt},
      {"[Settings]\nPORT=1\n[Other]\nHOST=a\n", "Settings", "host", std::nullopt},
      {"[Settings]\nPORT=1\n[Other]\n[Settings]\nHOST=a\n", "Settings", "host", std::nullopt},
      {"[SettingsX]\nHOST=a\n", "Settings", "host", std::nullopt},
      {"[Settings]\nHOSTNAME=a\n", "Settings", "host", std::nullopt},
      {"", "Settings", "host", std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FindProfileValue(row.text, row.section, row.key), row.value) << row.text;
  }
}

TEST(SetProfileValue, ChangesOnlyTheOneLine) {
  struct Row {
    const char* before;
    const char* key;
    const char* value;
    const char* after;
  };
  const Row rows[] = {
      {"", "HOST", "h", "[Settings]\nHOST=h\n"},
      {"[Settings]\nHOST=old\nPORT=1\n", "HOST", "new", "[Settings]\nHOST=new\nPORT=1\n"},
      {"[settings]\r\nhost=old\r\n", "HOST", "new", "[settings]\r\nHOST=new\r\n"},
      {"[Settings]\nHOST=h\n\n[Other]\nX=1\n", "PORT", "2",
       "[Settings]\nHOST=h\nPORT=2\n\n[Other]\nX=1\n"},
      {"[Other]\nHOST=x\n", "HOST", "h", "[Other]\nHOST=x\n\n[Settings]\nHOST=h\n"},
      {"; my notes\n[Settings]\n; keep\nHOST=a", "HOST", "b", "; my notes\n[Settings]\n; keep\nHOST=b\n"},
      {"[Settings]\n", "HOST", "h", "[Settings]\nHOST=h\n"},
      {"[Settings]\nHOST=a\n", "HOST", "two\r\nlines", "[Settings]\nHOST=two\n"},
      {"[Settings]\nHOST=a\n", "HOST", "", "[Settings]\nHOST=\n"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(SetProfileValue(row.before, "Settings", row.key, row.value), row.after)
        << row.before;
  }
}

TEST(SetProfileValue, WhatIsWrittenReadsBack) {
  std::string text;
  text = SetProfileValue(text, "Settings", "HOST", "  padded  ");
  text = SetProfileValue(text, "Settings", "PORT", "2593");
  text = SetProfileValue(text, "Settings", "HOST", "replaced");
  EXPECT_EQ(FindProfileValue(text, "settings", "host"), "replaced");
  EXPECT_EQ(FindProfileValue(text, "settings", "port"), "2593");
}

}  // namespace
}  // namespace monitor
