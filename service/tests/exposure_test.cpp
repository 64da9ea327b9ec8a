// End-to-end, as on the open internet: the listen address, the limit on
// failed logins, the refusal while stopping, and the fail2ban filter over a
// log the service wrote. Loopback offers many source addresses (127.0.0.0/8),
// so each peer below is an address of its own.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdio.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "service/tests/end_to_end.h"
#include "wire/replies.h"

namespace {

using testing_support::RawClient;

using Exposure = testing_support::EndToEndTest;

const std::string kBadPassword = "Login failed.  Bad userid or password.\r\n";

// A client from `source` once the service has greeted it; the greeting itself
// is taken. A connection bound to a source address now and then loses its
// first segment in this sandbox's loopback (about one in sixty, with or
// without the service's changes), so a connection that hears nothing within
// two seconds is dropped and made anew; one the service closes is not.
RawClient Greeted(int port, const std::string& source, std::string* greeting, const std::string& host = "127.0.0.1") {
  for (int attempt = 0;; ++attempt) {
    RawClient c(port, host, source);
    *greeting = c.Receive(2000);
    if (*greeting != "<timeout>" || attempt == 2) return c;
  }
}

// Logs in from `source` to `host`; the login reply, or "<...>" naming what
// came instead of the greeting or the prompt.
std::string LoginFrom(int port, const std::string& source, const std::string& user, const std::string& password,
                      const std::string& host = "127.0.0.1") {
  std::string greeting;
  RawClient c = Greeted(port, source, &greeting, host);
  if (greeting != wire::kGreeting) return "<" + greeting + ">";
  c.Send(user);
  if (c.Receive() != wire::kPasswordPrompt) return "<no password prompt>";
  c.Send(password);
  return c.Receive();
}

bool Reachable(int port, const std::string& host, const std::string& source = "") {
  return platform::Connect(host, static_cast<uint16_t>(port), source).Valid();
}

// How often `text` stands in `log`.
size_t Count(const std::string& log, const std::string& text) {
  size_t n = 0;
  for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
  return n;
}

TEST_F(Exposure, ListenAddressBindsThatAddressAlone) {
  struct Case {
    const char* value;  // nullptr: no LISTENADDRESS line
    const char* probe;
    std::vector<std::string> reachable;
    std::vector<std::string> refused;
  };
  const Case cases[] = {
      {nullptr, "127.0.0.1", {"127.0.0.1", "127.0.0.2"}, {"::1"}},
      {"127.0.0.1", "127.0.0.1", {"127.0.0.1"}, {"127.0.0.2", "::1"}},
      {"  LocalHost ", "127.0.0.1", {"127.0.0.1"}, {"127.0.0.2", "::1"}},
      {"::1", "::1", {"::1"}, {"127.0.0.1"}},
      {"::", "::1", {"::1", "127.0.0.1", "127.0.0.2"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value ? c.value : "(none)");
    std::vector<std::string> lines;
    if (c.value) lines.push_back(std::string("LISTENADDRESS ") + c.value);
    server_ = std::make_unique<testing_support::ServerProcess>(lines);
    server_->ProbeAt(c.probe);
    ASSERT_TRUE(server_->Start()) << server_->Console();
    for (const std::string& host : c.reachable) EXPECT_TRUE(Reachable(server_->port(), host)) << host;
    for (const std::string& host : c.refused) EXPECT_FALSE(Reachable(server_->port(), host)) << host;
    if (c.value && std::string(c.value) == "127.0.0.1") {
      // Nothing that leaves from 127.0.0.2 finds the port at its own address.
      EXPECT_FALSE(Reachable(server_->port(), "127.0.0.2", "127.0.0.2"));
    }
    // An IPv4 peer of "::" is logged and matched by its dotted address.
    EXPECT_EQ(LoginFrom(server_->port(), "127.0.0.2", "Warden", "northwind", "127.0.0.2") ==
                  "Login successful. Protocol 1.0\r\n",
              !c.value || std::string(c.value) == "::");
    server_->Stop();
    if (c.value && std::string(c.value) == "::") {
      EXPECT_NE(server_->Log().find("Login from IP 127.0.0.2 successful for user Warden\r\n"), std::string::npos);
    }
  }
}

TEST_F(Exposure, ListenAddressThatIsNoAddressStopsTheStart) {
  for (const char* value : {"shard.example.net", "127.0.0.300", "10.0.0.1,127.0.0.1"}) {
    SCOPED_TRACE(value);
    server_ = std::make_unique<testing_support::ServerProcess>(std::vector<std::string>{
        std::string("LISTENADDRESS ") + value});
    EXPECT_FALSE(server_->Start());
    EXPECT_NE(server_->Log().find(std::string("Fatal error: LISTENADDRESS ") + value + " is not an IP address.\r\n"),
              std::string::npos)
        << server_->Log();
    EXPECT_FALSE(Reachable(server_->port(), "127.0.0.1"));
  }
}

TEST_F(Exposure, FailedLoginsBlockTheirAddressAlone) {
  Launch({"MAXLOGINFAILURES 3", "LOGINBLOCKTIME 600", "RECEIVETIMEOUT 300"});
  const int port = server_->port();
  auto login = [port](const std::string& source, const std::string& user, const std::string& password) {
    return LoginFrom(port, source, user, password);
  };
  auto times_out = [port](const std::string& source) {
    std::string greeting;
    RawClient c = Greeted(port, source, &greeting);
    EXPECT_EQ(greeting, wire::kGreeting);
    EXPECT_TRUE(c.Closed());
  };
  // Each kind of failure counts: a wrong password, an unknown user, too low a
  // level, and a login that never comes.
  EXPECT_EQ(login("127.0.0.2", "Warden", "wrong"), kBadPassword);
  EXPECT_EQ(login("127.0.0.2", "Nobody", "wrong"), kBadPassword);
  times_out("127.0.0.3");
  times_out("127.0.0.3");
  // Many addresses, each below the limit, and a success elsewhere that clears
  // nothing but its own.
  for (int i = 10; i < 30; ++i) {
    std::string source = "127.0.0." + std::to_string(i);
    EXPECT_EQ(login(source, "Warden", "wrong"), kBadPassword) << source;
    EXPECT_EQ(login(source, "Warden", "wrong"), kBadPassword) << source;
  }
  EXPECT_EQ(login("127.0.0.4", "Warden", "wrong"), kBadPassword);
  EXPECT_EQ(login("127.0.0.4", "Warden", "wrong"), kBadPassword);
  EXPECT_EQ(login("127.0.0.4", "Warden", "northwind"), "Login successful. Protocol 1.0\r\n");
  EXPECT_EQ(login("127.0.0.4", "Warden", "wrong"), kBadPassword);
  EXPECT_EQ(login("127.0.0.2", "Rowan", "hearthstone"), "Login failed.  Insufficient priveleges.\r\n");
  times_out("127.0.0.3");

  // The two blocked addresses are closed before any greeting, the others not.
  for (const char* source : {"127.0.0.2", "127.0.0.3", "127.0.0.2"}) {
    std::string greeting;
    Greeted(port, source, &greeting);
    EXPECT_EQ(greeting, "<closed>") << source;
  }
  for (const char* source : {"127.0.0.4", "127.0.0.10", "127.0.0.29", "127.0.0.1"}) {
    EXPECT_EQ(login(source, "Warden", "northwind"), "Login successful. Protocol 1.0\r\n") << source;
  }
  ASSERT_TRUE(server_->WaitForLog("successful for user Warden\r\n"));
  std::string log = server_->Log();
  EXPECT_EQ(Count(log, "Address 127.0.0.2 blocked for 600 seconds after 3 failed logins\r\n"), 1u);
  EXPECT_EQ(Count(log, "Address 127.0.0.3 blocked for 600 seconds after 3 failed logins\r\n"), 1u);
  EXPECT_EQ(Count(log, " blocked for 600 seconds"), 2u);
  // A refused connection leaves no line of its own.
  EXPECT_EQ(Count(log, "Checking if host 127.0.0.2 is allowed to connect...\r\n"), 3u);
}

TEST_F(Exposure, ABlockEndsWhenItsTimeIsUp) {
  Launch({"MAXLOGINFAILURES 2", "LOGINBLOCKTIME 1"});
  const int port = server_->port();
  for (int i = 0; i < 2; ++i) EXPECT_EQ(RawClient(port).Login("Warden", "x"), kBadPassword);
  EXPECT_EQ(RawClient(port).Receive(), "<closed>");
  // The service greets the address again once the clock has moved on.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  std::string greeting;
  while (greeting != wire::kGreeting && std::chrono::steady_clock::now() < deadline) {
    greeting = RawClient(port).Receive(2000);
    if (greeting != wire::kGreeting) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_EQ(greeting, wire::kGreeting);
  EXPECT_EQ(RawClient(port).Login("Warden", "northwind"), "Login successful. Protocol 1.0\r\n");
}

TEST_F(Exposure, AStoppingServiceRefusesAtOnce) {
  // The service code in the console: Ctrl+C stops it as the service manager
  // would.
  server_ = std::make_unique<testing_support::ServerProcess>(std::vector<std::string>{"NTSERVICE"});
  server_->UnsetEnv("NOTIFY_SOCKET");
  ASSERT_TRUE(server_->Start({"-debug"})) << server_->Console();
  const int port = server_->port();
  ASSERT_TRUE(Reachable(port, "127.0.0.1"));
  server_->Signal(SIGINT);
  // The service reports stop-pending for five more seconds; the port is
  // closed well before it exits.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (Reachable(port, "127.0.0.1") && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_FALSE(Reachable(port, "127.0.0.1"));
  EXPECT_EQ(server_->WaitForExit(0), -1) << "the service had already ended";
  EXPECT_EQ(server_->WaitForExit(), 0);
}

// The addresses fail2ban-regex finds with the packaged filter in `log`.
std::multiset<std::string> Fail2banAddresses(const std::string& log, const std::string& folder) {
  std::string file = folder + "/fail2ban-input.log";
  std::ofstream(file, std::ios::binary) << log;
  std::string command = "fail2ban-regex -o ip '" + file + "' '" + KIT_SOURCE_DIR +
                        "/packaging/fail2ban/filter.d/orvosvr.conf' 2>&1";
  std::multiset<std::string> found;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return {"<no fail2ban-regex>"};
  std::string out;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  int status = ::pclose(pipe);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {"<fail2ban-regex failed: " + out + ">"};
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) found.insert(line);
  return found;
}

TEST_F(Exposure, Fail2banFindsExactlyTheFailingAddresses) {
  Launch({"LISTENADDRESS ::"});
  const int port = server_->port();
  auto login = [port](const std::string& host, const std::string& source, const std::string& user) {
    LoginFrom(port, source, user, "wrong", host);
  };
  login("127.0.0.1", "127.0.0.2", "Warden");
  login("127.0.0.1", "127.0.0.3", "Rowan");
  login("::1", "", "Nobody");
  // User names an attacker chose, to make the filter see another address.
  for (const std::string& user : {std::string("x from IP 10.1.2.3"), std::string("y\r\nLogin attempt from IP 10.4.5.6 failed:"),
                                  std::string("\\\nExploit attempt from 10.7.8.9 blocked."),
                                  std::string("\rLogin attempt from IP 10.2.2.2 failed -- ")}) {
    login("127.0.0.1", "127.0.0.7", user);
  }
  {
    std::string greeting;
    RawClient c = Greeted(port, "127.0.0.8", &greeting);
    c.Send(std::string(260, 'u'));
    EXPECT_EQ(c.Receive(), "<closed>");
  }
  LoginFrom(port, "127.0.0.9", "Warden", "northwind");
  ASSERT_TRUE(server_->WaitForLog("Login from IP 127.0.0.9 successful"));
  server_->Stop();
  std::string log = server_->Log();

  const std::multiset<std::string> expected = {"127.0.0.2", "127.0.0.3", "::1",       "127.0.0.7",
                                               "127.0.0.7", "127.0.0.7", "127.0.0.7", "127.0.0.8"};
  EXPECT_EQ(Fail2banAddresses(log, server_->folder().string()), expected) << log;
  // The same lines as the journal holds them.
  std::string journal;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) journal += "northmoor orvosvr[4242]: " + line + "\n";
  EXPECT_EQ(Fail2banAddresses(journal, server_->folder().string()), expected);
}

}  // namespace
