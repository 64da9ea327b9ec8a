// Per-file locks that keep stores and merges of one file from interleaving.
#pragma once

#include <memory>
#include <mutex>
#include <string>

namespace gamedata {

// Holds the process-wide lock of one file for its lifetime. Two holders of the
// same file (named by any path that resolves to it, existing or not) exclude
// each other; holders of different files do not.
class FileLock {
 public:
  explicit FileLock(const std::string& native_name);
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  std::shared_ptr<std::mutex> mutex_;
  std::unique_lock<std::mutex> hold_;
};

}  // namespace gamedata
