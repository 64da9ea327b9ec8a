#include <windows.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "service/platform/named_mutex.h"

namespace platform {
namespace {

std::string UniqueName(const std::string& tail) {
  return "stdioMutexorvosvr test " + std::to_string(::GetCurrentProcessId()) + " " + tail;
}

TEST(NamedMutexOnWindows, OpenFindsOnlyACreatedName) {
  NamedMutex opened;
  EXPECT_FALSE(NamedMutex::Open(UniqueName("a"), &opened));
  NamedMutex created;
  ASSERT_TRUE(NamedMutex::Create(UniqueName("a"), &created));
  EXPECT_TRUE(NamedMutex::Open(UniqueName("a"), &opened));
  // Another game server's mutex is another mutex.
  NamedMutex other;
  EXPECT_FALSE(NamedMutex::Open(UniqueName("b"), &other));
}

TEST(NamedMutexOnWindows, SerialisesEveryHandle) {
  NamedMutex created;
  ASSERT_TRUE(NamedMutex::Create(UniqueName("c"), &created));
  int counter = 0;
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t) {
    writers.emplace_back([&counter] {
      // Each writer opens its own handle, as WriteLog does for each message.
      for (int i = 0; i < 50; ++i) {
        NamedMutex mine;
        ASSERT_TRUE(NamedMutex::Open(UniqueName("c"), &mine));
        mine.Lock();
        int seen = counter;
        std::this_thread::yield();
        counter = seen + 1;
        mine.Unlock();
      }
    });
  }
  for (std::thread& w : writers) w.join();
  EXPECT_EQ(counter, 200);
}

TEST(NamedMutexOnWindows, AHolderThatEndsReleasesIt) {
  NamedMutex created;
  ASSERT_TRUE(NamedMutex::Create(UniqueName("d"), &created));
  std::thread holder([] {
    NamedMutex mine;
    ASSERT_TRUE(NamedMutex::Open(UniqueName("d"), &mine));
    mine.Lock();  // and never released: the thread ends holding it
  });
  holder.join();
  created.Lock();  // abandoned, so owned at once
  created.Unlock();
}

}  // namespace
}  // namespace platform
