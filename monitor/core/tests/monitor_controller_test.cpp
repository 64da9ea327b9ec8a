#include "monitor/core/monitor_controller.h"

#include <gtest/gtest.h>

#include <string>

#include "monitor/core/profile_file.h"
#include "monitor/core/tests/controller_fakes.h"
#include "testing/temp_folder.h"

namespace monitor {
namespace {

using testing::FakeConfigure;
using testing::FakeSocket;
using testing::FakeView;
using testing_support::TempFolder;

constexpr char kSettings[] = "[Settings]\r\nHOST=console.example\r\nPORT=2593\r\n";

// A short date with slashes, as many systems write it.
LocalStamp Moment() { return {2024, 3, 7, "3/7/24", "9:05:01 PM"}; }

// A controller over fakes, with its settings folder holding `ini` (none when
// empty) and the main window loaded.
struct Monitor {
  explicit Monitor(const std::string& ini = kSettings) {
    if (!ini.empty()) folder.WriteText("Configuration.ini", ini);
    controller.frmMain_Load();
  }
  TempFolder folder;
  FakeView view;
  FakeSocket socket;
  TextProfileStrings profile;
  MonitorController controller{view, socket, profile, folder.Dir(), Moment};

  // Connects, as the socket's events would, and answers the password prompt.
  void ConnectAndLogIn() {
    controller.cmdConnect_Click();
    socket.state = kStateConnected;
    controller.TelnetSocket_Connect();
    Send("password");
  }
  void Send(const std::string& line) {
    view.command = line;
    controller.txtCommand_KeyPress(13);
  }
  void Receive(const std::string& bytes) {
    socket.incoming = bytes;
    controller.TelnetSocket_DataArrival();
  }
};

// --- Loading the settings ---------------------------------------------------

TEST(MonitorLoad, ToolTipTellsWhetherBothSettingsAreThere) {
  struct Row {
    const char* ini;
    const char* tip;
  };
  const Row rows[] = {
      {"", "Configure Gyrion Monitor first!"},
      {"[Settings]\nHOST=h\n", "Configure Gyrion Monitor first!"},
      {"[Settings]\nPORT=1\n", "Configure Gyrion Monitor first!"},
      {"[Settings]\nHOST=\nPORT=1\n", "Configure Gyrion Monitor first!"},
      {"[Other]\nHOST=h\nPORT=1\n", "Configure Gyrion Monitor first!"},
      {"[Settings]\nHOST=h\nPORT=1\n", "Connect to: h @ port 1"},
      {"[settings]\nhost=h\nPort=1\n", "Connect to: h @ port 1"},
      {kSettings, "Connect to: console.example @ port 2593"},
  };
  for (const Row& row : rows) {
    Monitor m(row.ini);
    EXPECT_EQ(m.view.tool_tip, row.tip) << row.ini;
    EXPECT_EQ(m.view.picture, ConnectPicture::kConnect) << row.ini;
  }
}

TEST(MonitorLoad, ConsoleLimitComesFromTheSettingsFile) {
  EXPECT_EQ(Monitor("").controller.ConsoleLimitChars(), 4096u * 1024);
  EXPECT_EQ(Monitor("[Settings]\nMAXCONSOLEKB=64\n").controller.ConsoleLimitChars(), 64u * 1024);
}


// --- The connect button -----------------------------------------------------

TEST(MonitorConnect, UnconfiguredClickOnlyShowsTheErrorBox) {
  for (const char* ini : {"", "[Settings]\nHOST=h\n", "[Settings]\nPORT=7\n"}) {
    Monitor m(ini);
    m.view.console = "kept";
    m.controller.cmdConnect_Click();
    ASSERT_EQ(m.view.messages.size(), 1u) << ini;
    EXPECT_EQ(m.view.messages[0].text, "Please configure Gyrion Monitor before trying to connect.");
    EXPECT_EQ(m.view.messages[0].title, "Error!");
    EXPECT_EQ(m.view.messages[0].icon, MessageIcon::kCritical);
    EXPECT_TRUE(m.socket.connects.empty());
    EXPECT_EQ(m.view.console, "kept");
    EXPECT_EQ(m.view.status, "Status: Not Connected.");
  }
}

TEST(MonitorConnect, ClickActsOnTheSocketState) {
  struct Row {
    int state;
    int closes;
    int connects;
    const char* console;
    const char* status;
    const char* tip;
    ConnectPicture picture = ConnectPicture::kConnect;
  };
  constexpr char kTip[] = "Connect to: console.example @ port 2593";
  const Row rows[] = {
      {kStateClosed, 0, 1, "", "Status: Connecting to console.example:2593",
       "Disconnect from: console.example:2593", ConnectPicture::kDisconnect},
      {kStateConnecting, 1, 0, "old text", "Status: Cancelled Connection to console.example:2593",
       kTip},
      // Every other state leaves everything as it is.
      {kStateOpen, 0, 0, "old text", "Status: Not Connected.", kTip},
      {kStateListening, 0, 0, "old text", "Status: Not Connected.", kTip},
      {kStateConnectionPending, 0, 0, "old text", "Status: Not Connected.", kTip},
      {kStateResolvingHost, 0, 0, "old text", "Status: Not Connected.", kTip},
      {kStateHostResolved, 0, 0, "old text", "Status: Not Connected.", kTip},
      {kStateClosing, 0, 0, "old text", "Status: Not Connected.", kTip},
      {kStateError, 0, 0, "old text", "Status: Not Connected.", kTip},
  };
  for (const Row& row : rows) {
    Monitor m;
    m.view.console = "old text";
    m.socket.state = row.state;
    m.controller.cmdConnect_Click();
    EXPECT_EQ(m.socket.closes, row.closes) << row.state;
    ASSERT_EQ(static_cast<int>(m.socket.connects.size()), row.connects) << row.state;
    if (row.connects == 1) {
      EXPECT_EQ(m.socket.connects[0], "console.example|2593");
    }
    EXPECT_EQ(m.view.console, row.console) << row.state;
    EXPECT_EQ(m.view.status, row.status) << row.state;
    EXPECT_EQ(m.view.tool_tip, row.tip) << row.state;
    EXPECT_EQ(m.view.picture, row.picture) << row.state;
    EXPECT_TRUE(m.view.messages.empty()) << row.state;
    EXPECT_FALSE(m.folder.Exists("GX-2024-03-07.log")) << row.state;
  }
}

TEST(MonitorConnect, UserDisconnectAppendsALogRecordAndSaysSo) {
  Monitor m;
  m.socket.state = kStateConnected;
  m.view.console = "Password accepted\nhello";
  m.controller.cmdConnect_Click();
  m.socket.state = kStateConnected;
  m.view.console = "second";
  m.controller.cmdConnect_Click();

  EXPECT_EQ(m.socket.closes, 2);
  EXPECT_EQ(m.folder.Read("GX-2024-03-07.log"),
            "[ 3/7/24 9:05:01 PM ]\r\nPassword accepted\r\nhello\r\n\r\n"
            "[ 3/7/24 9:05:01 PM ]\r\nsecond\r\n\r\n");
  EXPECT_EQ(m.view.console,
            "Disconnected from: console.example\nSaved console to: GX-2024-03-07.log");
  EXPECT_EQ(m.view.status, "Status: Not Connected.");
  EXPECT_EQ(m.view.tool_tip, "Connect to: console.example @ port 2593");
  EXPECT_EQ(m.view.picture, ConnectPicture::kConnect);
  EXPECT_TRUE(m.view.messages.empty());
}

TEST(MonitorConnect, FailedSaveIsReportedNotClaimed) {
  Monitor m;
  m.socket.state = kStateConnected;
  m.view.console = "lost";
  // A folder in the log's place makes the file impossible to open.
  std::filesystem::create_directory(m.folder.File("GX-2024-03-07.log"));
  m.controller.cmdConnect_Click();
  EXPECT_EQ(m.socket.closes, 1);
  EXPECT_EQ(m.view.console,
            "Disconnected from: console.example\nFailed to save console to: GX-2024-03-07.log");
  EXPECT_EQ(m.view.status, "Status: Not Connected.");
}

// --- Sending a command ------------------------------------------------------

TEST(MonitorSend, EnterActsOnTheSocketState) {
  struct Row {
    int state;
    int key;
    const char* sent;
    const char* command_after;
    bool error_box;
  };
  const Row rows[] = {
      {kStateConnected, 13, "help\r\n", "", false},
      {kStateConnected, 'h', "", "help", false},
      {kStateConnected, 10, "", "help", false},
      {kStateClosed, 13, "", "", true},
      {kStateClosed, 'x', "", "help", false},
      {kStateConnecting, 13, "", "help", false},
      {kStateResolvingHost, 13, "", "help", false},
      {kStateClosing, 13, "", "help", false},
  };
  for (const Row& row : rows) {
    Monitor m;
    m.socket.state = row.state;
    m.view.command = "help";
    m.controller.txtCommand_KeyPress(row.key);
    EXPECT_EQ(m.socket.sent, row.sent) << row.state << " " << row.key;
    EXPECT_EQ(m.view.command, row.command_after) << row.state << " " << row.key;
    ASSERT_EQ(m.view.messages.size(), row.error_box ? 1u : 0u) << row.state;
    if (row.error_box) {
      EXPECT_EQ(m.view.messages[0].text, "Connect before trying to send a command.");
      EXPECT_EQ(m.view.messages[0].title, "Error!");
      EXPECT_EQ(m.view.messages[0].icon, MessageIcon::kNone);
      EXPECT_TRUE(m.view.messages[0].system_modal);
    }
  }
}

TEST(MonitorSend, CommandIsSentAsConsoleBytes) {
  Monitor m;
  m.socket.state = kStateConnected;
  m.view.command = "say caf\xC3\xA9 \xE2\x82\xAC";  // "say café €"
  m.controller.txtCommand_KeyPress(13);
  EXPECT_EQ(m.socket.sent, "say caf\xE9 ?\r\n");
}

TEST(MonitorSend, EmptyLineStillSendsItsLineEnd) {
  Monitor m;
  m.socket.state = kStateConnected;
  m.controller.txtCommand_KeyPress(13);
  EXPECT_EQ(m.socket.sent, "\r\n");
}


// --- Socket events ----------------------------------------------------------

TEST(MonitorSocket, ConnectSendsOneBlankAndAsksForThePassword) {
  Monitor m;
  m.controller.cmdConnect_Click();
  m.socket.state = kStateConnected;
  m.controller.TelnetSocket_Connect();
  EXPECT_EQ(m.socket.sent, " ");
  EXPECT_EQ(m.view.command, "Enter Password!");
  EXPECT_EQ(m.view.status, "Status: Connected to console.example:2593");
  EXPECT_EQ(m.view.tool_tip, "Disconnect from: console.example:2593");
}

TEST(MonitorSocket, ArrivingBytesAreInsertedAsText) {
  Monitor m;
  m.socket.incoming = "Welcome\r\n\xA9 2024";
  m.controller.TelnetSocket_DataArrival();
  ASSERT_EQ(m.view.inserted.size(), 1u);
  EXPECT_EQ(m.view.inserted[0], "Welcome\n\xC2\xA9 2024");
}

// The console shows Latin-1 characters; the log holds the bytes that came.
TEST(MonitorSocket, LogHoldsTheBytesAsTheyCame) {
  Monitor m;
  m.ConnectAndLogIn();
  m.Receive("caf\xE9\r\n\xFF");
  m.controller.cmdConnect_Click();
  EXPECT_EQ(m.folder.Read("GX-2024-03-07.log"),
            "[ 3/7/24 9:05:01 PM ]\r\ncaf\xE9\r\n\xFF\r\n\r\n");
}

TEST(MonitorSocket, NothingToReadInsertsNothing) {
  Monitor m;
  m.controller.TelnetSocket_DataArrival();
  EXPECT_TRUE(m.view.inserted.empty());
}

TEST(MonitorSocket, PeerCloseAndErrorKeepTheConsole) {
  struct Row {
    void (MonitorController::*event)();
    const char* status;
  };
  const Row rows[] = {
      {&MonitorController::TelnetSocket_Close, "Status: Disconnected from console.example:2593"},
      {&MonitorController::TelnetSocket_Error,
       "Status: Failed to connect to console.example:2593"},
  };
  for (const Row& row : rows) {
    Monitor m;
    m.controller.cmdConnect_Click();
    m.socket.state = kStateConnected;
    m.view.console = "server said this";
    (m.controller.*row.event)();
    EXPECT_EQ(m.socket.closes, 1);
    EXPECT_EQ(m.socket.state, kStateClosed);
    EXPECT_EQ(m.view.status, row.status);
    EXPECT_EQ(m.view.tool_tip, "Connect to: console.example @ port 2593");
    EXPECT_EQ(m.view.picture, ConnectPicture::kConnect);
    EXPECT_EQ(m.view.console, "server said this");
    EXPECT_FALSE(m.folder.Exists("GX-2024-03-07.log"));
  }
}

// --- Console clicks ---------------------------------------------------------

TEST(MonitorConsole, MouseUpCopiesTheSelectionOrNothing) {
  for (const char* selection : {"selected words", ""}) {
    Monitor m;
    m.view.selection = selection;
    m.controller.txtConsole_MouseUp();
    EXPECT_EQ(m.view.clipboard, selection);
    EXPECT_EQ(m.view.clipboard_sets, 1);
    EXPECT_EQ(m.view.command_focused, 1);
  }
}


// --- The configure dialog ---------------------------------------------------

TEST(MonitorConfigure, LoadFillsTheBoxesFromMemory) {
  Monitor m;
  FakeConfigure dialog("typed earlier");
  m.controller.frmConfigure_Load(dialog);
  EXPECT_EQ(dialog.host, "console.example");
  EXPECT_EQ(dialog.port, "2593");
}

TEST(MonitorConfigure, OkWithAnEmptyBoxAsksAgainAndSavesNothing) {
  struct Row {
    const char* host;
    const char* port;
  };
  const Row rows[] = {{"", ""}, {"h", ""}, {"", "1"}};
  for (const Row& row : rows) {
    Monitor m("");
    FakeConfigure dialog(row.host, row.port);
    m.controller.frmConfigure_cmdOk_Click(dialog);
    ASSERT_EQ(dialog.messages.size(), 1u);
    EXPECT_EQ(dialog.messages[0].text, "Please enter both Host and IP into correct boxes.");
    EXPECT_EQ(dialog.messages[0].title, "Information!");
    EXPECT_EQ(dialog.messages[0].icon, MessageIcon::kInformation);
    EXPECT_FALSE(dialog.closed);
    EXPECT_FALSE(m.folder.Exists("Configuration.ini"));
    EXPECT_EQ(m.controller.Settings().host, "");
    EXPECT_EQ(m.view.tool_tip, "Configure Gyrion Monitor first!");
  }
}

TEST(MonitorConfigure, OkStoresBothAndTakesEffectAtOnce) {
  Monitor m("");
  FakeConfigure dialog("10.0.0.5", "2594");
  m.controller.frmConfigure_cmdOk_Click(dialog);
  EXPECT_TRUE(dialog.closed);
  EXPECT_TRUE(dialog.messages.empty());
  EXPECT_EQ(m.folder.Read("Configuration.ini"), "[Settings]\nHOST=10.0.0.5\nPORT=2594\n");
  EXPECT_EQ(m.view.tool_tip, "Connect to: 10.0.0.5 @ port 2594");
  m.controller.cmdConnect_Click();
  ASSERT_EQ(m.socket.connects.size(), 1u);
  EXPECT_EQ(m.socket.connects[0], "10.0.0.5|2594");
}

TEST(MonitorConfigure, NewHostNamesItselfInAnOpenConnectionsTexts) {
  Monitor m;
  m.controller.cmdConnect_Click();
  m.socket.state = kStateConnected;
  m.controller.TelnetSocket_Connect();
  FakeConfigure dialog("other.example", "2593");
  m.controller.frmConfigure_cmdOk_Click(dialog);
  EXPECT_EQ(m.view.tool_tip, "Disconnect from: other.example:2593");
  EXPECT_EQ(m.view.picture, ConnectPicture::kDisconnect);
  m.controller.TelnetSocket_Close();
  EXPECT_EQ(m.view.status, "Status: Disconnected from other.example:2593");
}

// --- The command history ----------------------------------------------------

TEST(MonitorHistory, UpAndDownWalkTheLinesSent) {
  Monitor m;
  m.ConnectAndLogIn();
  for (const char* line : {"help", "who", "", "who", "save"}) m.Send(line);
  m.view.command = "draft";
  struct Step {
    int key;
    const char* shown;
  };
  // The password, the empty line and the repeated line are not kept.
  const Step steps[] = {{kKeyUp, "save"}, {kKeyUp, "who"},    {kKeyUp, "help"},
                        {kKeyUp, "help"}, {kKeyDown, "who"},  {kKeyDown, "save"},
                        {kKeyDown, "draft"}, {kKeyDown, "draft"}, {'A', "draft"}};
  for (const Step& step : steps) {
    m.controller.txtCommand_KeyDown(step.key);
    EXPECT_EQ(m.view.command, step.shown) << step.key;
  }
  // A line sent from the history becomes the newest.
  m.controller.txtCommand_KeyDown(kKeyUp);
  m.controller.txtCommand_KeyDown(kKeyUp);
  m.Send(m.view.command);
  m.controller.txtCommand_KeyDown(kKeyUp);
  EXPECT_EQ(m.view.command, "who");
  EXPECT_EQ(m.socket.sent, " password\r\nhelp\r\nwho\r\n\r\nwho\r\nsave\r\nwho\r\n");
}

// --- The bounded console ----------------------------------------------------

TEST(MonitorConsoleLimit, DroppedLinesStillReachTheLog) {
  struct Row {
    void (*end)(Monitor&);
    bool console_after;  // the console still holds its text afterwards
  };
  const Row rows[] = {
      {[](Monitor& m) { m.controller.cmdConnect_Click(); }, false},
      {[](Monitor& m) { m.controller.TelnetSocket_Close(); }, true},
      {[](Monitor& m) { m.controller.TelnetSocket_Error(); }, true},
      {[](Monitor& m) { m.controller.frmMain_Unload(); }, true},
  };
  for (const Row& row : rows) {
    Monitor m("[Settings]\nHOST=h\nPORT=1\nMAXCONSOLEKB=1\n");
    m.ConnectAndLogIn();
    std::string all;
    for (int i = 0; i < 100; ++i) {
      const std::string line = "line " + std::to_string(i) + std::string(30, '.') + "\r\n";
      all += line;
      m.Receive(line);
      ASSERT_LE(m.view.console.size(), 1024u) << i;
    }
    m.Receive("tail without end");
    EXPECT_EQ(m.view.console.substr(0, 5), "line ") << "whole lines go";
    const std::string console = m.view.console;
    row.end(m);
    std::string logged = "[ 3/7/24 9:05:01 PM ]\r\n" + all + "tail without end\r\n\r\n";
    EXPECT_EQ(m.folder.Read("GX-2024-03-07.log"), logged);
    EXPECT_EQ(m.view.console == console, row.console_after);
  }
}


}  // namespace
}  // namespace monitor
