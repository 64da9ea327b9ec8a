// GyrionMonitor.exe under Wine, driven through its windows' messages against
// a loopback console: first start, configuring, connecting, sending and the
// history, receiving, copying, the user's disconnect with its log, the peer's
// close, a refused port, cancelling, the about box and a long session.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "monitor/core/profile_strings.h"
#include "testing/temp_folder.h"
#include "monitor/win32/resource.h"
#include "monitor/win32/tests/loopback_console.h"
#include "monitor/win32/tests/monitor_process.h"

namespace monitor::testing {
namespace {

using testing_support::TempFolder;

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Today's log name and the date its records start with.
std::string TodaysLog() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char name[32];
  std::snprintf(name, sizeof(name), "GX-%04u-%02u-%02u.log", now.wYear, now.wMonth, now.wDay);
  return name;
}

std::string ShortDate() {
  char date[80] = "";
  GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, sizeof(date));
  return date;
}

class MonitorUi : public ::testing::Test {
 protected:
  // Starts the monitor with `ini` as its settings (none when empty).
  void Start(const std::string& ini) {
    monitor_ = std::make_unique<MonitorProcess>(folder_.Path(), ini);
    ASSERT_NE(monitor_->Main(), nullptr) << "the main window never showed";
  }
  void StartOnConsole(const std::string& more = "") {
    Start("[Settings]\r\nHOST=127.0.0.1\r\nPORT=" + std::to_string(console_.Port()) + "\r\n" + more);
  }
  // Starts on the console and connects.
  void Connect(const std::string& more = "") {
    StartOnConsole(more);
    Click(Item(IDC_CMDCONNECT));
    ASSERT_TRUE(console_.Accept());
    ASSERT_TRUE(WaitFor([&] { return Status() == Expect(L"Status: Connected to "); }));
  }
  HWND Item(int id) const { return monitor_->Item(id); }
  std::wstring Status() const { return Text(Item(IDC_LBLCONNSTATUS)); }
  std::wstring Console() const { return Text(Item(IDC_TXTCONSOLE)); }
  std::wstring Command() const { return Text(Item(IDC_TXTCOMMAND)); }
  std::wstring Tip() const { return monitor_->ToolTip(monitor_->Main(), Item(IDC_CMDCONNECT)); }
  std::wstring Expect(const wchar_t* lead, const wchar_t* separator = L":") const {
    return lead + std::wstring(L"127.0.0.1") + separator + std::to_wstring(console_.Port());
  }
  // Types `line` into the command box and presses Enter.
  void Type(const std::wstring& line) {
    SetText(Item(IDC_TXTCOMMAND), line);
    PressKey(Item(IDC_TXTCOMMAND), VK_RETURN);
    monitor_->Sync();
  }
  HICON Picture() const {
    return reinterpret_cast<HICON>(SendMessageW(Item(IDC_CMDCONNECT), BM_GETIMAGE, IMAGE_ICON, 0));
  }

  TempFolder folder_;
  LoopbackConsole console_;
  std::unique_ptr<MonitorProcess> monitor_;
};

TEST_F(MonitorUi, FirstStartAsksForSettingsAndConfiguringSavesThem) {
  Start("");
  EXPECT_TRUE(WaitFor([&] { return monitor_->Focus() == Item(IDC_TXTCOMMAND); }));
  EXPECT_EQ(Tip(), L"Configure Gyrion Monitor first!");
  EXPECT_EQ(Text(Item(IDC_FRACONSOLE)), L"Console:");
  EXPECT_EQ(monitor_->ToolTip(monitor_->Main(), Item(IDC_CMDCONFIGURE)), L"Configure Gyrion Remote.");
  EXPECT_EQ(monitor_->ToolTip(monitor_->Main(), Item(IDC_CMDABOUT)), L"About Box.");
  EXPECT_EQ(Status(), L"Status: Not Connected.");
  ClickLater(Item(IDC_CMDCONNECT));
  auto box = monitor_->AnswerMessageBox(L"Error!");
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"Please configure Gyrion Monitor before trying to connect.");
  EXPECT_TRUE(box->icon);

  Click(Item(IDC_CMDCONFIGURE));
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (dialog = monitor_->Dialog(L"")) != nullptr; }));
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), monitor_->Main());
  EXPECT_EQ(Text(GetDlgItem(dialog, IDC_CONFIGUREHEADING)), L"Gyrion Monitor Configuration");
  SetText(GetDlgItem(dialog, IDC_TXTHOST), L"127.0.0.1");
  ClickLater(GetDlgItem(dialog, IDOK));
  box = monitor_->AnswerMessageBox(L"Information!");
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"Please enter both Host and IP into correct boxes.");
  EXPECT_TRUE(box->icon);
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_FALSE(folder_.Exists("Configuration.ini"));

  SetText(GetDlgItem(dialog, IDC_TXTPORT), std::to_wstring(console_.Port()));
  Click(GetDlgItem(dialog, IDOK));
  EXPECT_FALSE(IsWindowVisible(dialog));
  EXPECT_EQ(Tip(), Expect(L"Connect to: ", L" @ port "));
  EXPECT_EQ(Text(Item(IDC_CMDCONNECT)), Tip());
  const std::string ini = SettingsFilePath(folder_.Dir());
  char value[750] = "";
  GetPrivateProfileStringA("Settings", "HOST", "", value, sizeof(value), ini.c_str());
  EXPECT_STREQ(value, "127.0.0.1");
  GetPrivateProfileStringA("Settings", "PORT", "", value, sizeof(value), ini.c_str());
  EXPECT_EQ(value, std::to_string(console_.Port()));

  // Cancel keeps the settings in memory, which the dialog shows again.
  Click(Item(IDC_CMDCONFIGURE));
  SetText(GetDlgItem(dialog, IDC_TXTHOST), L"elsewhere");
  Click(GetDlgItem(dialog, IDCANCEL));
  Click(Item(IDC_CMDCONFIGURE));
  EXPECT_EQ(Text(GetDlgItem(dialog, IDC_TXTHOST)), L"127.0.0.1");
}

TEST_F(MonitorUi, ConnectSendReceiveCopyAndDisconnectWithTheLog) {
  StartOnConsole();
  const HICON connect_picture = Picture();
  // A loopback connection may be made before the connecting status can be
  // read from here; the stalled connection below shows that status.
  Click(Item(IDC_CMDCONNECT));
  ASSERT_TRUE(console_.Accept());
  ASSERT_TRUE(WaitFor([&] { return Status() == Expect(L"Status: Connected to "); }));
  EXPECT_EQ(Tip(), Expect(L"Disconnect from: "));
  EXPECT_NE(Picture(), connect_picture);
  EXPECT_EQ(Command(), L"Enter Password!");
  PostMessageW(Item(IDC_TXTCOMMAND), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  PostMessageW(Item(IDC_TXTCOMMAND), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  monitor_->Sync();
  EXPECT_EQ(Command(), L"");

  // The blank came alone, then each line with CR LF; the console echoes.
  Type(L"secret");
  Type(L"help");
  EXPECT_EQ(console_.ReceiveUntil("help\r\n"), " secret\r\nhelp\r\n");
  EXPECT_EQ(Command(), L"");
  console_.Send("echo: help\r\nready");
  ASSERT_TRUE(WaitFor([&] { return Console() == L"echo: help\r\nready"; }));

  // Up and Down walk the lines sent; the password line is not among them.
  SetText(Item(IDC_TXTCOMMAND), L"draft");
  for (const auto& [key, shown] : {std::pair{VK_UP, L"help"}, std::pair{VK_UP, L"help"},
                                   std::pair{VK_DOWN, L"draft"}}) {
    PressKey(Item(IDC_TXTCOMMAND), key);
    monitor_->Sync();
    EXPECT_EQ(Command(), shown);
  }

  // Releasing the mouse over the console copies its selection, and the
  // focus goes back to the command box.
  PostMessageW(Item(IDC_TXTCONSOLE), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  monitor_->Sync();
  EXPECT_EQ(monitor_->Focus(), Item(IDC_TXTCONSOLE));
  SendMessageW(Item(IDC_TXTCONSOLE), EM_SETSEL, 6, 10);  // as a drag would leave it
  PostMessageW(Item(IDC_TXTCONSOLE), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  monitor_->Sync();
  EXPECT_EQ(ClipboardText(), L"help");
  EXPECT_EQ(monitor_->Focus(), Item(IDC_TXTCOMMAND));
  // What arrives next goes where the caret stands, over the selection.
  console_.Send("who");
  ASSERT_TRUE(WaitFor([&] { return Console() == L"echo: who\r\nready"; }));

  Click(Item(IDC_CMDCONNECT));
  EXPECT_EQ(Console(), L"Disconnected from: 127.0.0.1\r\nSaved console to: " + Wide(TodaysLog()));
  EXPECT_EQ(Status(), L"Status: Not Connected.");
  EXPECT_EQ(Tip(), Expect(L"Connect to: ", L" @ port "));
  EXPECT_EQ(Picture(), connect_picture);
  EXPECT_TRUE(console_.PeerClosed());
  const std::string log = folder_.Read(TodaysLog());
  EXPECT_EQ(log.rfind("[ " + ShortDate() + " ", 0), 0u) << log;
  EXPECT_NE(log.find(" ]\r\necho: who\r\nready\r\n\r\n"), std::string::npos) << log;
}

TEST_F(MonitorUi, PeerCloseKeepsTheConsoleAndSavesNothing) {
  Connect();
  console_.Send("goodbye\r\n");
  ASSERT_TRUE(WaitFor([&] { return Console() == L"goodbye\r\n"; }));
  console_.ClosePeer();
  ASSERT_TRUE(WaitFor([&] { return Status() == Expect(L"Status: Disconnected from "); }));
  EXPECT_EQ(Console(), L"goodbye\r\n");
  EXPECT_EQ(Tip(), Expect(L"Connect to: ", L" @ port "));
  EXPECT_FALSE(folder_.Exists(TodaysLog()));
}

TEST_F(MonitorUi, RefusedPortFailsAndAStalledConnectionCancels) {
  unsigned short closed_port = 0;
  {
    LoopbackConsole gone;
    closed_port = gone.Port();
  }
  const std::wstring closed = L"127.0.0.1:" + std::to_wstring(closed_port);
  Start("[Settings]\r\nHOST=127.0.0.1\r\nPORT=" + std::to_string(closed_port) + "\r\n");
  Click(Item(IDC_CMDCONNECT));
  ASSERT_TRUE(WaitFor([&] { return Status() == L"Status: Failed to connect to " + closed; }));
  EXPECT_EQ(Tip(), L"Connect to: 127.0.0.1 @ port " + std::to_wstring(closed_port));

  LoopbackConsole stalled(0);
  stalled.Stall();
  Click(Item(IDC_CMDCONFIGURE));
  HWND dialog = monitor_->Dialog(L"");
  ASSERT_NE(dialog, nullptr);
  SetText(GetDlgItem(dialog, IDC_TXTPORT), std::to_wstring(stalled.Port()));
  Click(GetDlgItem(dialog, IDOK));
  const std::wstring waiting = L"127.0.0.1:" + std::to_wstring(stalled.Port());
  Click(Item(IDC_CMDCONNECT));
  EXPECT_EQ(Status(), L"Status: Connecting to " + waiting);
  EXPECT_EQ(Tip(), L"Disconnect from: " + waiting);
  // Enter while connecting keeps the line for later.
  Type(L"help");
  EXPECT_EQ(Command(), L"help");
  Click(Item(IDC_CMDCONNECT));
  EXPECT_EQ(Status(), L"Status: Cancelled Connection to " + waiting);
  monitor_->Sync();
  EXPECT_EQ(Status(), L"Status: Cancelled Connection to " + waiting);
}

TEST_F(MonitorUi, EnterWhileClosedWarnsAboveEverythingAndDiscards) {
  StartOnConsole();
  SetText(Item(IDC_TXTCOMMAND), L"help");
  PressKey(Item(IDC_TXTCOMMAND), VK_RETURN);
  const auto box = monitor_->AnswerMessageBox(L"Error!");
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"Connect before trying to send a command.");
  EXPECT_FALSE(box->icon);
  EXPECT_TRUE(box->topmost);
  monitor_->Sync();
  EXPECT_EQ(Command(), L"");
}

TEST_F(MonitorUi, AboutShowsWithoutBlockingAndOkayCloses) {
  StartOnConsole();
  Click(Item(IDC_CMDABOUT));
  HWND about = monitor_->Dialog(L"");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(Text(GetDlgItem(about, IDC_ABOUTHEADING)), L"About Gyrion Monitor");
  EXPECT_EQ(Text(GetDlgItem(about, IDC_LBLRELEASE)), L"Beta Release 3");
  EXPECT_EQ(Text(GetDlgItem(about, IDC_LBLTSOC)), L"TSOC: 30 Minutes.");
  EXPECT_EQ(monitor_->ToolTip(about, GetDlgItem(about, IDC_LBLTSOC)), L"Time Spent On Coding (TSOC)");
  EXPECT_EQ(Text(GetDlgItem(about, IDOK)), L"Okay.");
  // The main window still takes clicks while the dialog is open.
  Click(Item(IDC_CMDCONNECT));
  EXPECT_EQ(Status().rfind(L"Status: Connect", 0), 0u) << Status();
  Click(GetDlgItem(about, IDOK));
  EXPECT_FALSE(IsWindowVisible(about));
}

TEST_F(MonitorUi, LongSessionKeepsTheBoxSmallAndTheLogWhole) {
  Connect("MAXCONSOLEKB=4\r\n");
  std::string all;
  for (int i = 0; i < 400; ++i) all += "line " + std::to_string(i) + " of a long session\r\n";
  console_.Send(all);
  ASSERT_TRUE(WaitFor([&] {
    const std::wstring text = Console();
    return text.size() > 20 && text.substr(text.size() - 20) == L" of a long session\r\n" &&
           text.find(L"line 399 ") != std::wstring::npos;
  }));
  EXPECT_LE(Console().size(), 4096u);
  EXPECT_EQ(Console().rfind(L"line ", 0), 0u) << "whole lines go";
  Click(Item(IDC_CMDCONNECT));
  const std::string log = folder_.Read(TodaysLog());
  const size_t body = log.find(" ]\r\n");
  ASSERT_NE(body, std::string::npos);
  EXPECT_EQ(log.substr(body + 4), all + "\r\n\r\n");
}

}  // namespace
}  // namespace monitor::testing
