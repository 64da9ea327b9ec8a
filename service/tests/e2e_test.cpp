// End-to-end: the real orvosvr binary on a free loopback port, against a
// temporary copy of the example game server; the bytes on the wire, the files
// on disk and the lines in the log.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "service/tests/end_to_end.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Fetch;
using testing_support::kEnd;
using testing_support::kReady;
using testing_support::RawClient;
using testing_support::Store;
using testing_support::WithoutCr;

const std::string kNoPrivilege = "This user does not have sufficient priveleges on the remote server\r\n";

using EndToEnd = testing_support::EndToEndTest;

TEST_F(EndToEnd, SessionWithAdministrator) {
  Launch();
  RawClient c(server_->port());
  // The greeting and the prompts, byte for byte.
  EXPECT_EQ(c.Receive(), "OrvoSvr connected.\r\n\r\nUsername: ");
  c.Send("warden");
  EXPECT_EQ(c.Receive(), "Password: ");
  c.Send("northwind\r\n");
  EXPECT_EQ(c.Receive(), "Login successful. Protocol 1.0\r\n");

  // A fetch announces the size on disk and delivers the text with LF ends.
  std::string disk = server_->ReadFile("gyrionitem2.scp");
  std::string announced;
  EXPECT_EQ(Fetch(c, "GITM", &announced), WithoutCr(disk));
  EXPECT_EQ(announced, std::to_string(disk.size()));
  EXPECT_EQ(Fetch(c, "gini"), WithoutCr(server_->ReadFile("gyrion.ini")));

  c.Send("PORT");
  EXPECT_EQ(c.Receive(), "2593");
  c.Send("XYZW");
  EXPECT_EQ(c.Receive(), "Command unknown (XYZW).\r\n");
  c.Send("GF");
  EXPECT_EQ(c.Receive(), "Command unknown (GF).\r\n");

  c.Send("Gspn");
  std::string length = c.Receive();
  std::string list;
  while (list.size() < static_cast<size_t>(std::stol(length))) list += c.Receive();
  EXPECT_EQ(list,
            "NPC,C_WOLF_MOOR,1460,1710,0\r\nITEM,I_GOLD,-1,-1,-1,0\r\nNPC,C_OGRE_BOG,1432,1698,0\r\n"
            "ITEM,I_BOTTLE_BOGWATER,1501,1744,0\r\nNPC,C_WOLF_MOOR,1388,1622,20\r\nNPC,C_HORSE_BROWN,1503,1746,0\r\n");
  EXPECT_EQ(c.Receive(), ".\r\n");

  c.Send("QUIT\r\n");
  EXPECT_EQ(c.Receive(), "Closing connection.\r\n");
  EXPECT_TRUE(c.Closed());

  ASSERT_TRUE(server_->WaitForLog("from 127.0.0.1 closed.\r\n"));
  std::string log = server_->Log();
  for (const char* line : {"Checking if host 127.0.0.1 is allowed to connect...\r\n",
                           "Login from IP 127.0.0.1 successful for user warden\r\n",
                           "Retrieving Items for user warden\r\n", "Retrieving ini file for user warden\r\n",
                           "Retrieving VORN port for user warden\r\n",
                           "Unknown message XYZW received from user warden\r\n",
                           "Retrieving SpawnPoints for user warden\r\n",
                           "Spawn Information Loaded. 2 items and 4 npc spawn points\r\n"}) {
    EXPECT_NE(log.find(line), std::string::npos) << line;
  }
  // The start-up lines went to the game server's folder before "LOG=" was known.
  EXPECT_NE((server_->Log() + server_->Console()).find("orvosvr for Linux version 0.13.3.6 startup complete\r\n"),
            std::string::npos);
}

TEST_F(EndToEnd, LoginRefusals) {
  Launch();
  {
    RawClient c(server_->port());
    EXPECT_EQ(c.Login("Warden", "wrong-secret"), "Login failed.  Bad userid or password.\r\n");
    EXPECT_TRUE(c.Closed());
  }
  {
    RawClient c(server_->port());
    EXPECT_EQ(c.Login("Rowan", "hearthstone"), "Login failed.  Insufficient priveleges.\r\n");
    EXPECT_TRUE(c.Closed());
  }
  {
    // A user name of 260 bytes ends the connection without a reply.
    RawClient c(server_->port());
    c.Receive();
    c.Send(std::string(260, 'u'));
    EXPECT_EQ(c.Receive(), "<closed>");
  }
  {
    // One of 259 bytes is a user name like any other.
    RawClient c(server_->port());
    c.Receive();
    c.Send(std::string(259, 'u'));
    EXPECT_EQ(c.Receive(), "Password: ");
    c.Send(std::string(260, 'p'));
    EXPECT_EQ(c.Receive(), "<closed>");
  }
  {
    // A peer that vanishes after the user name.
    RawClient c(server_->port());
    c.Receive();
    c.Send("Warden");
    c.Receive();
    c.Close();
  }
  ASSERT_TRUE(server_->WaitForLog("Error receiving data on socket"));
  std::string log = server_->Log();
  EXPECT_NE(log.find("Login attempt from IP 127.0.0.1 failed: userid=Warden password=<hidden>\r\n"),
            std::string::npos);
  EXPECT_EQ(log.find("wrong-secret"), std::string::npos);
  EXPECT_NE(log.find("Login attempt from IP 127.0.0.1 failed -- insufficient priveledge: userid=Rowan\r\n"),
            std::string::npos);
  EXPECT_NE(log.find("Exploit attempt from 127.0.0.1 blocked.\r\n"), std::string::npos);
}

TEST_F(EndToEnd, StoresKeepABackupAndMergesAllocateIds) {
  Launch();
  RawClient c = LoggedIn();
  EXPECT_EQ(Store(c, "SDFS", "[DEFNAME first]\nX=1\n"), "File Received");
  EXPECT_EQ(server_->ReadFile("scripts/gyriondefs2.scp"), "[DEFNAME first]\r\nX=1\r\n");

  // Binary bytes come through literally, and a store bigger than one chunk.
  std::string second = std::string("a\xff" "b\0c\x1a" "d\n", 8) + std::string(3000, 'z') + "\n";
  EXPECT_EQ(Store(c, "SDFS", second), "File Received");
  std::string stored = server_->ReadFile("scripts/gyriondefs2.scp");
  EXPECT_EQ(WithoutCr(stored), second);

  int backups = 0;
  for (const auto& e : fs::directory_iterator(server_->folder() / "scripts")) {
    std::string name = e.path().filename().string();
    if (name.rfind("gyriondefs2.scp.bkp.", 0) == 0) {
      ++backups;
      EXPECT_EQ(server_->ReadFile("scripts/" + name), "[DEFNAME first]\r\nX=1\r\n");
    }
  }
  EXPECT_EQ(backups, 1);

  c.Send("SITM");
  EXPECT_EQ(c.Receive(), "Ready to receive entry.  Send CRLF.CRLF to signal end of entry\r\n");
  c.Send("[]\nNAME=Bog lantern\n");
  EXPECT_EQ(c.Receive(), "20");
  c.Send(kEnd);
  EXPECT_EQ(c.Receive(), "OK - ID=6004");
  std::string items = server_->ReadFile("gyrionitem2.scp");
  EXPECT_NE(items.find("[6004]\r\nNAME=Bog lantern\r\n//// Inserted by Warden\r\n"), std::string::npos);
  ASSERT_TRUE(server_->WaitForLog("Receiving custom item from user Warden\r\n"));
  EXPECT_NE(server_->Log().find("Updating defs from user Warden\r\n"), std::string::npos);
}

TEST_F(EndToEnd, GameMasterIsRefusedWrites) {
  Launch();
  RawClient c = LoggedIn("keeper", "lantern7");
  c.Send("SDFS");
  EXPECT_EQ(c.Receive(), kNoPrivilege);
  c.Send("SFILgyriondefs2.scp");
  EXPECT_EQ(c.Receive(), kNoPrivilege);
  c.Send("GACT");
  EXPECT_EQ(c.Receive(), kNoPrivilege);
  c.Send("GFILaccounts/gyrionaccu.scp");
  EXPECT_EQ(c.Receive(), kNoPrivilege);
  c.Send("GFCSaccounts\\gyrionacct.scp");
  EXPECT_EQ(c.Receive(), kNoPrivilege);
  c.Send("PORT");
  EXPECT_EQ(c.Receive(), "0");
  // Reading is allowed.
  EXPECT_EQ(Fetch(c, "GCHR"), WithoutCr(server_->ReadFile("gyrionchar2.scp")));
  c.Send("STRT");  // a read-level session may start the game server
  c.Send("QUIT");
  EXPECT_EQ(c.Receive(), "Closing connection.\r\n");
  EXPECT_FALSE(fs::exists(server_->folder() / "scripts" / "gyriondefs2.scp"));

  ASSERT_TRUE(server_->WaitForLog("Attempting CreateProcess() for "));
  std::string log = server_->Log();
  for (const char* line : {"User keeper has insufficient priveleges to update the defs script\r\n",
                           "User keeper has insufficient priveleges to update file gyriondefs2.scp\r\n",
                           "User keeper lacks sufficient privelege to retrieve the account file",
                           "User keeper has insufficient priveleges to retrieve the VORN port\r\n",
                           "User keeper is attempting to start the server\r\n",
                           "CreateProcess() returned error 2  - No such file or directory\r\n"}) {
    EXPECT_NE(log.find(line), std::string::npos) << line;
  }
}

// GACT and SACT reach the account files that the session's own login found,
// whatever "gyrion.ini" names when a later session logs in.
TEST_F(EndToEnd, AccountFilesAreThoseTheLoginFound) {
  Launch();
  RawClient first = LoggedIn();
  const std::string accounts = server_->ReadFile("accounts/gyrionaccu.scp");
  server_->WriteFile("save/gyrionaccu.scp", "[Warden]\r\nPASSWORD=northwind\r\nPLEVEL=ADMIN\r\n");
  std::string ini = server_->ReadFile("gyrion.ini");
  ini.replace(ini.find("ACCTFILES=accounts/"), 19, "ACCTFILES=save/");
  server_->WriteFile("gyrion.ini", ini);
  RawClient second = LoggedIn();
  EXPECT_EQ(Fetch(second, "GACT"), WithoutCr(server_->ReadFile("save/gyrionaccu.scp")));
  EXPECT_EQ(Fetch(first, "GACT"), WithoutCr(accounts));
  EXPECT_EQ(Store(first, "SACT", "[Warden]\n"), "File Received");
  EXPECT_EQ(server_->ReadFile("accounts/gyrionacct.scp"), "[Warden]\r\n");
  EXPECT_FALSE(fs::exists(server_->folder() / "save" / "gyrionacct.scp"));
}

TEST_F(EndToEnd, ReadOnlyRefusesEveryWrite) {
  Launch({"READONLY"});
  RawClient c = LoggedIn();
  for (const char* request : {"SDFS", "SFILnotes.txt", "SITM", "GACT"}) {
    c.Send(request);
    EXPECT_EQ(c.Receive(), kNoPrivilege) << request;
  }
  EXPECT_FALSE(fs::exists(server_->folder() / "scripts" / "notes.txt"));
  ASSERT_TRUE(server_->WaitForLog("Orvosvr is in readonly mode\r\n"));
}

TEST_F(EndToEnd, NamedFilesStayInsideTheServerFolders) {
  Launch({"ALLOWEDPATHS scripts", "ALLOWEDEXTENSIONS scp:ini"});
  fs::path outside = server_->folder().parent_path() / ("outside-" + std::to_string(::getpid()) + ".txt");
  { std::ofstream(outside) << "secret\n"; }
  fs::create_directory_symlink("/etc", server_->folder() / "escape");
  std::string out_name = "../" + outside.filename().string();

  RawClient c = LoggedIn();
  for (const std::string& name : {out_name, outside.string(), std::string("escape/hostname"),
                                  std::string("scripts/../../") + outside.filename().string()}) {
    c.Send("GFIL" + name);
    EXPECT_EQ(c.Receive(), "Could not open file " + name + ".\r\n") << name;
    c.Send("GFCS" + name);
    EXPECT_EQ(c.Receive(), "0") << name;
  }
  c.Send("GDIR/etc");
  EXPECT_EQ(c.Receive(), std::string("\0\0\0\0Invalid Path\0", 17));
  EXPECT_EQ(c.Receive(), kEnd);
  c.Send("SFIL" + out_name);
  EXPECT_EQ(c.Receive(), "Error opening file on remote server (" + out_name + ")\r\n");
  std::ifstream kept(outside);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "secret\n");

  // Inside, both separators work, and names of 259 characters are allowed.
  EXPECT_EQ(Fetch(c, "GFILscripts\\gyrionitem.scp"), WithoutCr(server_->ReadFile("scripts/gyrionitem.scp")));
  // (Linux allows 255 bytes in one name, so the long name needs a folder.)
  std::string long_name = "scripts/" + std::string(200, 'd') + "/" + std::string(46, 'n') + ".scp";
  ASSERT_EQ(long_name.size(), 259u);
  fs::create_directory(server_->folder() / "scripts" / std::string(200, 'd'));
  EXPECT_EQ(Store(c, "SFIL" + long_name, "x\n"), "File Received");
  EXPECT_EQ(server_->ReadFile(long_name), "x\r\n");
  EXPECT_EQ(Fetch(c, "GFIL" + long_name), "x\n");
  c.Send("GDIR.");
  std::string listing = c.Receive();
  EXPECT_NE(listing.find(std::string("\x10\0\0\0scripts\0", 12)), std::string::npos);
  EXPECT_NE(listing.find("gyrion.ini"), std::string::npos);
  EXPECT_EQ(listing.find("escape"), std::string::npos);
  fs::remove(outside);
}

TEST_F(EndToEnd, DamagedFraming) {
  Launch();
  {
    RawClient c = LoggedIn();
    c.SendRaw(std::string(4, '\0'));  // an empty packet is skipped
    c.Send("PORT");
    EXPECT_EQ(c.Receive(), "2593");
    c.Send("ABCD" + std::string(259, 'x'));  // 263 bytes: the longest request
    EXPECT_EQ(c.Receive(), "Command unknown (ABCD).\r\n");
    c.Send("ABCD" + std::string(260, 'x'));  // 264 bytes
    EXPECT_EQ(c.Receive(), "<closed>");
  }
  {
    RawClient c = LoggedIn();
    c.SendRaw("\xfe\xff\xff\xff");  // a negative length
    EXPECT_EQ(c.Receive(), "<closed>");
  }
  {
    RawClient c = LoggedIn();
    c.SendRaw(std::string("\x00\x10\x00\x00", 4));  // longer than any request
    EXPECT_EQ(c.Receive(), "<closed>");
  }
  {
    // A peer that disappears in the middle of a store: nothing is replaced.
    RawClient c = LoggedIn();
    c.Send("STBL");
    EXPECT_EQ(c.Receive(), kReady);
    c.Send("[RESOURCES]\n");
    EXPECT_EQ(c.Receive(), "12");
    c.Close();
  }
  {
    // ... in the middle of a merge: the script stays as it was.
    RawClient c = LoggedIn();
    c.Send("SCHR");
    c.Receive();
    c.Send("[4001]\nNAME=half\n");
    EXPECT_EQ(c.Receive(), "17");
    c.Close();
  }
  {
    // ... and in the middle of a fetch.
    RawClient c = LoggedIn();
    c.Send("GITM");
    c.Receive();
    c.Receive();
    c.Close();
  }
  ASSERT_TRUE(server_->WaitForLog("Upload broken off -- Data will not be saved.\r\n", 20000));
  ASSERT_TRUE(server_->WaitForLog("Loop count exceeded receiving data from user Warden.  Data will not be saved\r\n", 20000));
  EXPECT_EQ(server_->ReadFile("gyrionchar2.scp").find("half"), std::string::npos);
  EXPECT_FALSE(fs::exists(server_->folder() / "scripts" / "gyriontables.scp"));
  std::string log = server_->Log();
  EXPECT_NE(log.find("Exploit attempt from 127.0.0.1 blocked.\r\n"), std::string::npos);
  // The service goes on serving.
  RawClient again = LoggedIn();
  again.Send("PORT");
  EXPECT_EQ(again.Receive(), "2593");
}

TEST_F(EndToEnd, ClientThatNeverAcknowledges) {
  Launch({"RECEIVETIMEOUT 300"});
  RawClient c = LoggedIn();
  c.Send("GITM");
  std::string size = c.Receive();
  std::string chunk = c.Receive();
  ASSERT_FALSE(chunk.empty());
  ASSERT_TRUE(server_->WaitForLog("Ack failed while sending file. 0 != " + std::to_string(chunk.size()) + "\r\n"));
  // No end marker follows, and the session reads the next command.
  c.Send("PORT");
  EXPECT_EQ(c.Receive(), "2593");
}

TEST_F(EndToEnd, DeniedHostIsBlocked) {
  Launch({"DENIEDHOSTS 127.0.0.1"});
  RawClient c(server_->port());
  EXPECT_EQ(c.Receive(), "<closed>");
  EXPECT_TRUE(server_->WaitForLog("Blocking incoming connection from 127.0.0.1"));
}

TEST_F(EndToEnd, StartTheGameServer) {
  Launch();
  server_->WriteFile("gyrionsvr", "#!/bin/sh\necho running > started.txt\necho console line\n");
  fs::permissions(server_->folder() / "gyrionsvr", fs::perms::owner_all);
  RawClient c = LoggedIn();
  c.Send("STRT");
  c.Send("PORT");  // the session goes on after a plain start
  EXPECT_EQ(c.Receive(), "2593");
  for (int i = 0; i < 100 && !fs::exists(server_->folder() / "started.txt"); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(server_->ReadFile("started.txt"), "running\n");
  EXPECT_TRUE(server_->WaitForLog("Attempting CreateProcess() for " + (server_->folder() / "gyrionsvr").string()));
}

TEST_F(EndToEnd, StartTheGameServerAsAService) {
  // A stand-in for systemctl records what it was asked.
  fs::path bin = fs::temp_directory_path() / ("fake-systemctl-" + std::to_string(::getpid()));
  fs::create_directories(bin);
  fs::path record = bin / "calls.txt";
  {
    std::ofstream s(bin / "systemctl");
    s << "#!/bin/sh\necho \"$@\" >> " << record.string() << "\n"
      << "case \"$1\" in show) echo loaded;; esac\nexit 0\n";
  }
  fs::permissions(bin / "systemctl", fs::perms::owner_all);
  std::string old_path = getenv("PATH");
  setenv("PATH", (bin.string() + ":" + old_path).c_str(), 1);
  Launch();
  setenv("PATH", old_path.c_str(), 1);

  std::string ini = server_->ReadFile("gyrion.ini");
  ini.replace(ini.find("NTSERVICE=0"), 11, "ntservice=1 // as a service");
  server_->WriteFile("gyrion.ini", ini);
  RawClient c = LoggedIn();
  c.Send("STRT");
  EXPECT_TRUE(c.Closed());  // the service path ends the session without a reply
  ASSERT_TRUE(server_->WaitForLog("Service Started Successfully\r\n"));
  std::ifstream in(record);
  std::string calls(std::istreambuf_iterator<char>(in), {});
  EXPECT_NE(calls.find("start --no-block Gyrion\\x20\\x2d\\x20Northmoor.service"), std::string::npos) << calls;
  std::string log = server_->Log();
  EXPECT_TRUE(testing_support::HasLinesInOrder(log, {"Attempting to open the SCUM\r\n",
                                                    "Attempting to open the Gyrion - Northmoor service\r\n",
                                                    "Attempting to start the service\r\n"}))
      << log;
  fs::remove_all(bin);
}

}  // namespace
