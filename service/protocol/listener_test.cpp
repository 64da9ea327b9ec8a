#include "service/protocol/listener.h"

#include <gtest/gtest.h>

#include "service/host/config.h"

namespace protocol {
namespace {

TEST(HostAdmission, Table) {
  struct Case {
    const char* name;
    std::string allowed;
    std::string denied;
    std::string address;
    std::optional<std::string> host_name;
    bool want;
  };
  const Case cases[] = {
      {"both lists empty", "", "", "10.1.2.3", std::nullopt, true},
      {"listed in both is denied", "127.0.0.1", "127.0.0.1", "127.0.0.1", std::nullopt, false},
      {"allow token admits", "127.0.0.1", "", "127.0.0.1", std::nullopt, true},
      {"not on the allow list", "127.0.0.1", "", "10.0.0.1", std::nullopt, false},
      {"substring of a network", "192.168.", "", "192.168.4.20", std::nullopt, true},
      {"substring quirk", "10.0.0.1", "", "110.0.0.15", std::nullopt, true},
      {"host name token without lookup", "example.org", "", "10.0.0.1", std::nullopt, false},
      {"host name token with lookup", "EXAMPLE.org", "", "10.0.0.1", "gm.example.org", true},
      {"deny by host name", "", "example.org", "10.0.0.1", "gm.example.org", false},
      {"runs of commas", ",,,10.0.0.9,,127.0.0.1,", "", "127.0.0.1", std::nullopt, true},
      {"only commas allows nobody", ",,,", "", "127.0.0.1", std::nullopt, false},
      {"trailing blank does not match", "127.0.0.1 ", "", "127.0.0.1", std::nullopt, false},
      {"empty address", "", "", "", std::nullopt, false},
  };
  for (const Case& c : cases) {
    host::Config().allowed_hosts = c.allowed;
    host::Config().denied_hosts = c.denied;
    EXPECT_EQ(IsHostAllowed(c.address, c.host_name), c.want) << c.name;
  }
  host::Config().allowed_hosts.clear();
  host::Config().denied_hosts.clear();
}

TEST(HostAdmission, EmptyTokenNeverMatches) {
  EXPECT_FALSE(HostMatches("127.0.0.1", std::string("localhost"), ""));
}

}  // namespace
}  // namespace protocol
