#include <windows.h>

#include <gtest/gtest.h>

#include "service/platform/instance_lock.h"
#include "service/platform/last_error.h"

namespace platform {
namespace {

std::string PipeName(const std::string& tail) {
  return "\\\\.\\pipe\\Orvo Server test " + std::to_string(::GetCurrentProcessId()) + " " + tail;
}

TEST(SingleInstancePipe, OneHolderPerName) {
  PipeSecurity everyone;
  ASSERT_EQ(everyone.Create(), 0);
  ASSERT_NE(everyone.Attributes(), nullptr);
  InstanceLock first;
  ASSERT_TRUE(InstanceLock::Acquire(PipeName("a"), &first, &everyone));
  EXPECT_TRUE(first.Held());
  InstanceLock second;
  EXPECT_FALSE(InstanceLock::Acquire(PipeName("a"), &second, &everyone));
  EXPECT_EQ(LastError(), ERROR_PIPE_BUSY);
  EXPECT_FALSE(second.Held());
  // Another game server's name is free.
  InstanceLock other;
  EXPECT_TRUE(InstanceLock::Acquire(PipeName("b"), &other));
  // The name is free again once its holder has gone.
  first = InstanceLock();
  EXPECT_TRUE(InstanceLock::Acquire(PipeName("a"), &second, &everyone));
}

TEST(SingleInstancePipe, EveryUserMayOpenIt) {
  PipeSecurity everyone;
  ASSERT_EQ(everyone.Create(), 0);
  auto* attributes = static_cast<SECURITY_ATTRIBUTES*>(everyone.Attributes());
  EXPECT_TRUE(attributes->bInheritHandle);
  BOOL present = FALSE;
  BOOL defaulted = TRUE;
  PACL acl = reinterpret_cast<PACL>(1);
  ASSERT_TRUE(::GetSecurityDescriptorDacl(attributes->lpSecurityDescriptor, &present, &acl, &defaulted));
  EXPECT_TRUE(present);
  EXPECT_EQ(acl, nullptr);  // present but null: no restriction at all
  EXPECT_FALSE(defaulted);

  InstanceLock held;
  ASSERT_TRUE(InstanceLock::Acquire(PipeName("c"), &held, &everyone));
  HANDLE client = ::CreateFileA(PipeName("c").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                nullptr);
  EXPECT_NE(client, INVALID_HANDLE_VALUE) << ::GetLastError();
  if (client != INVALID_HANDLE_VALUE) ::CloseHandle(client);
}

}  // namespace
}  // namespace platform
