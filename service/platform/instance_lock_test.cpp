#include "service/platform/instance_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace platform {
namespace {

std::string UniqueName(const std::string& tail) {
  return "\\\\.\\pipe\\orvosvr test " + std::to_string(::getpid()) + " " + tail;
}

TEST(InstanceLock, LongNamesStayApart) {
  std::string stem = UniqueName(std::string(300, 'x'));
  std::string a = InstanceLockAddress(stem + "a");
  std::string b = InstanceLockAddress(stem + "b");
  EXPECT_EQ(a.size(), 107u);
  EXPECT_NE(a, b);
  EXPECT_EQ(InstanceLockAddress("short"), "short");
  InstanceLock la;
  InstanceLock lb;
  EXPECT_TRUE(InstanceLock::Acquire(stem + "a", &la));
  EXPECT_TRUE(InstanceLock::Acquire(stem + "b", &lb));
}

}  // namespace
}  // namespace platform
