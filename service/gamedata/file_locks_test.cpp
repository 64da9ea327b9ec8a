#include "service/gamedata/file_locks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include "service/tests/temp_game_folder.h"

namespace gamedata {
namespace {

class FileLockTest : public testing_support::TempGameFolder {};

// How often two holders of the locks of `spellings` were inside at once,
// each doing `work` while it holds its lock.
int Overlaps(const std::vector<const char*>& spellings, const std::function<void()>& work) {
  std::atomic<int> inside{0};
  std::atomic<int> overlaps{0};
  std::vector<std::thread> threads;
  for (const char* name : spellings) {
    threads.emplace_back([&, name] {
      for (int i = 0; i < 300; ++i) {
        FileLock lock(name);
        if (inside.fetch_add(1) != 0) ++overlaps;
        work();
        inside.fetch_sub(1);
      }
    });
  }
  for (std::thread& t : threads) t.join();
  return overlaps.load();
}

// Holders of one file, named in different ways, are never inside at once.
TEST_F(FileLockTest, OneFileOneHolderAtATime) {
  Write("sub/x.scp", "x");
  Link("link.scp", "sub/x.scp");
  EXPECT_EQ(Overlaps({"sub/x.scp", "./sub/x.scp", "sub/../sub/x.scp", "link.scp"}, [] { std::this_thread::yield(); }),
            0);
}

// A store moves the file aside while it holds the lock: the others, naming
// the file at that moment, still wait for the same lock.
TEST_F(FileLockTest, AFileMovedAsideKeepsItsLock) {
  Write("sub/x.scp", "x");
  EXPECT_EQ(Overlaps({"sub/x.scp", "./sub/x.scp", "sub/../sub/x.scp"},
                     [] {
                       std::rename("sub/x.scp", "sub/x.scp.bkp");
                       std::this_thread::yield();
                       std::rename("sub/x.scp.bkp", "sub/x.scp");
                     }),
            0);
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
