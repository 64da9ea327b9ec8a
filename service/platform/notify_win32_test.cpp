#include <windows.h>

#include <gtest/gtest.h>

#include "service/platform/last_error.h"
#include "service/platform/notify.h"

namespace platform {
namespace {

// (A dispatcher in a process that the manager did not start fails with
// ERROR_FAILED_SERVICE_CONTROLLER_CONNECT: the service path's tests see it,
// after the ten seconds Wine waits for the manager.)
TEST(StatusOnWindows, NeverThroughANotificationSocket) {
  // It goes through the handle the control handler's registration gives.
  ServiceNotifier notifier;
  EXPECT_FALSE(ServiceNotifier::Open("@orvosvr", &notifier));
  EXPECT_EQ(LastError(), ERROR_NOT_SUPPORTED);
  EXPECT_FALSE(ServiceNotifier::OpenFromEnvironment(&notifier));
  EXPECT_FALSE(notifier.Valid());
}

}  // namespace
}  // namespace platform
