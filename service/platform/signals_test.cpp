#include "service/platform/signals.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace platform {
namespace {

TEST(SignalRouting, TheHandlerRunsOnAThreadOfItsOwn) {
  std::mutex m;
  std::condition_variable cv;
  bool seen = false;
  std::thread::id where;
  ProcessSignal which = ProcessSignal::kInterrupt;
  ASSERT_TRUE(RouteSignals({ProcessSignal::kHangup}, [&](ProcessSignal s) {
    std::lock_guard<std::mutex> lock(m);
    seen = true;
    where = std::this_thread::get_id();
    which = s;
    cv.notify_all();
    return true;
  }));
  ::kill(::getpid(), SIGHUP);
  std::unique_lock<std::mutex> lock(m);
  ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(10), [&] { return seen; }));
  EXPECT_EQ(which, ProcessSignal::kHangup);
  EXPECT_NE(where, std::this_thread::get_id());
  lock.unlock();
  // A handled signal leaves the process running; nothing handles it later.
  ASSERT_TRUE(RouteSignals({ProcessSignal::kHangup}, [](ProcessSignal) { return true; }));
}

// That an unhandled signal ends the process is seen with the real binary
// (the console closed in debug mode).

}  // namespace
}  // namespace platform
