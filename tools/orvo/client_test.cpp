// Each exchange of the client against a scripted service on a socket pair:
// what it sends, how it reads the end of every reply, and what it makes of
// refusals, failure texts and connections that break.
#include "tools/orvo/client.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tools/orvo/tests/fake_server.h"
#include "tools/orvo/replies.h"

namespace orvo {
namespace {

using std::string_literals::operator""s;
using testing::Close;
using testing::Expect;
using testing::FakeServer;
using testing::Send;
using testing::SendRaw;
using testing::Step;

const std::string kMarker(kEndMarker);
const std::string kNoPrivilege = "This user does not have sufficient priveleges on the remote server\r\n";
const std::string kReadyFile(kReadyForFile);
const std::string kReadyEntry(kReadyForEntry);

// A session whose other end plays `steps`.
class Conversation {
 public:
  explicit Conversation(std::vector<Step> steps, int timeout_ms = 3000) {
    platform::Connection client, service;
    EXPECT_TRUE(platform::ConnectedPair(&client, &service));
    server_ = std::make_unique<FakeServer>(std::move(service), std::move(steps));
    session = Session(std::move(client), timeout_ms);
  }
  // Closes the client's end and returns the service's complaints.
  std::vector<std::string> Finish() {
    session = Session();
    return server_->Finish();
  }
  // What the client sent after the script ended.
  const std::vector<std::string>& Rest() const { return server_->Rest(); }

  Session session;

 private:
  std::unique_ptr<FakeServer> server_;
};

// ---- Login --------------------------------------------------------------

struct LoginCase {
  const char* name;
  std::string user, password;
  std::vector<Step> steps;
  int result;
  bool usable_after;
};

class LoginTest : public ::testing::TestWithParam<LoginCase> {};

TEST_P(LoginTest, FollowsTheService) {
  const LoginCase& c = GetParam();
  Conversation talk(c.steps);
  EXPECT_EQ(Login(talk.session, c.user, c.password), c.result) << talk.session.Problem();
  EXPECT_EQ(talk.session.Usable(), c.usable_after);
  EXPECT_EQ(talk.Finish(), std::vector<std::string>{});
  EXPECT_TRUE(talk.Rest().empty()) << "sent after the script: " << talk.Rest().front();
}

std::vector<Step> RefusedLogin(const std::string& reply) {
  return {Send("OrvoSvr connected.\r\n\r\nUsername: "), Expect("builder"), Send("Password: "),
          Expect("wrong"), Send(reply), Close()};
}

INSTANTIATE_TEST_SUITE_P(
    Login, LoginTest,
    ::testing::Values(
        LoginCase{"Accepted", "builder", "secret", testing::LoginSteps("builder", "secret"), kOk, true},
        LoginCase{"EmptyPasswordGoesAsALineEnd", "builder", "", testing::LoginSteps("builder", ""), kOk, true},
        LoginCase{"BadCredentials", "builder", "wrong",
                  RefusedLogin("Login failed.  Bad userid or password.\r\n"), kBadCredentials, false},
        LoginCase{"InsufficientLevel", "builder", "wrong",
                  RefusedLogin("Login failed.  Insufficient priveleges.\r\n"), kInsufficientLevel, false},
        LoginCase{"AccountFileMissing", "builder", "wrong",
                  RefusedLogin("Login failed.  Account file not found.\r\n"), kAccountFileMissing, false},
        LoginCase{"UnknownVerdict", "builder", "wrong", RefusedLogin("Welcome\r\n"), kProtocolError, false},
        LoginCase{"HostNotAllowed", "builder", "secret", {Close()}, kConnectionLost, false},
        LoginCase{"ClosedAfterUserName", "builder", "secret",
                  {Send("OrvoSvr connected.\r\n\r\nUsername: "), Expect("builder"), Close()}, kConnectionLost,
                  false},
        LoginCase{"NotTheService", "builder", "secret", {Send("SSH-2.0-OpenSSH\r\n")}, kProtocolError, false},
        LoginCase{"EmptyUser", "", "secret", {}, kInvalidInput, true},
        LoginCase{"UserOf260", std::string(260, 'u'), "secret", {}, kInvalidInput, true},
        LoginCase{"PasswordWithLineEnd", "builder", "sec\nret", {}, kInvalidInput, true},
        LoginCase{"PasswordWithZeroByte", "builder", "sec\0ret"s, {}, kInvalidInput, true}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(LoginTest, AcceptsTextsOf259Bytes) {
  std::string user(259, 'u'), password(259, 'p');
  Conversation talk(testing::LoginSteps(user, password));
  EXPECT_EQ(Login(talk.session, user, password), kOk);
  EXPECT_EQ(talk.Finish(), std::vector<std::string>{});
}

// ---- Fetch --------------------------------------------------------------

struct FetchCase {
  const char* name;
  std::vector<Step> steps;  // after the request GITM
  int result;
  std::string data;
  bool usable_after;
};

class FetchTest : public ::testing::TestWithParam<FetchCase> {};

TEST_P(FetchTest, AcknowledgesEveryChunkUpToTheEndMarker) {
  const FetchCase& c = GetParam();
  std::vector<Step> steps = {Expect("GITM")};
  steps.insert(steps.end(), c.steps.begin(), c.steps.end());
  Conversation talk(steps);
  std::string data;
  long long size = -1;
  int r = Fetch(talk.session, "GITM", [&](std::string_view chunk) {
    data.append(chunk);
    return true;
  }, &size);
  EXPECT_EQ(r, c.result) << talk.session.Problem();
  if (r == kOk) {
    EXPECT_EQ(data, c.data);
  }
  EXPECT_EQ(talk.session.Usable(), c.usable_after);
  EXPECT_EQ(talk.Finish(), std::vector<std::string>{});
  EXPECT_TRUE(talk.Rest().empty()) << "sent after the script: " << talk.Rest().front();
}

INSTANTIATE_TEST_SUITE_P(
    Fetch, FetchTest,
    ::testing::Values(
        FetchCase{"OneChunk", {Send("6"), Send("a\nb\n"), Expect("4"), Send(kMarker)}, kOk, "a\nb\n", true},
        FetchCase{"EmptyFile", {Send("0"), Send(kMarker)}, kOk, "", true},
        FetchCase{"ChunksOf1024",
                  {Send("2500"), Send(std::string(1024, 'a')), Expect("1024"), Send(std::string(1024, 'b')),
                   Expect("1024"), Send(std::string(452, 'c')), Expect("452"), Send(kMarker)},
                  kOk, std::string(1024, 'a') + std::string(1024, 'b') + std::string(452, 'c'), true},
        FetchCase{"MarkerInsideAChunkIsData",
                  {Send("9"), Send("x\r\n.\r\ny"), Expect("7"), Send(kMarker)}, kOk, "x\r\n.\r\ny", true},
        FetchCase{"ZeroLengthPacketsBetweenChunks",
                  {Send("3"), SendRaw("\0\0\0\0"s), Send("abc"), Expect("3"), SendRaw("\0\0\0\0"s), Send(kMarker)},
                  kOk, "abc", true},
        FetchCase{"CouldNotOpen", {Send("Could not open file gyrionitem2.scp.\r\n")}, kFailedReply, "", true},
        FetchCase{"NoPrivilege", {Send(kNoPrivilege)}, kRefused, "", true},
        FetchCase{"UnknownCommand", {Send("Command unknown (GITM).\r\n")}, kUnknownCommand, "", true},
        FetchCase{"GarbledSize", {Send("12ab")}, kProtocolError, "", false},
        FetchCase{"ClosedBeforeSize", {Close()}, kConnectionLost, "", false},
        FetchCase{"ClosedMidTransfer", {Send("6"), Send("a\n"), Expect("2"), Close()}, kConnectionLost, "", false},
        FetchCase{"DamagedLength", {Send("6"), SendRaw("\xff\xff\xff\x7f")}, kProtocolError, "", false}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(FetchTest, AStoppedSinkEndsTheFetchWithAWrongAcknowledgement) {
  // The service stops a fetch whose acknowledgement does not match, without an
  // end marker, and reads the next command: the session stays usable.
  Conversation talk({Expect("GITM"), Send("6"), Send("a\nb\n"), Expect("0"), Expect("QUIT"),
                     Send("Closing connection.\r\n")});
  long long size = 0;
  EXPECT_EQ(Fetch(talk.session, "GITM", [](std::string_view) { return false; }, &size), kLocalFileError);
  EXPECT_TRUE(talk.session.Usable());
  EXPECT_EQ(Quit(talk.session), kOk);
  EXPECT_EQ(talk.Finish(), std::vector<std::string>{});
}

TEST(FetchTest, RefusesNamesTheServiceCannotTake) {
  Conversation talk({});
  long long size = 0;
  auto sink = [](std::string_view) { return true; };
  EXPECT_EQ(Fetch(talk.session, "GFIL" + std::string(260, 'n'), sink, &size), kInvalidInput);
  EXPECT_EQ(Fetch(talk.session, "GFILa\0b"s, sink, &size), kInvalidInput);
  EXPECT_TRUE(talk.session.Usable());
  EXPECT_EQ(talk.Finish(), std::vector<std::string>{});
  EXPECT_TRUE(talk.Rest().empty());
}

// ---- Fetch to a file ----------------------------------------------------

class FetchToFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("orvo_fetch_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    target_ = (dir_ / "gyrionitem2.scp").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void WriteTarget(const std::string& text) { std::ofstream(target_, std::ios::binary) << text; }
  size_t FilesInDir() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir_), {}));
  }

  std::filesystem::path dir_;
  std::string target_;
};

TEST_F(FetchToFileTest, ReplacesTheFileWhenTheWholeFileHasArrived) {
  WriteTarget("old\r\n");
  Conversation talk({Expect("GITM"), Send("6"), Send("a\nb\n"), Expect("4"), Send(kMarker)});
  EXPECT_EQ(FetchToFile(talk.session, "GITM", target_), kOk) << talk.session.Problem();
  EXPECT_EQ(Read(target_), "a\nb\n");
  EXPECT_EQ(FilesInDir(), 1u);
  EXPECT_EQ(talk.Finish(), std::vector<std::string>{});
}

TEST_F(FetchToFileTest, AFailedFetchLeavesTheOldFileWhole) {
  struct Case {
    const char* name;
    std::vector<Step> steps;
    int result;
  } cases[] = {
      {"could not open", {Expect("GITM"), Send("Could not open file gyrionitem2.scp.\r\n")}, kFailedReply},
      {"refused", {Expect("GITM"), Send(kNoPrivilege)}, kRefused},
      {"closed mid-transfer", {Expect("GITM"), Send("6"), Send("a\n"), Expect("2"), Close()}, kConnectionLost},
      {"closed before the end marker", {Expect("GITM"), Send("2"), Send("a\n"), Expect("2"), Close()},
       kConnectionLost},
  };
  for (const Case& c : cases) {
    WriteTarget("old\r\n");
    Conversation talk(c.steps);
    EXPECT_EQ(FetchToFile(talk.session, "GITM", target_), c.result) << c.name;
    EXPECT_EQ(Read(target_), "old\r\n") << c.name;
    EXPECT_EQ(FilesInDir(), 1u) << c.name << ": a temporary file was left behind";
    EXPECT_EQ(talk.Finish(), std::vector<std::string>{}) << c.name;
  }
}

TEST_F(FetchToFileTest, AFailedFetchCreatesNoFile) {
  Conversation talk({Expect("GFILnothere.scp"), Send("Could not open file nothere.scp.\r\n")});
  EXPECT_EQ(FetchToFile(talk.session, "GFILnothere.scp", target_), kFailedReply);
  EXPECT_FALSE(std::filesystem::exists(target_));
  EXPECT_EQ(FilesInDir(), 0u);
  EXPECT_EQ(talk.Finish(), std::vector<std::string>{});
}

TEST_F(FetchToFileTest, AnUnwritableTargetIsFoundBeforeAnythingIsSent) {
  Conversation talk({});
  EXPECT_EQ(FetchToFile(talk.session, "GITM", (dir_ / "missing" / "x.scp").string()), kLocalFileError);
  EXPECT_TRUE(talk.session.Usable());
  EXPECT_EQ(talk.Finish(), std::vector<std::string>{});
  EXPECT_TRUE(talk.Rest().empty());
}

// ---- Store --------------------------------------------------------------

struct StoreCase {
  const char* name;
  std::string data;
  std::vector<Step> steps;  // after the request SDFS
  int result;
  bool usable_after;
};

class StoreTest : public ::testing::TestWithParam<StoreCase> {};

TEST_P(StoreTest, WaitsForEachAcknowledgement) {
  const StoreCase& c = GetParam();
  std::vector<Step> steps = {Expect("SDFS")};
  steps.insert(steps.end(), c.steps.begin(), c.steps.end());
  Conversation talk(steps);
  EXPECT_EQ(Store(talk.session, "SDFS", c.data), c.result) << talk.session.Problem();
  EXPECT_EQ(talk.session.Usable(), c.usable_after);
  EXPECT_EQ(talk.Finish(), std::vector<std::string>{});
  // Nothing may follow a refusal or a wrong acknowledgement: the end marker
  // would end a store the service never began, or keep one it should not.
  EXPECT_TRUE(talk.Rest().empty()) << "sent after the script: " << EscapedBytes(talk.Rest().front());
}

INSTANTIATE_TEST_SUITE_P(
    Store, StoreTest,
    ::testing::Values(
        StoreCase{"TwoChunks", std::string(1500, 'd'),
                  {Send(kReadyFile), Expect(std::string(1023, 'd')), Send("1023"), Expect(std::string(477, 'd')),
                   Send("477"), Expect(kMarker), Send("File Received")},
                  kOk, true},
        StoreCase{"EmptyFile", "", {Send(kReadyFile), Expect(kMarker), Send("File Received")}, kOk, true},
        StoreCase{"EndMarkerInTheData", "a\r\n.\r\nb",
                  {Send(kReadyFile), Expect("a\r\n.\r"), Send("5"), Expect("\nb"), Send("2"), Expect(kMarker),
                   Send("File Received")},
                  kOk, true},
        StoreCase{"Refused", "x", {Send(kNoPrivilege)}, kRefused, true},
        StoreCase{"CannotCreate", "x", {Send("Error opening file on remote server (gyriondefs2.scp)\r\n")},
                  kFailedReply, true},
        StoreCase{"WrongAcknowledgement", "abc", {Send(kReadyFile), Expect("abc"), Send("2")}, kProtocolError,
                  false},
        StoreCase{"ReadyForAnEntryInstead", "abc", {Send(kReadyEntry)}, kProtocolError, false},
        StoreCase{"NoFileReceived", "abc",
                  {Send(kReadyFile), Expect("abc"), Send("3"), Expect(kMarker), Close()}, kConnectionLost, false},
        StoreCase{"ClosedBeforeAcknowledging", "abc", {Send(kReadyFile), Expect("abc"), Close()}, kConnectionLost,
                  false}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(StoreTest, DataBeyondTheServicesPassLimitIsNotSent) {
  // 2999 chunks and the end marker are all the service reads.
  Conversation talk({});
  EXPECT_EQ(Store(talk.session, "SDFS", std::string(2999 * kMaxUploadChunk + 1, 'x')), kInvalidInput);
  EXPECT_TRUE(talk.session.Usable());
  EXPECT_EQ(talk.Finish(), std::vector<std::string>{});
  EXPECT_TRUE(talk.Rest().empty());
}

// ---- Merge --------------------------------------------------------------

struct MergeCase {
  const char* name;
  EntryKind kind;
  std::string entry;
  std::vector<Step> steps;
  int result;
  uint32_t id;
};

class MergeTest : public ::testing::TestWithParam<MergeCase> {};

TEST_P(MergeTest, ReadsTheIdTheEntryGot) {
  const MergeCase& c = GetParam();
  Conversation talk(c.steps, 500);
  uint32_t id = 0;
  EXPECT_EQ(MergeEntry(talk.session, c.kind, c.entry, &id), c.result) << talk.session.Problem();
  if (c.result == kOk) {
    EXPECT_EQ(id, c.id);
  }
  EXPECT_EQ(talk.Finish(), std::vector<std::string>{});
  EXPECT_TRUE(talk.Rest().empty()) << "sent after the script: " << EscapedBytes(talk.Rest().front());
}

const std::string kEntry = "[4005]\nNAME=ogre\n";
const std::string kBigEntry(kMaxEntryBytes, 'e');

INSTANTIATE_TEST_SUITE_P(
    Merge, MergeTest,
    ::testing::Values(
        MergeCase{"Npc", EntryKind::kNpc, kEntry,
                  {Expect("SCHR"), Send(kReadyEntry), Expect(kEntry), Send("17"), Expect(kMarker),
                   Send("OK - ID=4005")},
                  kOk, 0x4005},
        MergeCase{"ItemWithFourDigits", EntryKind::kItem, "[]\nNAME=x\n",
                  {Expect("SITM"), Send(kReadyEntry), Expect("[]\nNAME=x\n"), Send("10"), Expect(kMarker),
                   Send("OK - ID=0abc")},
                  kOk, 0xabc},
        MergeCase{"LargestEntryInChunksOf1024", EntryKind::kItem, kBigEntry,
                  {Expect("SITM"), Send(kReadyEntry), Expect(kBigEntry.substr(0, 1024)), Send("1024"),
                   Expect(kBigEntry.substr(1024, 1024)), Send("1024"), Expect(kBigEntry.substr(2048, 1024)),
                   Send("1024"), Expect(kBigEntry.substr(3072, 1024)), Send("1024"),
                   Expect(kBigEntry.substr(4096, 1024)), Send("1024"), Expect(kBigEntry.substr(5120, 1024)),
                   Send("1024"), Expect(kBigEntry.substr(6144, 1024)), Send("1024"),
                   Expect(kBigEntry.substr(7168)), Send("1023"), Expect(kMarker), Send("OK - ID=6001")},
                  kOk, 0x6001},
        MergeCase{"Refused", EntryKind::kItem, kEntry, {Expect("SITM"), Send(kNoPrivilege)}, kRefused, 0},
        MergeCase{"ReadyForAFileInstead", EntryKind::kItem, kEntry, {Expect("SITM"), Send(kReadyFile)},
                  kProtocolError, 0},
        // The service sends nothing when it cannot open the script.
        MergeCase{"NoAnswer", EntryKind::kItem, kEntry,
                  {Expect("SITM"), Send(kReadyEntry), Expect(kEntry), Send("17"), Expect(kMarker)}, kTimedOut, 0},
        MergeCase{"GarbledId", EntryKind::kItem, kEntry,
                  {Expect("SITM"), Send(kReadyEntry), Expect(kEntry), Send("17"), Expect(kMarker),
                   Send("OK - ID=")},
                  kProtocolError, 0},
        MergeCase{"TooBig", EntryKind::kItem, std::string(kMaxEntryBytes + 1, 'e'), {}, kInvalidInput, 0},
        MergeCase{"Empty", EntryKind::kNpc, "", {}, kInvalidInput, 0}),
    [](const auto& test) { return std::string(test.param.name); });

// ---- Replies that end by their own rules ---------------------------------

struct ListCase {
  const char* name;
  std::vector<Step> steps;  // after the request
  int result;
  std::string shown;  // the list, records or resources as text
};

class SpawnListTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(SpawnListTest, EndsAfterTheAnnouncedLength) {
  const ListCase& c = GetParam();
  std::vector<Step> steps = {Expect("GSPN")};
  steps.insert(steps.end(), c.steps.begin(), c.steps.end());
  Conversation talk(steps);
  std::string list;
  EXPECT_EQ(FetchSpawnList(talk.session, &list), c.result) << talk.session.Problem();
  if (c.result == kOk) {
    EXPECT_EQ(list, c.shown);
  }
  EXPECT_EQ(talk.Finish(), std::vector<std::string>{});
}

const std::string kSpawnLines = "NPC,C_OGRE,100,200,0\r\nITEM,I_GOLD,-1,-1,-1,0\r\n";

INSTANTIATE_TEST_SUITE_P(
    Gspn, SpawnListTest,
    ::testing::Values(
        ListCase{"TwoPackets",
                 {Send("46"), Send(kSpawnLines.substr(0, 30)), Send(kSpawnLines.substr(30)), Send(".\r\n")},
                 kOk, kSpawnLines},
        ListCase{"Empty", {Send("0"), Send(".\r\n")}, kOk, ""},
        // A list packet that happens to read ".\r\n" is still list text.
        ListCase{"ListPacketLikeTheTerminator", {Send("3"), Send(".\r\n"), Send(".\r\n")}, kOk, ".\r\n"},
        ListCase{"LongerThanAnnounced", {Send("10"), Send(kSpawnLines)}, kProtocolError, ""},
        ListCase{"EndMarkerInsteadOfTerminator", {Send("0"), Send(kMarker)}, kProtocolError, ""},
        ListCase{"ClosedInsideTheList", {Send("46"), Send(kSpawnLines.substr(0, 30)), Close()}, kConnectionLost,
                 ""},
        ListCase{"UnknownCommand", {Send("Command unknown (GSPN).\r\n")}, kUnknownCommand, ""}),
    [](const auto& test) { return std::string(test.param.name); });

class DirectoryTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(DirectoryTest, DecodesRecordsUpToTheEndMarker) {
  const ListCase& c = GetParam();
  std::vector<Step> steps = {Expect("GDIR.")};
  steps.insert(steps.end(), c.steps.begin(), c.steps.end());
  Conversation talk(steps);
  std::vector<DirectoryRecord> records;
  EXPECT_EQ(ListDirectory(talk.session, ".", &records), c.result) << talk.session.Problem();
  std::string shown;
  for (const DirectoryRecord& r : records) shown += std::to_string(r.attributes) + " " + r.name + ";";
  if (c.result == kOk) {
    EXPECT_EQ(shown, c.shown);
  }
  EXPECT_EQ(talk.Finish(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Gdir, DirectoryTest,
    ::testing::Values(
        ListCase{"TwoPackets",
                 {Send("\x10\0\0\0scripts\0\x80\0\0\0gyrion.ini\0"s), Send("\x21\0\0\0a.scp\0"s), Send(kMarker)},
                 kOk, "16 scripts;128 gyrion.ini;33 a.scp;"},
        ListCase{"NothingListed", {Send(kMarker)}, kOk, ""},
        ListCase{"InvalidPath", {Send("\0\0\0\0Invalid Path\0"s), Send(kMarker)}, kFailedReply, ""},
        ListCase{"Refused", {Send(kNoPrivilege)}, kRefused, ""},
        ListCase{"DamagedRecord", {Send("\x80\0\0\0a\0\x80"s)}, kProtocolError, ""},
        ListCase{"ClosedBeforeTheEndMarker", {Send("\x80\0\0\0a\0"s), Close()}, kConnectionLost, ""}),
    [](const auto& test) { return std::string(test.param.name); });

class ResourcesTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(ResourcesTest, ReadsNameTabChecksumLines) {
  const ListCase& c = GetParam();
  std::vector<Step> steps = {Expect("GRES")};
  steps.insert(steps.end(), c.steps.begin(), c.steps.end());
  Conversation talk(steps);
  std::vector<ResourceEntry> resources;
  EXPECT_EQ(ListResources(talk.session, &resources), c.result) << talk.session.Problem();
  std::string shown;
  for (const ResourceEntry& r : resources) shown += "[" + r.name + "]=" + std::to_string(r.checksum) + ";";
  if (c.result == kOk) {
    EXPECT_EQ(shown, c.shown);
  }
  EXPECT_EQ(talk.Finish(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Gres, ResourcesTest,
    ::testing::Values(
        ListCase{"Lines", {Send("ART.MUL \t-46"), Send("HUES.MUL\t3"), Send(kMarker)}, kOk,
                 "[ART.MUL ]=-46;[HUES.MUL]=3;"},
        ListCase{"NoResources", {Send(kMarker)}, kOk, ""},
        ListCase{"NoTablesScript", {Send("Unable to open file gyriontables.scp")}, kFailedReply, ""},
        ListCase{"DamagedLine", {Send("ART.MUL\t1"), Send("ART.MUL 1")}, kProtocolError, ""}),
    [](const auto& test) { return std::string(test.param.name); });

// ---- One-packet replies ---------------------------------------------------

TEST(OnePacketRepliesTest, ChecksumAndPort) {
  struct Case {
    const char* name;
    bool port;  // PORT, else GFCS of "gyrion.ini"
    std::string reply;
    int result;
    long long value;
  } cases[] = {
      {"negative checksum", false, "-46", kOk, -46},
      {"checksum of a missing file", false, "0", kOk, 0},
      {"checksum refused", false, kNoPrivilege, kRefused, 0},
      {"checksum garbled", false, "12 ", kProtocolError, 0},
      {"port", true, "2593", kOk, 2593},
      {"port refused", true, "0", kRefused, 0},
      {"port unknown", true, "Command unknown (PORT).\r\n", kUnknownCommand, 0},
  };
  for (const Case& c : cases) {
    Conversation talk({Expect(c.port ? "PORT" : "GFCSgyrion.ini"), Send(c.reply)});
    long long value = -1;
    int r = c.port ? GetGamePort(talk.session, &value) : GetChecksum(talk.session, "gyrion.ini", &value);
    EXPECT_EQ(r, c.result) << c.name;
    if (c.result == kOk) {
      EXPECT_EQ(value, c.value) << c.name;
    }
    EXPECT_EQ(talk.Finish(), std::vector<std::string>{}) << c.name;
  }
}

TEST(SessionEndTest, StartThenQuit) {
  struct Case {
    const char* name;
    std::vector<Step> steps;
    int quit_result;
  } cases[] = {
      {"plain program: the session goes on",
       {Expect("STRT"), Expect("QUIT"), Send("Closing connection.\r\n"), Close()}, kOk},
      {"system service: the service closes", {Expect("STRT"), Close()}, kConnectionLost},
  };
  for (const Case& c : cases) {
    Conversation talk(c.steps);
    EXPECT_EQ(StartGameServer(talk.session), kOk) << c.name;
    EXPECT_EQ(Quit(talk.session), c.quit_result) << c.name;
    EXPECT_FALSE(talk.session.Usable()) << c.name;
    EXPECT_EQ(talk.Finish(), std::vector<std::string>{}) << c.name;
  }
}

TEST(RawExchangeTest, PrintsPacketsUntilTheServiceFallsSilent) {
  struct Case {
    const char* name;
    std::vector<Step> steps;
    int result;
    std::vector<std::string> packets;
  } cases[] = {
      {"silence ends it", {Expect("GFCSa"), Send("12")}, 1, {"12"}},
      {"close ends it", {Expect("QUIT"), Send("Closing connection.\r\n"), Close()}, 1,
       {"Closing connection.\r\n"}},
      {"nothing at all", {Expect("STRT")}, 0, {}},
      {"closed at once", {Expect("XYZ"), Close()}, kConnectionLost, {}},
  };
  for (const Case& c : cases) {
    Conversation talk(c.steps);
    std::vector<std::string> packets;
    std::string request = c.steps.front().bytes;
    int r = RawExchange(talk.session, request, 100, [&](std::string_view p) { packets.emplace_back(p); });
    EXPECT_EQ(r, c.result) << c.name;
    EXPECT_EQ(packets, c.packets) << c.name;
    EXPECT_EQ(talk.Finish(), std::vector<std::string>{}) << c.name;
  }
}

}  // namespace
}  // namespace orvo
