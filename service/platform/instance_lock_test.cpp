#include "service/platform/instance_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

#include "service/platform/last_error.h"

namespace platform {
namespace {

std::string UniqueName(const std::string& tail) {
  return "\\\\.\\pipe\\orvosvr test " + std::to_string(::getpid()) + " " + tail;
}

TEST(InstanceLock, OneHolderPerName) {
  std::string name = UniqueName("Northmoor");
  InstanceLock first;
  ASSERT_TRUE(InstanceLock::Acquire(name, &first));
  InstanceLock second;
  EXPECT_FALSE(InstanceLock::Acquire(name, &second));
  EXPECT_EQ(LastError(), EADDRINUSE);
  EXPECT_FALSE(second.Held());

  InstanceLock other;
  EXPECT_TRUE(InstanceLock::Acquire(UniqueName("Southmoor"), &other));

  first = InstanceLock();
  EXPECT_TRUE(InstanceLock::Acquire(name, &second));
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
