#include "service/gamedata/file_transfer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "service/tests/test_peer.h"
#include "service/platform/clock.h"
#include "service/tests/temp_game_folder.h"

namespace gamedata {
namespace {

using testing_support::LogMark;
using testing_support::TestPeer;
using testing_support::WithCrLf;
using Packets = std::vector<std::string>;

const std::string kEnd = "\r\n.\r\n";
const std::string kReady = "Ready to receive entry.  Send CRLF.CRLF to signal end of file\r\n";

class FileTransferTest : public testing_support::TempGameFolder {};

// ---- Fetch ----

struct FetchCase {
  const char* title;
  std::string disk;
  std::vector<std::string> acks;
  Packets expected;
  std::string log;
};

TEST_F(FileTransferTest, FetchSendsSizeChunksAndEndMarker) {
  const std::string a1024(1024, 'a');
  const std::string b2500 = std::string(2048, 'b') + std::string(452, 'c');
  const FetchCase cases[] = {
      {"empty file: size 0 and the end marker, no ack", "", {}, {"0", kEnd}, ""},
      {"2500 bytes: three chunks", b2500, {"1024", "1024", "452"},
       {"2500", b2500.substr(0, 1024), b2500.substr(1024, 1024), b2500.substr(2048), kEnd}, ""},
      {"CR LF read as LF, size on disk", "a\r\nb\r\n", {"4"}, {"6", "a\nb\n", kEnd}, ""},
      {"a lone CR stays", "a\rb", {"3"}, {"3", "a\rb", kEnd}, ""},
      {"text ends at Ctrl-Z", "ab\x1a" "cd", {"2"}, {"5", "ab", kEnd}, ""},
      {"ack with leading blanks", "abcd", {" 4"}, {"4", "abcd", kEnd}, ""},
      {"ack 1000 for 1024 stops the transfer", a1024 + "tail", {"1000", "4"}, {"1028", a1024},
       "Ack failed while sending file. 1000 != 1024\n"},
      {"an ack over 5 bytes reads as 0", "abcd", {"000004"}, {"4", "abcd"}, "Ack failed while sending file. 0 != 4\n"},
      {"no ack at all reads as 0", "abcd", {}, {"4", "abcd"}, "Ack failed while sending file. 0 != 4\n"},
  };
  host::Config().receive_timeout = 20;
  for (const FetchCase& c : cases) {
    SCOPED_TRACE(c.title);
    Write("f.scp", c.disk);
    TestPeer peer;
    for (const std::string& ack : c.acks) peer.Send(ack);
    LogMark log;
    SendWholeFile(peer.Service(), "f.scp", NameSource::kFixed);
    EXPECT_EQ(peer.Received(), c.expected);
    if (!c.log.empty()) {
      EXPECT_NE(log.Added().find(c.log), std::string::npos) << log.Added();
    }
  }
}

// The acknowledgements pace a transfer; TRANSFERPAUSE adds a pause after each
// chunk for those who want it. (Bounds far from the expected times.)
TEST_F(FileTransferTest, TransferPauseOnlyWhenConfigured) {
  const struct {
    int pause_ms;
    int chunks;
    int at_least_ms;
    int below_ms;
  } cases[] = {{0, 60, 0, 600}, {40, 5, 200, 60000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pause_ms);
    host::Config().transfer_pause = c.pause_ms;
    Write("f.scp", std::string(static_cast<size_t>(c.chunks) * 1024, 'p'));
    TestPeer peer;
    std::string acks;
    for (int i = 0; i < c.chunks; ++i) acks += std::string("\x04\x00\x00\x00", 4) + "1024";
    peer.SendRaw(acks);
    auto start = std::chrono::steady_clock::now();
    SendWholeFile(peer.Service(), "f.scp", NameSource::kFixed);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(ms, c.at_least_ms);
    EXPECT_LT(ms, c.below_ms);
    EXPECT_EQ(peer.Received().back(), kEnd);
  }
  host::Config().transfer_pause = 0;
}

TEST_F(FileTransferTest, FetchOfMissingFileRepliesOnce) {
  TestPeer peer;
  LogMark log;
  SendWholeFile(peer.Service(), "nothere.scp", NameSource::kClient);
  EXPECT_EQ(peer.Received(), Packets{"Could not open file nothere.scp.\r\n"});
  EXPECT_EQ(log.Added(), "Error -- Could not open file nothere.scp\n");
}

TEST_F(FileTransferTest, FetchWhoseReplyCannotBeSentIsLogged) {
  TestPeer peer;
  peer.Hangup();
  LogMark log;
  SendWholeFile(peer.Service(), "nothere.scp", NameSource::kClient);
  EXPECT_NE(log.Added().find("Error occurred while sending file nothere.scp - File could not be opened\n"),
            std::string::npos);
}

struct NameCase {
  const char* title;
  std::string name;  // as the client sends it
  bool reachable;
};

// Names a client may fetch: the game server's folders only.
TEST_F(FileTransferTest, ClientNamesReachOnlyTheGameFolders) {
  Write("sub/file.scp", "x");
  const std::string secret = WriteOutside("secret.scp", "x");
  Link("inlink.scp", Full("sub/file.scp"));
  Link("outlink.scp", secret);
  const std::string long_name = "sub/" + std::string(255, 'n');  // 259 characters
  Write(long_name, "x");
  const NameCase cases[] = {
      {"backslash as separator", "sub\\file.scp", true},
      {"slash as separator", "sub/file.scp", true},
      {"absolute inside", Full("sub/file.scp"), true},
      {"link that stays inside", "inlink.scp", true},
      {"259 characters", long_name, true},
      {"dot dot that climbs out", "../" + std::filesystem::path(secret).parent_path().filename().string() + "/secret.scp",
       false},
      {"dot dot with backslashes", "sub\\..\\..\\x", false},
      {"absolute outside", secret, false},
      {"system file", "/etc/passwd", false},
      {"link that points out", "outlink.scp", false},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.title);
    TestPeer peer;
    peer.Send("1");
    LogMark log;
    SendWholeFile(peer.Service(), c.name, NameSource::kClient);
    Packets got = peer.Received();
    if (c.reachable) {
      EXPECT_EQ(got, (Packets{"1", "x", kEnd}));
    } else {
      EXPECT_EQ(got, Packets{"Could not open file " + c.name + ".\r\n"});
      // The log doubles each backslash of a client's name.
      std::string logged;
      for (char ch : c.name) logged += ch == '\\' ? std::string("\\\\") : std::string(1, ch);
      EXPECT_EQ(log.Added(), "Refused " + logged + ": the name leads outside the game server's folders\n" +
                                 "Error -- Could not open file " + logged + "\n");
    }
  }
}

TEST_F(FileTransferTest, FixedNamesAreNotConfined) {
  const std::string account = WriteOutside("acct.scp", "x");
  TestPeer peer;
  peer.Send("1");
  SendWholeFile(peer.Service(), account, NameSource::kFixed);
  EXPECT_EQ(peer.Received(), (Packets{"1", "x", kEnd}));
}

// ---- Store ----

struct StoreRun {
  Packets replies;
  std::string log;
};

StoreRun Store(const std::string& name, const std::vector<std::string>& packets, bool end = true) {
  TestPeer peer;
  for (const std::string& p : packets) peer.Send(p);
  if (end) peer.SendEnd();
  LogMark log;
  ReceiveWholeFile(peer.Service(), name);
  return {peer.Received(), log.Added()};
}

struct StoreCase {
  const char* title;
  std::vector<std::string> packets;
  std::string disk;   // the stored file's bytes
  Packets replies;    // after the ready text
  std::string log;
};

TEST_F(FileTransferTest, StoreWritesWhatArrivedAsText) {
  const StoreCase cases[] = {
      {"LF stored as CR LF", {"a\nb\n"}, "a\r\nb\r\n", {"4", "File Received"}, "4 Total Bytes read.\n"},
      {"CR LF stored as CR CR LF", {"a\r\nb"}, "a\r\r\nb", {"4", "File Received"}, "4 Total Bytes read.\n"},
      {"percent signs stay", {"%d%s%n"}, "%d%s%n", {"6", "File Received"}, "6 Total Bytes read.\n"},
      {"binary bytes stored literally", {std::string("\xff\x00\x1a" "z\x00", 5)}, std::string("\xff\x00\x1a" "z\x00", 5),
       {"5", "File Received"}, "5 Total Bytes read.\n"},
      {"several packets", {"abc", "def"}, "abcdef", {"3", "3", "File Received"}, "6 Total Bytes read.\n"},
      {"data beside the end marker is dropped", {"abc", "xyz\r\n.\r\n"}, "abc", {"3", "File Received"},
       "3 Total Bytes read.\n"},
      {"nothing but the end marker", {}, "", {"File Received"}, "0 Total Bytes read.\n"},
  };
  for (const StoreCase& c : cases) {
    SCOPED_TRACE(c.title);
    StoreRun run = Store("new.scp", c.packets);
    Packets expected{kReady};
    expected.insert(expected.end(), c.replies.begin(), c.replies.end());
    EXPECT_EQ(run.replies, expected);
    EXPECT_EQ(Read("new.scp"), c.disk);
    EXPECT_NE(run.log.find(c.log), std::string::npos) << run.log;
    EXPECT_FALSE(Exists("new.scp.tmp"));
  }
}

TEST_F(FileTransferTest, StoreKeepsTheOldFileAsTimedBackup) {
  Write("gyriondefs2.scp", "old\r\n");
  long long before = platform::UnixTime();
  StoreRun run = Store("gyriondefs2.scp", {"new\n"});
  long long after = platform::UnixTime();
  EXPECT_EQ(run.replies.back(), "File Received");
  EXPECT_EQ(Read("gyriondefs2.scp"), "new\r\n");
  std::vector<std::string> backups = NamesStartingWith(".", "gyriondefs2.scp.bkp.");
  ASSERT_EQ(backups.size(), 1u);
  long long stamp = std::stoll(backups[0].substr(std::string("gyriondefs2.scp.bkp.").size()));
  EXPECT_GE(stamp, before);
  EXPECT_LE(stamp, after);
  EXPECT_EQ(Read(backups[0]), "old\r\n");
}

TEST_F(FileTransferTest, NewFileGetsNoBackup) {
  StoreRun run = Store("fresh.scp", {"x"});
  EXPECT_EQ(run.replies.back(), "File Received");
  EXPECT_TRUE(NamesStartingWith(".", "fresh.scp.bkp.").empty());
}

TEST_F(FileTransferTest, ScriptsFolderReceivesPlainNames) {
  WriteIni({"WORLDSAVE=save/", "SCPFILES=scripts"});
  std::filesystem::create_directories(folder_ / "scripts");
  Write("sub/x.scp", "old");
  const std::string ini_before = Read("gyrion.ini");

  Store("gyrion.ini", {"SINI=1\n"});
  EXPECT_EQ(Read("scripts/gyrion.ini"), "SINI=1\r\n");
  EXPECT_EQ(Read("gyrion.ini"), ini_before);

  // A name with a folder is stored exactly there, its backup beside it.
  Store("sub\\x.scp", {"new"});
  EXPECT_EQ(Read("sub/x.scp"), "new");
  EXPECT_EQ(NamesStartingWith("sub", "x.scp.bkp.").size(), 1u);
  EXPECT_FALSE(Exists("scripts/sub"));
}

TEST_F(FileTransferTest, StoreOfUnreachableNameIsRefusedAsUnopenable) {
  const std::string outside = OutsideFolder() + "/x.scp";
  struct Case {
    std::string name;
    bool refused_by_guard;
  } cases[] = {{"nodir/x.scp", false}, {"../x.scp", true}, {outside, true}, {".", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestPeer peer;
    LogMark log;
    ReceiveWholeFile(peer.Service(), c.name);
    EXPECT_EQ(peer.Received(), Packets{"Error opening file on remote server (" + c.name + ")\r\n"});
    std::string expected = "Error opening temporary file on server (" + c.name + ")\n";
    if (c.refused_by_guard) expected = "Refused " + c.name + ": the name leads outside the game server's folders\n" + expected;
    EXPECT_EQ(log.Added(), expected);
  }
  EXPECT_FALSE(std::filesystem::exists(outside));
  EXPECT_FALSE(std::filesystem::exists(outside + ".tmp"));
}

TEST_F(FileTransferTest, NameOf259CharactersIsStored) {
  const std::string name = "sub/" + std::string(200, 'n') + "/" + std::string(54, 'm');
  ASSERT_EQ(name.size(), 259u);
  std::filesystem::create_directories(folder_ / "sub" / std::string(200, 'n'));
  StoreRun run = Store(name, {"x"});
  EXPECT_EQ(run.replies.back(), "File Received");
  EXPECT_EQ(Read(name), "x");
}

TEST_F(FileTransferTest, VanishedClientLeavesOldFileWholeAndNoTemporary) {
  Write("gyrionmap2.scp", "old\r\n");
  TestPeer peer;
  peer.Send("abc");
  peer.Hangup();
  LogMark log;
  EXPECT_EQ(ReceiveWholeFile(peer.Service(), "gyrionmap2.scp"), -1) << "the session must end";
  std::string added = log.Added();
  EXPECT_NE(added.find("3 Total Bytes read.\nUpload broken off -- Data will not be saved.\n"), std::string::npos)
      << added;
  EXPECT_EQ(Read("gyrionmap2.scp"), "old\r\n");
  EXPECT_FALSE(Exists("gyrionmap2.scp.tmp"));
  EXPECT_TRUE(NamesStartingWith(".", "gyrionmap2.scp.bkp.").empty());
}

TEST_F(FileTransferTest, FailedBackupKeepsOldFileAndSaysSo) {
  // Linux takes names of up to 255 bytes: the temporary name fits, the
  // backup's does not.
  const std::string name = std::string(241, 'n') + ".scp";
  Write(name, "old\r\n");
  StoreRun run = Store(name, {"new"});
  EXPECT_EQ(run.replies, (Packets{kReady, "3", "Error opening file on remote server (" + name + ")\r\n"}));
  EXPECT_NE(run.log.find("Unable to rename "), std::string::npos) << run.log;
  EXPECT_EQ(Read(name), "old\r\n");
  EXPECT_FALSE(Exists(name + ".tmp"));
}

TEST_F(FileTransferTest, FailedWriteKeepsOldFileAndSaysSo) {
  // A limit on file sizes makes the temporary file's writes fail; the log
  // goes to a fresh file, far below it, for the length of the store.
  const std::string log_folder = host::Config().log_directory;
  host::Config().log_directory = Full("logs");
  std::filesystem::create_directories(Full("logs"));
  Write("gyrionskill.scp", "old\r\n");
  struct rlimit saved {};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit low = saved;
  low.rlim_cur = 8 * 1024;
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  ::setrlimit(RLIMIT_FSIZE, &low);
  StoreRun run = Store("gyrionskill.scp", std::vector<std::string>(12, std::string(1000, 'x')));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);
  host::Config().log_directory = log_folder;
  EXPECT_EQ(run.replies.back(), "Error opening file on remote server (gyrionskill.scp)\r\n");
  EXPECT_NE(run.log.find("Error writing temporary file on server (gyrionskill.scp)\n"), std::string::npos)
      << run.log;
  EXPECT_EQ(Read("gyrionskill.scp"), "old\r\n");
  EXPECT_FALSE(Exists("gyrionskill.scp.tmp"));
}

// Two stores of one file at once: each comes through whole, one after the other.
TEST_F(FileTransferTest, StoresOfOneFileDoNotInterleave) {
  const std::string a(900, 'a');
  const std::string b(900, 'b');
  std::vector<std::string> many_a(20, a);
  std::vector<std::string> many_b(20, b);
  StoreRun runs[2];
  std::thread first([&] { runs[0] = Store("gyriontrig2.scp", many_a); });
  std::thread second([&] { runs[1] = Store("./gyriontrig2.scp", many_b); });
  first.join();
  second.join();
  EXPECT_EQ(runs[0].replies.back(), "File Received");
  EXPECT_EQ(runs[1].replies.back(), "File Received");
  std::string stored = Read("gyriontrig2.scp");
  std::string all_a, all_b;
  for (int i = 0; i < 20; ++i) all_a += a, all_b += b;
  EXPECT_TRUE(stored == all_a || stored == all_b) << stored.size();
}

}  // namespace
}  // namespace gamedata
