// Stand-ins for the windows and the socket that record what the controller
// asks of them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "monitor/core/monitor_controller.h"

namespace monitor::testing {

class FakeView : public MonitorView {
 public:
  void SetConnectToolTip(const std::string& text) override { tool_tip = text; }
  void SetConnectPicture(ConnectPicture shown) override { picture = shown; }
  void SetStatus(const std::string& text) override { status = text; }
  std::string ConsoleText() const override { return console; }
  void SetConsoleText(const std::string& text) override { console = text; }
  size_t ConsoleLength() const override { return console.size(); }
  void RemoveConsoleHead(const std::string& head) override {
    EXPECT_EQ(console.compare(0, head.size(), head), 0) << "not the console's head";
    console.erase(0, head.size());
  }
  std::string ConsoleSelection() const override { return selection; }
  void InsertConsoleText(const std::string& text) override {
    inserted.push_back(text);
    console += text;
  }
  std::string CommandText() const override { return command; }
  void SetCommandText(const std::string& text) override { command = text; }
  void FocusCommand() override { ++command_focused; }
  void SetClipboardText(const std::string& text) override {
    clipboard = text;
    ++clipboard_sets;
  }
  void ShowMessage(const MessageBoxRequest& box) override { messages.push_back(box); }
  void ShowConfigure() override { ++configure_shown; }
  void ShowAbout() override { ++about_shown; }

  std::string tool_tip = "(unset)";
  ConnectPicture picture = ConnectPicture::kDisconnect;  // set on load
  std::string status = "Status: Not Connected.";
  std::string console;
  std::string selection;
  std::vector<std::string> inserted;
  std::string command;
  int command_focused = 0;
  std::string clipboard = "(unset)";
  int clipboard_sets = 0;
  std::vector<MessageBoxRequest> messages;
  int configure_shown = 0;
  int about_shown = 0;
};

class FakeConfigure : public ConfigureView {
 public:
  // A dialog whose boxes hold `host_text` and `port_text`.
  explicit FakeConfigure(std::string host_text = "", std::string port_text = "")
      : host(std::move(host_text)), port(std::move(port_text)) {}
  std::string HostText() const override { return host; }
  std::string PortText() const override { return port; }
  void SetHostText(const std::string& text) override { host = text; }
  void SetPortText(const std::string& text) override { port = text; }
  void ShowMessage(const MessageBoxRequest& box) override { messages.push_back(box); }
  void Close() override { closed = true; }

  std::string host;
  std::string port;
  std::vector<MessageBoxRequest> messages;
  bool closed = false;
};

// Connect moves to connecting and Close back to closed, as a real socket does;
// tests set any other state directly.
class FakeSocket : public TelnetSocket {
 public:
  int State() const override { return state; }
  void Connect(const std::string& host, const std::string& port) override {
    connects.push_back(host + "|" + port);
    state = kStateConnecting;
  }
  void Close() override {
    ++closes;
    state = kStateClosed;
  }
  void Send(std::string_view bytes) override { sent += bytes; }
  std::string ReadAll() override { return std::exchange(incoming, std::string()); }

  int state = kStateClosed;
  std::vector<std::string> connects;
  int closes = 0;
  std::string sent;
  std::string incoming;
};

}  // namespace monitor::testing
