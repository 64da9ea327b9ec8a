#include "service/gamedata/resources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "service/tests/test_peer.h"
#include "service/host/config.h"
#include "service/host/text_lines.h"
#include "service/tests/temp_game_folder.h"
#include "wire/directory_record.h"

namespace gamedata {
namespace {

using testing_support::LogMark;
using testing_support::TestPeer;
using Packets = std::vector<std::string>;

const std::string kEnd = "\r\n.\r\n";

class ResourcesTest : public testing_support::TempGameFolder {};

// ---- Checksums ----

TEST_F(ResourcesTest, ChecksumOfTextLines) {
  const struct {
    const char* title;
    std::string disk;
    int32_t checksum;
  } cases[] = {
      {"AB CD EF", "AB\r\nCD\r\nEF\r\n", 3},
      {"one line without a line end", "hello", 0},
      {"one line with a line end", "hello\r\n", 0},
      {"empty file", "", 0},
      // Line 1023 takes ten bits of its sum: 0xE9 0xE9 counts -46, not 466.
      {"bytes above 0x7f are negative", std::string(1023, '\n') + "\xe9\xe9\n", -46 & 1023},
      {"a lone CR is left out", "x\nb\rc\n", ('b' + 'c') & 1},
      {"a zero byte ends the line sum", std::string("x\n\x01\x00\x01\n", 6), 1},
      {"bytes 255 are not read", "x\n\xff\x01\n", 1},
      {"Ctrl-Z ends the text", "x\n\x01\x1a\x02\n", 1},
      {"lines over 8191 bytes come in pieces", "x\n" + std::string(8192, '\x01') + "\n", (8191 & 1) + (1 & 2)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    Write("c.scp", c.disk);
    EXPECT_EQ(FileChecksum("c.scp"), c.checksum);
  }
  EXPECT_EQ(FileChecksum("missing.scp"), 0);
}

// The checksum written straight from its rules over ReadLine.
int32_t ReferenceChecksum(const std::string& path) {
  host::TextReader in(path);
  std::string line;
  uint32_t sum = 0;
  for (uint32_t n = 0; host::ReadLine(in, line, 8192) >= 0; ++n) {
    int32_t line_sum = 0;
    for (char c : line) {
      if (c == 0) break;
      if (c != '\r' && c != '\n') line_sum += static_cast<signed char>(c);
    }
    sum += static_cast<uint32_t>(line_sum) & n;
  }
  return static_cast<int32_t>(sum);
}

TEST_F(ResourcesTest, ChecksumAgreesWithTheRulesOnAnyBytes) {
  std::mt19937 random(11);
  const char alphabet[] = {'a', 'Z', '\r', '\n', '\n', '\n', '\0', '\xff', '\xe9', '\x1a', ' '};
  for (int round = 0; round < 40; ++round) {
    std::string disk;
    size_t size = random() % 40000;
    for (size_t i = 0; i < size; ++i) {
      // Ctrl-Z rarely, so that most rounds read on past the start.
      char c = alphabet[random() % sizeof alphabet];
      disk += (c == '\x1a' && random() % 50 != 0) ? 'q' : c;
    }
    if (round % 4 == 0) disk += std::string(9000 + random() % 9000, 'L');
    Write("r.bin", disk);
    EXPECT_EQ(FileChecksum("r.bin"), ReferenceChecksum("r.bin")) << round;
  }
}

TEST_F(ResourcesTest, SendFileChecksumAnswersInDecimal) {
  Write("a.scp", "AB\r\nCD\r\nEF\r\n");
  const std::string outside = WriteOutside("o.scp", "AB\r\nCD\r\nEF\r\n");
  const struct {
    std::string name;
    NameSource src;
    std::string reply;
    bool refused;
  } cases[] = {
      {"a.scp", NameSource::kClient, "3", false},
      {"missing.scp", NameSource::kClient, "0", false},
      {outside, NameSource::kClient, "0", true},
      {"../" + std::filesystem::path(outside).parent_path().filename().string() + "/o.scp", NameSource::kClient, "0",
       true},
      {outside, NameSource::kFixed, "3", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestPeer peer;
    LogMark log;
    SendFileChecksum(peer.Service(), c.name, c.src);
    EXPECT_EQ(peer.Received(), Packets{c.reply});
    EXPECT_EQ(log.Added(), c.refused ? "Refused " + c.name + ": the name leads outside the game server's folders\n"
                                     : std::string());
  }
}

// ---- Resource list ----

TEST_F(ResourcesTest, ResourceListNamesEachFileWithItsChecksum) {
  Write("art.mul", "AB\r\nCD\r\nEF\r\n");
  Write("Hues.mul", "x\r\n\x01\r\n");
  WriteText("gyriontables.scp",
            "[TABLES]\nart.mul\n[resources]\nart.mul // client art\nHues.mul\n\nmissing.mul//gone\n//only a comment\n"
            "[NEXT]\nafter.mul\n");
  TestPeer peer;
  SendResourceList(peer.Service());
  EXPECT_EQ(peer.Received(), (Packets{"ART.MUL \t3", "HUES.MUL\t1", "MISSING.MUL\t0", kEnd}));
}

TEST_F(ResourcesTest, ResourceListWithoutSectionOrFile) {
  WriteText("gyriontables.scp", "[TABLES]\nart.mul\n");
  TestPeer without_section;
  SendResourceList(without_section.Service());
  EXPECT_EQ(without_section.Received(), Packets{kEnd});

  std::filesystem::remove(folder_ / "gyriontables.scp");
  TestPeer without_file;
  SendResourceList(without_file.Service());
  EXPECT_EQ(without_file.Received(), Packets{"Unable to open file gyriontables.scp"});
}

// ---- Directory listing ----

struct Record {
  uint32_t attributes;
  std::string name;
  bool operator==(const Record&) const = default;
};

// Splits a GDIR data packet into its records; a damaged packet fails the test.
std::vector<Record> Records(const std::string& packet) {
  std::vector<wire::DirectoryRecord> decoded;
  EXPECT_GE(wire::DecodeDirectoryRecords(packet, &decoded), 0) << "a damaged record";
  std::vector<Record> records;
  for (const wire::DirectoryRecord& r : decoded) records.push_back({r.attributes, r.name});
  return records;
}

std::vector<Record> Listing(const Packets& packets) {
  std::vector<Record> all;
  EXPECT_FALSE(packets.empty());
  if (packets.empty()) return all;
  EXPECT_EQ(packets.back(), kEnd);
  for (size_t i = 0; i + 1 < packets.size(); ++i) {
    EXPECT_LE(packets[i].size(), 1024u);
    for (const Record& r : Records(packets[i])) all.push_back(r);
  }
  return all;
}

std::vector<std::string> Names(const std::vector<Record>& records) {
  std::vector<std::string> names;
  for (const Record& r : records) names.push_back(r.name);
  return names;
}

TEST_F(ResourcesTest, DirectoryListingFiltersByPathsAndExtensions) {
  Write("gyrionitem2.scp", "");
  Write("notes.txt", "");
  Write(".hidden.scp", "");
  Write(".scp", "");
  Write("trailing.", "");
  Write("scripts/a.SCP", "");
  Write("scripts/sub/b.scp", "");
  std::filesystem::create_directories(folder_ / "scripts" / "other");
  const struct {
    const char* title;
    std::string path;
    std::string allowed_paths;
    std::string allowed_extensions;
    std::vector<std::string> names;
  } cases[] = {
      {"extensions only", ".", "", "scp:ini", {".hidden.scp", "gyrion.ini", "gyrionitem2.scp"}},
      {"the scripts folder when allowed", ".", "scripts", "scp:ini",
       {".hidden.scp", "gyrion.ini", "gyrionitem2.scp", "scripts"}},
      {"folders compared without regard to case", ".", "x::SCRIPTS:", "", {"scripts"}},
      {"a subfolder lists its own folders by their full names", "scripts", "scripts\\sub", "scp",
       {"a.SCP", "sub"}},
      {"either separator", "scripts", "scripts/sub:scripts/other", "", {"other", "sub"}},
      {"the path as the client wrote it", "scripts\\", "scripts\\\\sub", "", {"sub"}},
      {"nothing passes", ".", "", "", {}},
      {"extensions match whole", ".", "", "sc:txt:", {"notes.txt"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    host::Config().allowed_paths = c.allowed_paths;
    host::Config().allowed_extensions = c.allowed_extensions;
    TestPeer peer;
    SendDirectoryListing(peer.Service(), c.path, NameSource::kClient, true);
    Packets packets = peer.Received();
    std::vector<std::string> names = Names(Listing(packets));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, c.names);
    if (c.names.empty()) {
      EXPECT_EQ(packets, Packets{kEnd});
    }
  }
}

TEST_F(ResourcesTest, DirectoryRecordsCarryAttributeWords) {
  Write("plain.scp", "");
  Write(".dot.scp", "");
  std::filesystem::create_directories(folder_ / "dir");
  host::Config().allowed_paths = "dir";
  host::Config().allowed_extensions = "scp";
  TestPeer peer;
  SendDirectoryListing(peer.Service(), ".", NameSource::kClient, true);
  std::vector<Record> records = Listing(peer.Received());
  std::sort(records.begin(), records.end(), [](const Record& a, const Record& b) { return a.name < b.name; });
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0], (Record{0x02, ".dot.scp"}));
  EXPECT_EQ(records[1], (Record{0x10, "dir"}));
  EXPECT_EQ(records[2], (Record{0x80, "plain.scp"}));
}

TEST_F(ResourcesTest, ManyEntriesMakeWholePacketsOfAtMost1024Bytes) {
  std::vector<std::string> expected;
  for (int i = 0; i < 150; ++i) {
    std::string name = "file" + std::string(static_cast<size_t>(i % 40), 'x') + std::to_string(i) + ".scp";
    Write("many/" + name, "");
    expected.push_back(name);
  }
  std::sort(expected.begin(), expected.end());
  host::Config().allowed_extensions = "scp";
  TestPeer peer;
  SendDirectoryListing(peer.Service(), "many", NameSource::kClient, true);
  Packets packets = peer.Received();
  EXPECT_GT(packets.size(), 4u);
  std::vector<std::string> names = Names(Listing(packets));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, expected);
  // A packet goes out as soon as the next entry and 6 bytes would pass 1024.
  for (size_t i = 0; i + 2 < packets.size(); ++i) {
    std::vector<Record> next = Records(packets[i + 1]);
    ASSERT_FALSE(next.empty());
    EXPECT_GT(packets[i].size() + next[0].name.size() + 6, 1024u);
  }
}

TEST_F(ResourcesTest, UnsearchablePathsAnswerInvalidPath) {
  const std::string invalid("\0\0\0\0Invalid Path\0", 17);
  const std::string outside = OutsideFolder();
  const struct {
    std::string path;
    bool refused;
  } cases[] = {
      {"nothere", false},
      {"gyrion.ini", false},
      {"..", true},
      {outside, true},
      {"/etc", true},
  };
  host::Config().allowed_extensions = "scp";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    TestPeer peer;
    LogMark log;
    SendDirectoryListing(peer.Service(), c.path, NameSource::kClient, true);
    EXPECT_EQ(peer.Received(), (Packets{invalid, kEnd}));
    EXPECT_EQ(log.Added(), c.refused ? "Refused " + c.path + ": the name leads outside the game server's folders\n"
                                     : std::string());
  }
}

}  // namespace
}  // namespace gamedata
