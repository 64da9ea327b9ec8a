#include "service/platform/notify.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

#include "service/platform/last_error.h"
#include "service/tests/notify_socket.h"
#include "service/tests/service_record.h"

namespace platform {
namespace {

TEST(ServiceNotifications, MessageOfEachState) {
  struct Case {
    ServiceStatus status;
    std::string want;
  };
  const Case cases[] = {
      {{2, 3, 5000, 0}, "STATUS=Start pending (checkpoint 3)\nEXTEND_TIMEOUT_USEC=5000000"},
      {{4, 0, 0, 0}, "READY=1\nSTATUS=Running"},
      {{3, 9, 3000, 0}, "STOPPING=1\nSTATUS=Stop pending (checkpoint 9)\nEXTEND_TIMEOUT_USEC=3000000"},
      {{1, 0, 0, 0xFFFFFFFC}, "STATUS=Stopped (exit code 4294967292)"},
  };
  for (const Case& c : cases) EXPECT_EQ(StatusMessage(c.status), c.want) << c.status.current_state;
}

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

TEST(ServiceNotifications, ReachTheManagerInOrder) {
  testing_support::NotifySocket manager;
  ASSERT_FALSE(manager.address().empty());
  ServiceNotifier notifier;
  ASSERT_TRUE(ServiceNotifier::Open(manager.address(), &notifier));
  EXPECT_EQ(notifier.Report({4, 0, 0, 0}), 0);
  EXPECT_EQ(notifier.Report({3, 1, 5000, 0}), 0);
  EXPECT_EQ(manager.Receive(), "READY=1\nSTATUS=Running");
  EXPECT_EQ(manager.Receive().substr(0, 11), "STOPPING=1\n");
}

TEST(ServiceNotifications, ManagerGoneFailsWithTheSystemsError) {
  testing_support::NotifySocket manager;
  ServiceNotifier notifier;
  ASSERT_TRUE(ServiceNotifier::Open(manager.address(), &notifier));
  manager.Close();
  EXPECT_EQ(notifier.Send("READY=1"), -1);
  EXPECT_EQ(LastError(), ECONNREFUSED);
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
