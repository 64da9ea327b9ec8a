// End-to-end, as an attacker would try it: the real orvosvr binary against a
// copy of the example game server, with a game master's account, an
// administrator's and raw packets.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "service/tests/end_to_end.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Fetch;
using testing_support::kEnd;
using testing_support::kReady;
using testing_support::RawClient;
using testing_support::Store;

const std::string kNoPrivilege = "This user does not have sufficient priveleges on the remote server\r\n";

class Hostile : public testing_support::EndToEndTest {
 protected:
  std::vector<std::string> Backups(const std::string& folder, const std::string& prefix) const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(server_->folder() / folder)) {
      std::string name = e.path().filename().string();
      if (name.rfind(prefix, 0) == 0) names.push_back(name);
    }
    return names;
  }
};

TEST_F(Hostile, TwentyConcurrentStoresKeepTwentyBackups) {
  Launch();
  server_->WriteFile("scripts/gyriondefs2.scp", "original\r\n");
  std::vector<std::thread> stores;
  std::vector<std::string> replies(20);
  for (int i = 0; i < 20; ++i) {
    stores.emplace_back([this, i, &replies] {
      RawClient c = LoggedIn("Warden", "northwind");
      replies[static_cast<size_t>(i)] = Store(c, "SDFS", "store " + std::to_string(i) + "\n");
    });
  }
  for (std::thread& t : stores) t.join();
  for (const std::string& reply : replies) EXPECT_EQ(reply, "File Received");
  std::vector<std::string> backups = Backups("scripts", "gyriondefs2.scp.bkp.");
  EXPECT_EQ(backups.size(), 20u);
  int originals = 0;
  for (const std::string& b : backups) originals += server_->ReadFile("scripts/" + b) == "original\r\n";
  EXPECT_EQ(originals, 1);
}

TEST_F(Hostile, GameMasterCannotReachTheAccountFilesCompanions) {
  Launch({"ALLOWEDPATHS accounts", "ALLOWEDEXTENSIONS scp:tmp:1:1700000000"});
  server_->WriteFile("accounts/gyrionaccu.scp.bkp.1700000000", "[Warden]\r\nPASSWORD=northwind\r\n");
  server_->WriteFile("accounts/gyrionaccu.scp.bkp.1700000000.1", "x");
  server_->WriteFile("accounts/gyrionacct.scp.tmp", "partial");
  server_->WriteFile("accounts/notes.scp", "notes\r\n");
  RawClient gm = LoggedIn("Keeper", "lantern7");
  for (const std::string& name :
       {std::string("accounts/gyrionaccu.scp.bkp.1700000000"), std::string("accounts\\gyrionaccu.scp.bkp.1700000000.1"),
        std::string("accounts/gyrionacct.scp.tmp"), std::string("./accounts/../accounts/gyrionaccu.scp")}) {
    for (const char* word : {"GFIL", "GFCS"}) {
      gm.Send(word + name);
      EXPECT_EQ(gm.Receive(), kNoPrivilege) << word << name;
    }
  }
  EXPECT_EQ(Fetch(gm, "GFILaccounts/notes.scp"), "notes\n");
  gm.Send("GDIRaccounts");
  std::string listing = gm.Receive();
  EXPECT_NE(listing.find("notes.scp"), std::string::npos);
  EXPECT_EQ(listing.find("gyrionacc"), std::string::npos) << listing;

  RawClient admin = LoggedIn("Warden", "northwind");
  EXPECT_EQ(Fetch(admin, "GFILaccounts/gyrionacct.scp.tmp"), "partial");
  admin.Send("GDIRaccounts");
  EXPECT_NE(admin.Receive().find("gyrionaccu.scp.bkp.1700000000"), std::string::npos);
}

TEST_F(Hostile, NamesThatCannotBeOpenedOrLeadThroughLinks) {
  Launch();
  fs::path outside = server_->folder().parent_path() / ("victim-target-" + std::to_string(::getpid()));
  fs::create_symlink(outside, server_->folder() / "scripts" / "victim.scp.tmp");
  fs::create_directory(server_->folder() / "sub");
  RawClient c = LoggedIn("Warden", "northwind");
  // A dangling temporary link is replaced, never followed.
  EXPECT_EQ(Store(c, "SFILvictim.scp", "mine\n"), "File Received");
  EXPECT_FALSE(fs::exists(fs::symlink_status(outside)));
  EXPECT_FALSE(fs::is_symlink(server_->folder() / "scripts" / "victim.scp"));
  EXPECT_EQ(server_->ReadFile("scripts/victim.scp"), "mine\r\n");

  for (const std::string& name : {std::string("scripts/"), std::string("./sub"), std::string("gyrion.ini."),
                                  std::string("gyrion.ini "), std::string("a\x01" "b.scp")}) {
    c.Send("SFIL" + name);
    EXPECT_EQ(c.Receive(), "Error opening file on remote server (" + name + ")\r\n") << name;
    c.Send("GFIL" + name);
    EXPECT_EQ(c.Receive(), "Could not open file " + name + ".\r\n") << name;
    c.Send("GFCS" + name);
    EXPECT_EQ(c.Receive(), "0") << name;
  }
  c.Send("GDIRscripts\x02");
  EXPECT_EQ(c.Receive(), std::string("\0\0\0\0Invalid Path\0", 17));
  EXPECT_EQ(c.Receive(), kEnd);
  EXPECT_FALSE(fs::exists(server_->folder() / "scripts" / ".tmp"));
  EXPECT_TRUE(fs::is_directory(server_->folder() / "sub"));
}

TEST_F(Hostile, ClientTextsCannotForgeLogLines) {
  Launch();
  RawClient c = LoggedIn("Warden", "northwind");
  c.Send("GFILnothing\r\nLogin from IP 10.9.8.7 successful for user X");
  c.Receive();
  c.Send("X\nY\\");
  c.Receive();
  ASSERT_TRUE(server_->WaitForLog("Unknown message X\\x0AY\\\\ received"));
  std::string log = server_->Log();
  EXPECT_EQ(log.find("\nLogin from IP 10.9.8.7"), std::string::npos);
  EXPECT_NE(log.find("Retrieving file nothing\\x0D\\x0ALogin from IP 10.9.8.7 successful for user X for user Warden"),
            std::string::npos);
}

TEST_F(Hostile, UploadDataNeverReachesTheCommandLoop) {
  Launch({"MAXUPLOADSIZE 3000"});
  const std::string old_items = server_->ReadFile("gyrionitem2.scp");
  struct Case {
    const char* name;
    std::string word;
    std::string after_data;  // raw bytes sent after one data packet
  };
  const std::string strt = std::string("\x04\x00\x00\x00", 4) + "STRT";
  const Case cases[] = {
      {"store, length -1", "SIT2", "\xff\xff\xff\xff" + strt},
      {"store, length -2", "SIT2", "\xfe\xff\xff\xff" + strt},
      {"store, any negative length", "SIT2", std::string("\x00\x00\x00\x80", 4) + strt},
      {"merge, length -1", "SITM", "\xff\xff\xff\xff" + strt},
  };
  for (const Case& k : cases) {
    RawClient c = LoggedIn("Warden", "northwind");
    c.Send(k.word);
    c.Receive();
    c.Send("[6000]\nNAME=x\n");
    EXPECT_EQ(c.Receive(), "14") << k.name;
    c.SendRaw(k.after_data);
    EXPECT_EQ(c.Receive(), "<closed>") << k.name;
  }
  // An upload over MAXUPLOADSIZE is read to its end and refused.
  RawClient c = LoggedIn("Warden", "northwind");
  EXPECT_EQ(Store(c, "SIT2", std::string(4000, 'S')), "Error opening file on remote server (gyrionitem2.scp)\r\n");
  c.Send("PORT");
  EXPECT_EQ(c.Receive(), "2593");
  EXPECT_EQ(server_->ReadFile("gyrionitem2.scp"), old_items);
  EXPECT_FALSE(fs::exists(server_->folder() / "scripts" / "gyrionitem2.scp"));
  EXPECT_FALSE(fs::exists(server_->folder() / "scripts" / "gyrionitem2.scp.tmp"));
  EXPECT_EQ(server_->Log().find("is attempting to start the server"), std::string::npos);
}

TEST_F(Hostile, AccountLinesAndLoginTimeOuts) {
  Launch({"RECEIVETIMEOUT 300"});
  server_->WriteFile("accounts/gyrionaccu.scp",
                     "[Empty]\r\nPLEVEL=ADMIN\r\nPASSWORD=\r\n\r\n"
                     "[Noted]\r\nNOTE=ab7 PLEVEL=x\r\nPASSWORD=pw\r\n\r\n"
                     "[Tail]\r\nPLEVEL=PLAYER\r\nNOTE=" + std::string(254, 'n') + "PLEVEL=OWNER\r\nPASSWORD=pw\r\n\r\n"
                     "[Twice]\r\nPLEVEL=ADMIN\r\nPASSWORD=first\r\nPASSWORD=second\r\n\r\n"
                     "[Indented]\r\n  PLEVEL=GM\r\n\tPASSWORD=pw\r\n");
  const struct {
    const char* user;
    const char* password;
    std::string reply;
  } cases[] = {
      {"Noted", "pw", "Login failed.  Insufficient priveleges.\r\n"},
      {"Tail", "pw", "Login failed.  Insufficient priveleges.\r\n"},
      {"Twice", "second", "Login failed.  Bad userid or password.\r\n"},
      {"Twice", "first", "Login successful. Protocol 1.0\r\n"},
      {"Indented", "pw", "Login successful. Protocol 1.0\r\n"},
  };
  for (const auto& k : cases) {
    RawClient c(server_->port());
    EXPECT_EQ(c.Login(k.user, k.password), k.reply) << k.user << " " << k.password;
  }
  // Silence where the password should come is no empty password.
  RawClient c(server_->port());
  c.Receive();
  c.Send("Empty");
  EXPECT_EQ(c.Receive(), "Password: ");
  EXPECT_EQ(c.Receive(2000), "<closed>");
  EXPECT_EQ(server_->Log().find("successful for user Empty"), std::string::npos);
}

TEST_F(Hostile, StoredIniCannotWidenTheFolders) {
  Launch();
  fs::path elsewhere = server_->folder().parent_path() / ("elsewhere-" + std::to_string(::getpid()));
  fs::create_directories(elsewhere);
  std::ofstream(elsewhere / "secret.scp") << "secret\n";
  RawClient c = LoggedIn("Warden", "northwind");
  std::string ini = server_->ReadFile("gyrion.ini");
  ini.replace(ini.find("SCPFILES=scripts/"), 17, "SCPFILES=" + elsewhere.string() + "/");
  EXPECT_EQ(Store(c, "SFIL./gyrion.ini", ini), "File Received");
  const std::string secret = (elsewhere / "secret.scp").string();
  c.Send("GFIL" + secret);
  EXPECT_EQ(c.Receive(), "Could not open file " + secret + ".\r\n");
  c.Send("SDFS");
  EXPECT_EQ(c.Receive(), "Error opening file on remote server (gyriondefs2.scp)\r\n");
  EXPECT_FALSE(fs::exists(elsewhere / "gyriondefs2.scp"));
  fs::remove_all(elsewhere);
}

TEST_F(Hostile, FramingStaysInStep) {
  Launch({"RECEIVETIMEOUT 200"});
  {
    // Padding between commands, then a pause: the wait goes on.
    RawClient c = LoggedIn("Warden", "northwind");
    c.SendRaw(std::string(4, '\0'));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    c.Send("PORT");
    EXPECT_EQ(c.Receive(), "2593");
  }
  {
    // A length split by a pause inside an upload breaks the stream: the
    // session ends and nothing of it is taken for a command.
    const std::string old_text = server_->ReadFile("scripts/gyriondefs2.scp");
    RawClient c = LoggedIn("Warden", "northwind");
    c.Send("SDFS");
    EXPECT_EQ(c.Receive(), kReady);
    c.SendRaw(std::string("\x04\x00", 2));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    c.SendRaw(std::string("\x00\x00", 2) + "STRT");
    EXPECT_EQ(c.Receive(), "<closed>");
    EXPECT_EQ(server_->ReadFile("scripts/gyriondefs2.scp"), old_text);
  }
  EXPECT_EQ(server_->Log().find("is attempting to start the server"), std::string::npos);
}

TEST_F(Hostile, BurstOfConnectionsWaitsInTheBacklog) {
  Launch();
  // The service accepts nothing while stopped: every connection of the burst
  // must still complete its handshake in the listen backlog.
  server_->Signal(SIGSTOP);
  // The kernel caps every backlog at net.core.somaxconn.
  int burst = 200;
  if (std::ifstream limit("/proc/sys/net/core/somaxconn"); limit) {
    int cap = 0;
    if (limit >> cap && cap > 0) burst = std::min(burst, cap);
  }
  std::vector<int> fds;
  std::vector<pollfd> polls;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(server_->port()));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  for (int i = 0; i < burst; ++i) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    ASSERT_GE(fd, 0);
    ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    fds.push_back(fd);
    polls.push_back(pollfd{fd, POLLOUT, 0});
  }
  int connected = 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(800);
  while (connected < burst && std::chrono::steady_clock::now() < deadline) {
    ::poll(polls.data(), polls.size(), 50);
    connected = 0;
    for (pollfd& p : polls) connected += (p.revents & POLLOUT) != 0;
  }
  server_->Signal(SIGCONT);
  EXPECT_EQ(connected, burst);
  for (int fd : fds) ::close(fd);
}

}  // namespace
