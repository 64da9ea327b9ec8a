// orvo's JSON must always be valid, whatever bytes the service's names hold.
#include "tools/orvo/json.h"

#include <gtest/gtest.h>

#include "tools/orvo/tests/json_check.h"

namespace orvo {
namespace {

using testing::JsonValue;
using testing::ParseJson;

TEST(JsonTest, EveryStringReadsBack) {
  struct Case {
    std::string bytes;
    std::string read_back;  // as UTF-8
  } cases[] = {
      {"plain name.scp", "plain name.scp"},
      {"quote \" backslash \\ tab \t", "quote \" backslash \\ tab \t"},
      {"line\r\nend", "line\r\nend"},
      {std::string("nul\0bell\x07", 9), std::string("nul\0bell\x07", 9)},
      {"caf\xC3\xA9", "caf\xC3\xA9"},              // UTF-8 stays
      {"caf\xE9", "caf\xC3\xA9"},                  // a lone byte is the character of its number
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},  // a surrogate is not UTF-8
      {"\xC3", "\xC3\x83"},                        // nor is a cut sequence
  };
  for (const Case& c : cases) {
    JsonValue v;
    ASSERT_TRUE(ParseJson(JsonString(c.bytes), &v)) << JsonString(c.bytes);
    EXPECT_EQ(v.text, c.read_back) << JsonString(c.bytes);
  }
}

TEST(JsonTest, WriterPutsCommasBetweenMembersAndItems) {
  JsonWriter w;
  w.BeginObject().Key("a").BeginArray().Number(-1).Bool(true).Null().BeginObject().EndObject().EndArray();
  w.Key("b").String("x").EndObject();
  EXPECT_EQ(w.Text(), "{\"a\":[-1,true,null,{}],\"b\":\"x\"}\n");
  JsonValue v;
  EXPECT_TRUE(ParseJson(w.Text(), &v));
  EXPECT_EQ(v["a"].items.size(), 4u);
}

}  // namespace
}  // namespace orvo
