// Every test process under Wine starts the socket library once, as the
// service does, so that the clients of the tests can connect.
#include <gtest/gtest.h>

#include "service/platform/net.h"

namespace {

class SocketLibrary : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_EQ(platform::NetStartup(), 0); }
  void TearDown() override { platform::NetCleanup(); }
};

[[maybe_unused]] ::testing::Environment* const g_sockets = ::testing::AddGlobalTestEnvironment(new SocketLibrary);

}  // namespace
