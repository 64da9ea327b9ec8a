// The Windows half of orvo --ssh under Wine. Wine has no ssh.exe, so a
// stand-in that relays its standard input and output to the -W address
// (tests/ssh_standin_win32.cpp) plays ssh; the test says so.
#include <gtest/gtest.h>

#include <iostream>

#include "tools/orvo/platform.h"
#include "tools/orvo/platform_tunnel.h"

namespace orvo::platform {
namespace {

std::string ReceiveText(const Connection& c) {
  char buffer[64];
  long n = ReceiveSome(c, buffer, sizeof buffer, 10000);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : "<" + std::to_string(n) + ">";
}

TEST(TunnelOnWindows, CarriesASessionBothWaysAndEndsWithIt) {
  std::cout << "Wine has no ssh.exe: a stand-in that relays to the -W address plays ssh here\n";
  Listener service;
  ASSERT_EQ(service.Open(), 0);
  Tunnel tunnel;
  Connection orvo_end;
  std::string error;
  ASSERT_EQ(tunnel.Start(SSH_STANDIN_EXE, {"-W", "127.0.0.1:" + std::to_string(service.Port()), "--", "shard"},
                         &orvo_end, &error),
            0)
      << error;
  Connection service_end = service.Accept(10000);
  ASSERT_TRUE(service_end.Valid());
  ASSERT_EQ(SendAll(orvo_end, "ping", 4, 10000), 0);
  EXPECT_EQ(ReceiveText(service_end), "ping");
  ASSERT_EQ(SendAll(service_end, "pong", 4, 10000), 0);
  EXPECT_EQ(ReceiveText(orvo_end), "pong");
  // orvo's end of its input reaches the service, and the service's close
  // reaches orvo.
  ShutdownSend(orvo_end);
  EXPECT_EQ(ReceiveText(service_end), "<0>");
  service_end.Close();
  EXPECT_EQ(ReceiveText(orvo_end), "<0>");
  orvo_end.Close();
  EXPECT_EQ(tunnel.ExitCode(10000), 0);
}

TEST(TunnelOnWindows, AProgramThatIsNotThereIsNotStarted) {
  Tunnel tunnel;
  Connection c;
  std::string error;
  EXPECT_EQ(tunnel.Start("Z:\\nonexistent\\ssh.exe", {"-W", "127.0.0.1:1"}, &c, &error), -1);
  EXPECT_NE(error.find("cannot start Z:\\nonexistent\\ssh.exe"), std::string::npos) << error;
  EXPECT_FALSE(c.Valid());
  EXPECT_EQ(DefaultSshProgram().ends_with("ssh.exe"), true);
}

}  // namespace
}  // namespace orvo::platform
