// Every Windows test program starts Windows Sockets once, for its loopback
// consoles.
#include <gtest/gtest.h>

#include "monitor/win32/tests/loopback_console.h"

namespace {

class Sockets : public ::testing::Environment {
 public:
  void SetUp() override { monitor::testing::StartSockets(); }
};

[[maybe_unused]] ::testing::Environment* const g_sockets =
    ::testing::AddGlobalTestEnvironment(new Sockets);

}  // namespace
