#include "service/gamedata/custom_entry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "service/tests/test_peer.h"
#include "service/tests/temp_game_folder.h"

namespace gamedata {
namespace {

using testing_support::LogMark;
using testing_support::TestPeer;
using testing_support::WithCrLf;
using Packets = std::vector<std::string>;

const std::string kReady = "Ready to receive entry.  Send CRLF.CRLF to signal end of entry\r\n";

TEST(ReadHexIdTest, ReadsLeadingHexDigits) {
  const struct {
    std::string_view text;
    int32_t id;
  } cases[] = {
      {"4005", 0x4005}, {" 6a1f", 0x6a1f}, {"\t6A1F", 0x6a1f}, {"0x4005", 0}, {"ITEMDEF 0eed", 0},
      {"", 0},          {"12g4", 0x12},    {"ffffffff", -1},   {"1ffffffff", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadHexId(c.text), c.id) << c.text;
}

TEST(RequestedIdTest, OneToSixCharactersBetweenTheFirstBrackets) {
  const struct {
    std::string_view entry;
    std::optional<int32_t> id;
  } cases[] = {
      {"[4005]\nNAME=x\n", 0x4005},
      {"[ 4005 ]\n", 0x4005},
      {"[abcdef]\n", 0xabcdef},
      {"[abcdef0]\n", std::nullopt},    // seven characters
      {"[]\nNAME=x\n", std::nullopt},
      {"[4005]\nNAME=[]\n", std::nullopt},  // "[]" anywhere
      {"]x[4005]\n", std::nullopt},      // the first "]" before the first "["
      {"NAME=x\n", std::nullopt},
      {"[4005\n", std::nullopt},
      {"[zz]\n", 0},                     // no hex digit reads as 0
  };
  for (const auto& c : cases) EXPECT_EQ(RequestedId(c.entry), c.id) << c.entry;
}

struct MergeCase {
  const char* title;
  std::string script;  // as read: LF line ends
  std::string entry;   // CRs removed
  int32_t base;
  std::string merged;
  int32_t id;
};

TEST(MergeEntryTextTest, ReplacesInsertsOrAppends) {
  const MergeCase cases[] = {
      {"empty NPC script, entry without ID", "", "[]\nNAME=x\n", 0x4000,
       "\n[4000]\nNAME=x\n//// Inserted by Ann\n\n", 0x4000},
      {"appended after the last header", "[4000]\nA=1\n[4001]\nB=2\n", "[]\nNAME=x\n", 0x4000,
       "[4000]\nA=1\n[4001]\nB=2\n\n[4002]\nNAME=x\n//// Inserted by Ann\n\n", 0x4002},
      {"item after 6000", "[6000]\n", "[]\nN=1\n", 0x6000, "[6000]\n\n[6001]\nN=1\n//// Inserted by Ann\n\n", 0x6001},
      {"item after 5fff gets the base", "[5fff]\n", "[]\nN=1\n", 0x6000,
       "[5fff]\n\n[6000]\nN=1\n//// Inserted by Ann\n\n", 0x6000},
      {"the last header counts, not the largest", "[4010]\n[4003]\n", "[]\nN=1\n", 0x4000,
       "[4010]\n[4003]\n\n[4004]\nN=1\n//// Inserted by Ann\n\n", 0x4004},
      {"inserted before the first higher ID", "[4000]\nA=1\n[4010]\nB=2\n", "[4005]\nC=3\n", 0x4000,
       "[4000]\nA=1\n[4005]\nC=3\n//// Inserted by Ann\n\n[4010]\nB=2\n\n", 0x4005},
      {"replaced up to the next line with a bracket", "[4000]\nA=1\n[4010]\nB=2\nC=3\n[4020]\nD=4\n",
       "[4010]\nE=5\n", 0x4000, "[4000]\nA=1\n[4010]\nE=5\n//// Updated by Ann\n\n[4020]\nD=4\n\n", 0x4010},
      {"the last section replaced: no empty line gained", "[4000]\nA=1\n[4010]\nB=2\n", "[4010]\nE=5\n", 0x4000,
       "[4000]\nA=1\n[4010]\nE=5\n//// Updated by Ann\n\n", 0x4010},
      {"every section of the ID is replaced", "[4010]\nA=1\n[4011]\n[4010]\nB=2\n[4012]\n", "[4010]\nE=5\n",
       0x4000,
       "[4010]\nE=5\n//// Updated by Ann\n\n[4011]\n[4010]\nE=5\n//// Updated by Ann\n\n[4012]\n\n", 0x4010},
      {"the line that ends a replaced section is not a header to it", "[4010]\nA=1\n[4010]\nB=2\n", "[4010]\nE=5\n",
       0x4000, "[4010]\nE=5\n//// Updated by Ann\n\n[4010]\nB=2\n\n", 0x4010},
      {"an ID above all is appended under a new one", "[4000]\n[4010]\n", "[4020]\nN=1\n", 0x4000,
       "[4000]\n[4010]\n\n[4011]\nN=1\n//// Inserted by Ann\n\n", 0x4011},
      {"seven characters: no ID, appended", "[4000]\n", "[4000abc]\nN=1\n", 0x4000,
       "[4000]\n\n[4001]\nN=1\n//// Inserted by Ann\n\n", 0x4001},
      {"a key line with brackets is a header of ID 0", "[4005]\nNAME=[x]\n", "[]\nN=1\n", 0x4000,
       "[4005]\nNAME=[x]\n\n[4000]\nN=1\n//// Inserted by Ann\n\n", 0x4000},
      {"the entry is written as it came, without a last line end", "[4010]\n", "[4005]\nN=1", 0x4000,
       "[4005]\nN=1//// Inserted by Ann\n\n[4010]\n\n", 0x4005},
      {"a script without a last line end gains none", "[4000]\nA=1", "[]\nN=1\n", 0x4000,
       "[4000]\nA=1\n[4001]\nN=1\n//// Inserted by Ann\n\n", 0x4001},
      {"an entry without any bracket is all body", "[4000]\n", "N=1\n", 0x4000,
       "[4000]\n\n[4001]\nN=1\n//// Inserted by Ann\n\n", 0x4001},
      {"ID 0xabc before a higher one", "[4000]\n", "[abc]\nN=1\n", 0x4000,
       "[abc]\nN=1\n//// Inserted by Ann\n\n[4000]\n\n", 0xabc},
  };
  for (const MergeCase& c : cases) {
    SCOPED_TRACE(c.title);
    int32_t id = -7;
    EXPECT_EQ(MergeEntryText(c.script, c.entry, "Ann", c.base, &id), c.merged);
    EXPECT_EQ(id, c.id);
  }
}

TEST(MergeEntryTextTest, LongLinesAndHighBytesComeThroughUnchanged) {
  const std::string long_line = "DESC=" + std::string(700, 'x') + "\xff\xfe";
  const std::string script = "[4000]\n" + long_line + "\n[4010]\n";
  int32_t id = 0;
  std::string merged = MergeEntryText(script, "[4005]\nN=1\n", "Ann", 0x4000, &id);
  EXPECT_EQ(merged, "[4000]\n" + long_line + "\n[4005]\nN=1\n//// Inserted by Ann\n\n[4010]\n\n");
}

class MergeCustomEntryTest : public testing_support::TempGameFolder {
 protected:
  // Runs SITM or SCHR with the entry's packets queued, then the end marker.
  Packets Merge(const std::vector<std::string>& packets, bool item, bool end = true) {
    TestPeer peer;
    for (const std::string& p : packets) peer.Send(p);
    if (end) peer.SendEnd();
    MergeCustomEntry(peer.Service(), "Ann", item);
    return peer.Received();
  }
};

TEST_F(MergeCustomEntryTest, EntryIsMergedAndItsIdReported) {
  WriteText("gyrionchar2.scp", "[4000]\nNAME=a\n[4001]\nNAME=b\n");
  Packets replies = Merge({"[]\r\n", "NAME=x\r\n"}, false);
  EXPECT_EQ(replies, (Packets{kReady, "4", "8", "OK - ID=4002"}));
  EXPECT_EQ(Read("gyrionchar2.scp"),
            WithCrLf("[4000]\nNAME=a\n[4001]\nNAME=b\n\n[4002]\nNAME=x\n//// Inserted by Ann\n\n"));
  EXPECT_FALSE(Exists("gyrionchar2.tmp"));
  EXPECT_TRUE(NamesStartingWith(".", "gyrionchar2.scp.bkp").empty());
}

TEST_F(MergeCustomEntryTest, EmptyScriptBecomesFiveLines) {
  Write("gyrionchar2.scp", "");
  EXPECT_EQ(Merge({"[]\r\nNAME=x\r\n"}, false).back(), "OK - ID=4000");
  EXPECT_EQ(Read("gyrionchar2.scp"), "\r\n[4000]\r\nNAME=x\r\n//// Inserted by Ann\r\n\r\n");
}

TEST_F(MergeCustomEntryTest, ItemScriptAndFourDigitIds) {
  WriteText("gyrionitem2.scp", "[4000]\n");
  EXPECT_EQ(Merge({"[abc]\r\nN=1\r\n"}, true).back(), "OK - ID=0abc");
  EXPECT_EQ(Read("gyrionitem2.scp"), WithCrLf("[abc]\nN=1\n//// Inserted by Ann\n\n[4000]\n\n"));
}

TEST_F(MergeCustomEntryTest, EntryOf8191BytesIsWholeAndOneMoreByteIsNot) {
  const std::string head = "[]\n";
  for (size_t total : {size_t{8191}, size_t{8192}}) {
    SCOPED_TRACE(total);
    WriteText("gyrionchar2.scp", "[4000]\n");
    std::string entry = head + std::string(total - head.size(), 'x');
    std::vector<std::string> packets;
    for (size_t at = 0; at < entry.size(); at += 1024) packets.push_back(entry.substr(at, 1024));
    LogMark log;
    Packets replies = Merge(packets, false);
    EXPECT_EQ(replies.back(), "OK - ID=4001");
    std::string stored = Read("gyrionchar2.scp");
    size_t body = stored.find("[4001]\r\n") + 8;
    size_t mark = stored.find("//// Inserted by Ann");
    if (total == 8191) {
      EXPECT_EQ(mark - body, 8188u);
      EXPECT_EQ(log.Added().find("exceeds"), std::string::npos);
      EXPECT_EQ(replies.size(), 1 + packets.size() + 1);
    } else {
      // The eighth packet would bring it to 8192: it is left out, yet read and
      // acknowledged, so that none of its bytes is taken for a command.
      EXPECT_EQ(mark - body, 7 * 1024u - head.size());
      EXPECT_NE(log.Added().find("Data received exceeds maximum length for the buffer.\n"), std::string::npos);
      EXPECT_EQ(replies.size(), 1 + packets.size() + 1);
    }
  }
}

TEST_F(MergeCustomEntryTest, FailuresLeaveTheScriptAndSendNoOk) {
  // No script at all: it is not created.
  LogMark missing;
  EXPECT_EQ(Merge({"[]\r\nN=1\r\n"}, true), (Packets{kReady, "9"}));
  EXPECT_EQ(missing.Added(), "Unable to open source file.\n");
  EXPECT_FALSE(Exists("gyrionitem2.scp"));

  // The temporary file cannot be made.
  WriteText("gyrionitem2.scp", "[6000]\n");
  std::filesystem::create_directories(folder_ / "gyrionitem2.tmp" / "x");
  LogMark no_tmp;
  EXPECT_EQ(Merge({"[]\r\nN=1\r\n"}, true), (Packets{kReady, "9"}));
  EXPECT_EQ(no_tmp.Added(), "Unable to open temporary file for writing.\n");
  EXPECT_EQ(Read("gyrionitem2.scp"), "[6000]\r\n");

  // The client goes away before the end marker.
  std::filesystem::remove_all(folder_ / "gyrionitem2.tmp");
  LogMark gone;
  TestPeer peer;
  peer.Send("[]\r\nN=1\r\n");
  peer.Hangup();
  MergeCustomEntry(peer.Service(), "Ann", true);
  EXPECT_NE(gone.Added().find("Loop count exceeded receiving data from user Ann.  Data will not be saved\n"),
            std::string::npos);
  EXPECT_EQ(Read("gyrionitem2.scp"), "[6000]\r\n");
}

TEST_F(MergeCustomEntryTest, BinaryBytesOfTheEntryAreKept) {
  WriteText("gyrionchar2.scp", "[4000]\n");
  const std::string body("N=\xff\x00\x01\n", 6);
  EXPECT_EQ(Merge({"[]\r\n" + body}, false).back(), "OK - ID=4001");
  EXPECT_EQ(Read("gyrionchar2.scp"), WithCrLf("[4000]\n\n[4001]\n" + body + "//// Inserted by Ann\n\n"));
}

TEST_F(MergeCustomEntryTest, CtrlZOfTheEntryIsDroppedSoTheSectionsAfterItStay) {
  WriteText("gyrionchar2.scp", "[4000]\n[4010]\nB=2\n");
  EXPECT_EQ(Merge({"[4005]\r\nC=\x1a" "3\r\n"}, false).back(), "OK - ID=4005");
  EXPECT_EQ(Read("gyrionchar2.scp"), WithCrLf("[4000]\n[4005]\nC=3\n//// Inserted by Ann\n\n[4010]\nB=2\n\n"));
}

}  // namespace
}  // namespace gamedata
