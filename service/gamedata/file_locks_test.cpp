#include "service/gamedata/file_locks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "service/tests/temp_game_folder.h"

namespace gamedata {
namespace {

class FileLockTest : public testing_support::TempGameFolder {};

// Holders of one file, named in different ways, are never inside at once.
TEST_F(FileLockTest, OneFileOneHolderAtATime) {
  Write("sub/x.scp", "x");
  Link("link.scp", "sub/x.scp");
  const char* spellings[] = {"sub/x.scp", "./sub/x.scp", "sub/../sub/x.scp", "link.scp"};
  std::atomic<int> inside{0};
  std::atomic<int> overlaps{0};
  std::vector<std::thread> threads;
  for (const char* name : spellings) {
    threads.emplace_back([&, name] {
      for (int i = 0; i < 300; ++i) {
        FileLock lock(name);
        if (inside.fetch_add(1) != 0) ++overlaps;
        std::this_thread::yield();
        inside.fetch_sub(1);
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(overlaps.load(), 0);
}

TEST_F(FileLockTest, DifferentFilesDoNotWait) {
  FileLock first("a.scp");
  std::atomic<bool> done{false};
  std::thread other([&] {
    FileLock second("b.scp");
    FileLock third("new-file-not-yet-there.scp");
    done = true;
  });
  other.join();
  EXPECT_TRUE(done.load());
}

}  // namespace
}  // namespace gamedata
