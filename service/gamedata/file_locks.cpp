#include "service/gamedata/file_locks.h"

#include <map>

#include "service/platform/fs.h"

namespace gamedata {

namespace {

// The table holds each file's mutex only while someone holds or waits for it,
// so it stays as small as the number of files being written at once.
std::mutex g_table_mutex;
std::map<std::string, std::weak_ptr<std::mutex>>& Table() {
  static std::map<std::string, std::weak_ptr<std::mutex>> table;
  return table;
}

std::shared_ptr<std::mutex> MutexFor(const std::string& native_name) {
  // Two spellings of one file ("x.scp", "./x.scp", a link to it) share a key.
  std::string key = platform::RealPath(native_name).value_or(native_name);
  std::lock_guard<std::mutex> guard(g_table_mutex);
  auto& table = Table();
  for (auto it = table.begin(); it != table.end();) {
    it = it->second.expired() ? table.erase(it) : std::next(it);
  }
  std::shared_ptr<std::mutex> mutex = table[key].lock();
  if (!mutex) {
    mutex = std::make_shared<std::mutex>();
    table[key] = mutex;
  }
  return mutex;
}

}  // namespace

FileLock::FileLock(const std::string& native_name)
    : mutex_(MutexFor(native_name)), hold_(*mutex_) {}

}  // namespace gamedata
