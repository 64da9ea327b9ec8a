#include "service/platform/notify.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

#include "service/platform/last_error.h"
#include "service/tests/notify_socket.h"
#include "service/tests/service_record.h"

namespace platform {
namespace {

TEST(ServiceNotifications, AddressesThatCannotBeReached) {
  struct Case {
    std::string address;
    int error;
  };
  const Case cases[] = {
      {"", EINVAL},
      {"@", EINVAL},
      {"relative/notify", EINVAL},
      {"vsock:2:1234", EINVAL},
      {"@" + std::string(107, 'n'), 0},
      {"@" + std::string(108, 'n'), ENAMETOOLONG},
      {"/" + std::string(106, 'p'), 0},
      {"/" + std::string(107, 'p'), ENAMETOOLONG},
  };
  for (const Case& c : cases) {
    ServiceNotifier notifier;
    EXPECT_EQ(ServiceNotifier::Open(c.address, &notifier), c.error == 0) << c.address;
    if (c.error != 0) {
      EXPECT_EQ(LastError(), c.error) << c.address;
    }
  }
}

TEST(ServiceNotifications, TheEnvironmentNamesTheSocketOnce) {
  testing_support::NotifySocket manager;
  ServiceNotifier notifier;
  {
    testing_support::EnvScope variable("NOTIFY_SOCKET", manager.address());
    ASSERT_TRUE(ServiceNotifier::OpenFromEnvironment(&notifier));
    // Programs the service starts must not report to the service's manager.
    EXPECT_EQ(std::getenv("NOTIFY_SOCKET"), nullptr);
  }
  EXPECT_EQ(notifier.Send("READY=1"), 0);
  EXPECT_EQ(manager.Receive(), "READY=1");
  ServiceNotifier none;
  EXPECT_FALSE(ServiceNotifier::OpenFromEnvironment(&none));
  EXPECT_EQ(LastError(), ENOTCONN);
}

}  // namespace
}  // namespace platform
