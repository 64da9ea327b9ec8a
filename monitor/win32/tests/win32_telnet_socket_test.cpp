// The socket on the window thread: its events arrive as window messages, so
// each test runs this thread's message loop until the event it waits for.
#include "monitor/win32/win32_telnet_socket.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/win32/tests/loopback_console.h"

namespace monitor {
namespace {

using testing::LoopbackConsole;

// A socket that writes down its events in order.
struct Recorder {
  Recorder() {
    socket.on_connected = [this] { events.push_back("connected"); };
    socket.on_data_arrival = [this] { events.push_back("data:" + socket.ReadAll()); };
    socket.on_closed_by_peer = [this] {
      events.push_back("closed");
      socket.Close();
    };
    socket.on_failed = [this] {
      events.push_back("failed");
      socket.Close();
    };
  }
  // Runs the message loop until `count` events have come, blocking while no
  // message arrives; gives up after `limit_ms`.
  bool WaitForEvents(size_t count, DWORD limit_ms = 10000) {
    const ULONGLONG deadline = GetTickCount64() + limit_ms;
    while (events.size() < count) {
      const ULONGLONG now = GetTickCount64();
      if (now >= deadline) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    return true;
  }
  // Handles what is already queued.
  void Settle() { WaitForEvents(events.size() + 1, 50); }

  Win32TelnetSocket socket{GetModuleHandleW(nullptr)};
  std::vector<std::string> events;
};

TEST(Win32TelnetSocket, AConversationAndThePeersClose) {
  struct Row {
    const char* host;
    bool reset;  // the peer resets instead of closing
  };
  // A reset ends the conversation as a close does.
  const Row rows[] = {{"127.0.0.1", false}, {"localhost", false}, {"127.0.0.1", true}};
  for (const Row& row : rows) {
    LoopbackConsole console;
    Recorder recorder;
    recorder.socket.Connect(row.host, std::to_string(console.Port()));
    EXPECT_EQ(recorder.socket.State(), row.host[0] == 'l' ? kStateResolvingHost : kStateConnecting);
    ASSERT_TRUE(recorder.WaitForEvents(1)) << row.host;
    EXPECT_EQ(recorder.events[0], "connected");
    EXPECT_EQ(recorder.socket.State(), kStateConnected);
    ASSERT_TRUE(console.Accept());
    recorder.socket.Send(" ");
    recorder.socket.Send("help\r\n");
    EXPECT_EQ(console.ReceiveUntil("\r\n"), " help\r\n");
    console.Send("last words");
    ASSERT_TRUE(recorder.WaitForEvents(2));
    console.ClosePeer(row.reset);
    ASSERT_TRUE(recorder.WaitForEvents(3));
    EXPECT_EQ(recorder.events[1], "data:last words") << row.host;
    EXPECT_EQ(recorder.events[2], "closed") << row.host;
    EXPECT_EQ(recorder.socket.State(), kStateClosed);
  }
}

TEST(Win32TelnetSocket, DataSentJustBeforeTheCloseArrivesFirst) {
  LoopbackConsole console;
  Recorder recorder;
  recorder.socket.Connect("127.0.0.1", std::to_string(console.Port()));
  ASSERT_TRUE(recorder.WaitForEvents(1));
  ASSERT_TRUE(console.Accept());
  console.Send("goodbye");
  console.ClosePeer();
  ASSERT_TRUE(recorder.WaitForEvents(3));
  EXPECT_EQ(recorder.events[1], "data:goodbye");
  EXPECT_EQ(recorder.events[2], "closed");
}

TEST(Win32TelnetSocket, ConnectionsThatCannotBeMadeFailLater) {
  unsigned short closed_port = 0;
  {
    LoopbackConsole gone;
    closed_port = gone.Port();
  }
  for (const std::string& port : {std::to_string(closed_port), std::string("not a port")}) {
    Recorder recorder;
    recorder.socket.Connect("127.0.0.1", port);
    // Never from inside the call.
    EXPECT_TRUE(recorder.events.empty());
    ASSERT_TRUE(recorder.WaitForEvents(1)) << port;
    EXPECT_EQ(recorder.events[0], "failed") << port;
    EXPECT_EQ(recorder.socket.State(), kStateClosed);
  }
}

TEST(Win32TelnetSocket, CloseSilencesWhatWasUnderWay) {
  LoopbackConsole stalled(0);
  stalled.Stall();
  LoopbackConsole talkative;
  struct Row {
    const char* host;
    unsigned short port;
    bool accept_and_talk;
  };
  const Row rows[] = {
      {"127.0.0.1", stalled.Port(), false},  // still connecting
      {"localhost", stalled.Port(), false},  // still looking the name up
      {"127.0.0.1", talkative.Port(), true},  // data and a close already queued
  };
  for (const Row& row : rows) {
    Recorder recorder;
    recorder.socket.Connect(row.host, std::to_string(row.port));
    if (row.accept_and_talk) {
      ASSERT_TRUE(recorder.WaitForEvents(1));
      ASSERT_TRUE(talkative.Accept());
      talkative.Send("unread");
      talkative.ClosePeer();
      // The system has queued its read event before the close below.
      ASSERT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 10000, QS_POSTMESSAGE), WAIT_OBJECT_0);
    }
    const size_t seen = recorder.events.size();
    recorder.socket.Close();
    EXPECT_EQ(recorder.socket.State(), kStateClosed);
    recorder.Settle();
    EXPECT_EQ(recorder.events.size(), seen) << row.host << ":" << row.port;
  }
}

}  // namespace
}  // namespace monitor
