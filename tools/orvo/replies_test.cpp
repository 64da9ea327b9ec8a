// The reply texts, the number parsers, the command words and the directory
// records: the tables the exchanges rely on.
#include "tools/orvo/replies.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/orvo/command_words.h"
#include "tools/orvo/directory_record.h"
#include "tools/orvo/results.h"

namespace orvo {
namespace {

using std::string_literals::operator""s;

TEST(ReplyTest, LoginRepliesMapToTheirResults) {
  struct Case {
    std::string reply;
    int result;
  } cases[] = {
      {"Login successful. Protocol 1.0\r\n", kOk},
      {"Login failed.  Bad userid or password.\r\n", kBadCredentials},
      {"Login failed.  Insufficient priveleges.\r\n", kInsufficientLevel},
      {"Login failed.  Account file not found.\r\n", kAccountFileMissing},
      {"Login successful. Protocol 1.0", kProtocolError},  // no line end
      {"Login failed. Bad userid or password.\r\n", kProtocolError},  // one blank
      {"Password: ", kProtocolError},
  };
  for (const Case& c : cases) EXPECT_EQ(LoginReplyResult(c.reply), c.result) << c.reply;
}

TEST(ReplyTest, FailureRepliesMapToTheirResults) {
  struct Case {
    std::string reply;
    int result;
  } cases[] = {
      {"This user does not have sufficient priveleges on the remote server\r\n", kRefused},
      {"This user does not have sufficient privileges on the remote server\r\n", kProtocolError},
      {"Command unknown (XYZW).\r\n", kUnknownCommand},
      {"Could not open file nothere.scp.\r\n", kFailedReply},
      {"Error opening file on remote server (x.scp)\r\n", kFailedReply},
      {"Unable to open file gyriontables.scp", kFailedReply},
      {"1234", kProtocolError},
      {"\r\n.\r\n", kProtocolError},
  };
  for (const Case& c : cases) EXPECT_EQ(FailureReplyResult(c.reply), c.result) << c.reply;
}

TEST(ReplyTest, ParseDecimalTakesOnlyWholeNumbers) {
  struct Case {
    std::string text;
    bool allow_sign;
    bool ok;
    long long value;
  } cases[] = {
      {"0", false, true, 0},          {"2593", false, true, 2593},
      {"-46", true, true, -46},       {"-46", false, false, 0},
      {"", false, false, 0},          {"-", true, false, 0},
      {" 12", false, false, 0},       {"12\r\n", false, false, 0},
      {"1e3", false, false, 0},       {"999999999999999999", false, true, 999999999999999999},
      {"1000000000000000000", false, false, 0},
  };
  for (const Case& c : cases) {
    long long v = -1;
    EXPECT_EQ(ParseDecimal(c.text, c.allow_sign, &v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST(ReplyTest, ParseHexReadsTheMergedId) {
  struct Case {
    std::string text;
    bool ok;
    uint32_t value;
  } cases[] = {
      {"4005", true, 0x4005}, {"0abc", true, 0xabc}, {"6A1F", true, 0x6a1f},
      {"ffffffff", true, 0xffffffff}, {"", false, 0}, {"123456789", false, 0}, {"40g5", false, 0},
  };
  for (const Case& c : cases) {
    uint32_t v = 0;
    EXPECT_EQ(ParseHex(c.text, &v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST(ReplyTest, PrintableTextShowsControlBytes) {
  EXPECT_EQ(PrintableText("Could not open file a.\r\n"), "Could not open file a.");
  EXPECT_EQ(PrintableText("a\tb\x01\\"), "a\\tb\\x01\\\\");
  EXPECT_EQ(EscapedBytes("x\r\n"), "x\\r\\n");
}

TEST(CommandWordsTest, FixedScriptsUseTheirOwnWords) {
  struct Case {
    std::string name, fetch, store;
  } cases[] = {
      {"gyrionitem2.scp", "GITM", "SIT2"},     {"gyrionchar2.scp", "GCHR", "SCH2"},
      {"gyriondefs2.scp", "GDFS", "SDFS"},     {"gyrionmap2.scp", "GMAP", "SMAP"},
      {"gyriontables.scp", "GTBL", "STBL"},    {"gyriontemplate2.scp", "GTPL", "STPL"},
      {"gyrionmagic.scp", "GMAG", "SMAG"},     {"gyrionskill.scp", "GSKL", "SSKL"},
      {"gyrionspee.scp", "GSPE", "SSPE"},      {"gyrionname.scp", "GNAM", "SNAM"},
      {"gyriontrig2.scp", "GTRG", "STRG"},     {"gyrion.ini", "GINI", "SINI"},
      // Anything else, also another spelling or a path, goes by name.
      {"GYRIONITEM2.SCP", "GFILGYRIONITEM2.SCP", "SFILGYRIONITEM2.SCP"},
      {"scripts/gyrionitem2.scp", "GFILscripts/gyrionitem2.scp", "SFILscripts/gyrionitem2.scp"},
      {"art.mul", "GFILart.mul", "SFILart.mul"},
      {" lead.scp", "GFIL lead.scp", "SFIL lead.scp"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FetchRequest(c.name), c.fetch) << c.name;
    EXPECT_EQ(StoreRequest(c.name), c.store) << c.name;
  }
  EXPECT_EQ(MergeRequest(EntryKind::kItem), "SITM");
  EXPECT_EQ(MergeRequest(EntryKind::kNpc), "SCHR");
}

struct RecordCase {
  const char* name;
  std::string packet;
  int count;
  std::vector<std::string> names;
};

class DirectoryRecordTest : public ::testing::TestWithParam<RecordCase> {};

TEST_P(DirectoryRecordTest, DecodesWholeRecordsOnly) {
  const RecordCase& c = GetParam();
  std::vector<DirectoryRecord> records = {{kAttrNormal, "earlier"}};
  EXPECT_EQ(DecodeDirectoryRecords(c.packet, &records), c.count);
  std::vector<std::string> names;
  for (size_t i = 1; i < records.size(); ++i) names.push_back(records[i].name);
  EXPECT_EQ(names, c.names);
}

INSTANTIATE_TEST_SUITE_P(
    Gdir, DirectoryRecordTest,
    ::testing::Values(
        RecordCase{"OneFile", "\x80\0\0\0gyrion.ini\0"s, 1, {"gyrion.ini"}},
        RecordCase{"TwoRecords", "\x10\0\0\0scripts\0\x20\0\0\0a.scp\0"s, 2, {"scripts", "a.scp"}},
        RecordCase{"InvalidPath", "\0\0\0\0Invalid Path\0"s, 1, {"Invalid Path"}},
        RecordCase{"MissingTerminator", "\x80\0\0\0gyrion.ini"s, -1, {}},
        RecordCase{"ShortAttributes", "\x80\0\0"s, -1, {}},
        RecordCase{"EmptyName", "\x80\0\0\0\0"s, -1, {}},
        RecordCase{"DamagedSecondRecordKeepsNothing", "\x80\0\0\0a\0\x80\0"s, -1, {}},
        RecordCase{"NameOf259", "\x80\0\0\0"s + std::string(259, 'n') + "\0"s, 1, {std::string(259, 'n')}},
        RecordCase{"NameOf260", "\x80\0\0\0"s + std::string(260, 'n') + "\0"s, -1, {}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(DirectoryRecordTest, AttributesReadInBothBytesAndLetters) {
  std::vector<DirectoryRecord> records;
  ASSERT_EQ(DecodeDirectoryRecords("\x13\x01\0\0x\0"s, &records), 1);
  EXPECT_EQ(records[0].attributes, 0x113u);
  EXPECT_EQ(AttributeLetters(0x10), "d----");
  EXPECT_EQ(AttributeLetters(0x80), "-----");
  EXPECT_EQ(AttributeLetters(0x01 | 0x02 | 0x20), "-rh-a");
}

}  // namespace
}  // namespace orvo
