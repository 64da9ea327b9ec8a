#include "tools/orvo/ssh.h"

#include <gtest/gtest.h>

namespace orvo {
namespace {

TEST(SshArguments, DestinationsBecomeSshsOwnOptions) {
  struct Case {
    std::string destination, service_host;
    std::vector<std::string> args;  // empty: refused
  };
  const Case cases[] = {
      {"shard.example.net", "127.0.0.1", {"-W", "127.0.0.1:4006", "--", "shard.example.net"}},
      {"warden@shard.example.net:2222", "127.0.0.1",
       {"-W", "127.0.0.1:4006", "-p", "2222", "-l", "warden", "--", "shard.example.net"}},
      {"w@corp@[2001:db8::7]:22", "::1", {"-W", "[::1]:4006", "-p", "22", "-l", "w@corp", "--", "2001:db8::7"}},
      {"2001:db8::7", "10.0.0.5", {"-W", "10.0.0.5:4006", "--", "2001:db8::7"}},
      {"alias-from-ssh-config", "127.0.0.1", {"-W", "127.0.0.1:4006", "--", "alias-from-ssh-config"}},
      {"", "127.0.0.1", {}},
      {"@shard", "127.0.0.1", {}},
      {"shard:0", "127.0.0.1", {}},
      {"shard:ssh", "127.0.0.1", {}},
      {"[::1", "127.0.0.1", {}},
      {"-oProxyCommand=evil", "127.0.0.1", {}},
      {"-l@shard", "127.0.0.1", {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args;
    std::string problem = SshArguments(c.destination, c.service_host, 4006, &args);
    EXPECT_EQ(args, c.args) << c.destination;
    EXPECT_EQ(problem.empty(), !c.args.empty()) << c.destination << ": " << problem;
  }
}

}  // namespace
}  // namespace orvo
