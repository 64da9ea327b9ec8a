// End-to-end under Wine: the real orvosvr.exe as a console server on a free
// loopback port, against a temporary copy of the example game server; the
// bytes on the wire, the files on disk and the lines in the log.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>

#include "service/tests/raw_client.h"
#include "testing/orvosvr/windows_server.h"
#include "wire/directory_record.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Fetch;
using testing_support::kEnd;
using testing_support::RawClient;
using testing_support::Store;
using testing_support::WindowsServer;
using testing_support::WithoutCr;

class ConsoleSession : public ::testing::Test {
 protected:
  void Launch(const std::vector<std::string>& config = {}) {
    server_ = std::make_unique<WindowsServer>(config);
    ASSERT_TRUE(server_->Start()) << server_->Console();
  }
  RawClient LoggedIn() {
    RawClient c(server_->port());
    EXPECT_EQ(c.Login("Warden", "northwind"), "Login successful. Protocol 1.0\r\n");
    return c;
  }
  std::unique_ptr<WindowsServer> server_;
};

TEST_F(ConsoleSession, FetchStoreWithBackupMergeAndTheLog) {
  Launch();
  EXPECT_NE(server_->Console().find("orvosvr for Win32 version 0.13.3.6 startup complete\n"), std::string::npos)
      << server_->Console();
  RawClient c = LoggedIn();

  // A fetch announces the size on disk and delivers the text with LF ends.
  std::string disk = server_->ReadFile("gyrionitem2.scp");
  std::string announced;
  EXPECT_EQ(Fetch(c, "GITM", &announced), WithoutCr(disk));
  EXPECT_EQ(announced, std::to_string(disk.size()));

  // A store keeps the replaced file as a backup beside it.
  EXPECT_EQ(Store(c, "SDFS", "[DEFNAME first]\nX=1\n"), "File Received");
  EXPECT_EQ(server_->ReadFile("scripts\\gyriondefs2.scp"), "[DEFNAME first]\r\nX=1\r\n");
  std::string second = std::string(3000, 'z') + "\n";
  EXPECT_EQ(Store(c, "SDFS", second), "File Received");
  EXPECT_EQ(WithoutCr(server_->ReadFile("scripts\\gyriondefs2.scp")), second);
  std::vector<std::string> backups;
  for (const auto& e : fs::directory_iterator(server_->folder() / "scripts")) {
    std::string name = e.path().filename().string();
    if (name.rfind("gyriondefs2.scp.bkp.", 0) == 0) backups.push_back(name);
  }
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(server_->ReadFile("scripts\\" + backups[0]), "[DEFNAME first]\r\nX=1\r\n");

  // A merge allocates the next free id.
  c.Send("SITM");
  EXPECT_EQ(c.Receive(), "Ready to receive entry.  Send CRLF.CRLF to signal end of entry\r\n");
  c.Send("[]\nNAME=Bog lantern\n");
  EXPECT_EQ(c.Receive(), "20");
  c.Send(kEnd);
  EXPECT_EQ(c.Receive(), "OK - ID=6004") << server_->Log();
  EXPECT_NE(server_->ReadFile("gyrionitem2.scp").find("[6004]\r\nNAME=Bog lantern\r\n//// Inserted by Warden\r\n"),
            std::string::npos);

  c.Send("QUIT");
  EXPECT_EQ(c.Receive(), "Closing connection.\r\n");
  EXPECT_TRUE(c.Closed());

  // The daily log in the "LOG=" folder, with CR LF line ends.
  ASSERT_TRUE(server_->WaitForLog("from 127.0.0.1 closed.\r\n"));
  std::string log = server_->Log();
  for (const char* line : {"orvosvr for Win32 version 0.13.3.6 startup complete\r\n",
                           "Checking if host 127.0.0.1 is allowed to connect...\r\n",
                           "Login from IP 127.0.0.1 successful for user Warden\r\n",
                           "Retrieving Items for user Warden\r\n", "Updating defs from user Warden\r\n",
                           "Receiving custom item from user Warden\r\n"}) {
    EXPECT_NE(log.find(line), std::string::npos) << line;
  }
}

TEST_F(ConsoleSession, NamesFollowWindowsRules) {
  Launch({"ALLOWEDEXTENSIONS scp:ini", "ALLOWEDPATHS scripts:save"});
  std::string outside = (server_->folder().parent_path() / "outside.txt").string();
  server_->WriteFile("..\\outside.txt", "secret");
  RawClient c = LoggedIn();

  // Names ignore case, and either separator leads into the folders.
  EXPECT_EQ(Fetch(c, "GFILGYRION.INI"), WithoutCr(server_->ReadFile("gyrion.ini")));
  EXPECT_EQ(Fetch(c, "GFILscripts/../gyrion.ini"), WithoutCr(server_->ReadFile("gyrion.ini")));
  // Names that lead out of them are files that cannot be opened.
  for (const std::string& name : {std::string("..\\outside.txt"), outside, std::string("C:\\windows\\win.ini")}) {
    c.Send("GFIL" + name);
    EXPECT_EQ(c.Receive(), "Could not open file " + name + ".\r\n") << name;
    c.Send("GFCS" + name);
    EXPECT_EQ(c.Receive(), "0") << name;
  }

  // A listing carries the attribute words of the directory search.
  c.Send("GDIR.");
  std::string records;
  for (std::string packet = c.Receive(); packet != kEnd && packet.front() != '<'; packet = c.Receive()) {
    records += packet;
  }
  std::vector<wire::DirectoryRecord> decoded;
  ASSERT_GE(wire::DecodeDirectoryRecords(records, &decoded), 0);
  std::map<std::string, uint32_t> listed;
  for (const wire::DirectoryRecord& record : decoded) listed[record.name] = record.attributes;
  for (const char* name : {"gyrion.ini", "gyrionitem2.scp", "scripts", "save"}) {
    ASSERT_EQ(listed.count(name), 1u) << name;
    DWORD want = ::GetFileAttributesA((server_->folder() / name).string().c_str());
    EXPECT_EQ(listed[name], want) << name;
  }
  EXPECT_NE(listed["scripts"] & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(listed["gyrion.ini"] & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(listed.count("logs"), 0u);  // a folder not in ALLOWEDPATHS
  c.Send("QUIT");
  EXPECT_EQ(c.Receive(), "Closing connection.\r\n");
  ASSERT_TRUE(server_->WaitForLog("from 127.0.0.1 closed.\r\n"));
  // The log doubles the backslashes of a client's name.
  EXPECT_NE(server_->Log().find("Refused ..\\\\outside.txt: the name leads outside the game server's folders\r\n"),
            std::string::npos);
}

TEST_F(ConsoleSession, StartingTheGameServerProgram) {
  Launch();
  RawClient c = LoggedIn();
  // Without "gyrionsvr.exe" the start fails with the system's error.
  c.Send("STRT");
  ASSERT_TRUE(server_->WaitForLog("CreateProcess() returned error"));
  EXPECT_NE(server_->Log().find("Attempting CreateProcess() for " + server_->folder().string() + "\\gyrionsvr.exe\r\n"),
            std::string::npos);
  EXPECT_NE(server_->Log().find("CreateProcess() returned error 2  - " + testing_support::SystemText(2) + "\r\n"),
            std::string::npos)
      << server_->Log();

  // With it, the program runs in the game server's folder with a console of
  // its own, and the session goes on.
  fs::copy_file(FAKE_GAME_SERVER, server_->folder() / "gyrionsvr.exe");
  c.Send("STRT");
  ASSERT_TRUE(server_->WaitForFile("gyrionsvr-started.txt"));
  EXPECT_EQ(server_->ReadFile("gyrionsvr-started.txt"), "console");
  c.Send("PORT");
  EXPECT_EQ(c.Receive(), "2593");
}

TEST_F(ConsoleSession, DebugModeHoldsThePipe) {
  server_ = std::make_unique<WindowsServer>(std::vector<std::string>{"NTSERVICE"});
  ASSERT_TRUE(server_->Start("-debug")) << server_->Console();
  EXPECT_EQ(server_->Console().rfind("Debugging Orvo Server - Northmoor.\nService Start pending...started.\n", 0), 0u)
      << server_->Console();
  // A second copy for the same game server finds the pipe taken.
  testing_support::ProgramRun second = server_->RunOnce("/DEBUG");
  EXPECT_EQ(second.exit_code, -4);
  EXPECT_EQ(second.out,
            "Debugging Orvo Server - Northmoor.\n"
            "Service Start pending...Orvo Server could not create a named pipe.\n"
            "This is usually due to another instance of this program running\non this machine.\nTerminating\n."
            "An unexpected error occurred (rc = -4).\n");
  // The first one still serves.
  RawClient c = LoggedIn();
  c.Send("QUIT");
  EXPECT_EQ(c.Receive(), "Closing connection.\r\n");
}

TEST_F(ConsoleSession, CtrlBreakStopsTheDebugMode) {
  // The test needs a console to share with orvosvr.exe; one it has already
  // will do.
  if (!::AllocConsole() && ::GetLastError() != ERROR_ACCESS_DENIED) {
    std::printf("[ note ] no console to send Ctrl+Break through (error %lu)\n", ::GetLastError());
    return;
  }
  server_ = std::make_unique<WindowsServer>(std::vector<std::string>{"NTSERVICE"});
  ASSERT_TRUE(server_->Start("-debug", true)) << server_->Console();
  if (!server_->CtrlBreak()) {
    // Wine's console without a window delivers no control events
    // (ERROR_INVALID_ACCESS); the handler is installed all the same.
    std::printf("[ note ] the console could not deliver Ctrl+Break (error %lu): not checked here\n", ::GetLastError());
    return;
  }
  // The loop ends at once, reports stop pending five more times a second
  // apart, and the process ends with the server's result.
  EXPECT_EQ(server_->WaitForExit(60000), 0);
  std::string console = server_->Console();
  EXPECT_EQ(console.substr(console.size() - std::min<size_t>(console.size(), 36)),
            "The exit code is 0\nClosing orvosvr\n")
      << console;
}

}  // namespace
