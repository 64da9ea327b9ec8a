// What each local file held when a sync last left it in step with the server,
// and what the server held of it then, kept in the hidden file ".orvo-sync"
// of the local folder. The service's checksum misses many small changes (it
// never sees the first line, and of a line numbered n only the bits set in
// n), so a file changed here since then is known as changed by this record
// rather than by the checksum, and a push checks the server's copy against it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "tools/orvo/server_copy.h"

namespace orvo {

// The name of the record inside the local folder.
inline constexpr std::string_view kSyncRecordName = ".orvo-sync";

struct SyncedFile {
  uint64_t local = kContentHashStart;  // ContentHash of the local file
  std::optional<ServerCopy> server;    // the server's copy; unknown in a record of an older orvo
};

class SyncRecord {
 public:
  // Reads the record of `folder`; a missing or damaged one holds nothing.
  void Load(const std::string& folder);
  // Writes it back in one step; 0, or -1 with a reason.
  int Save(std::string* error) const;

  // What is recorded for `name`, if anything.
  std::optional<SyncedFile> Find(const std::string& name) const;
  // Records what `name` holds now that it is in step.
  void Set(const std::string& name, const SyncedFile& file) { files_[name] = file; }
  // Forgets `name` (its local file is gone).
  void Erase(const std::string& name) { files_.erase(name); }

 private:
  std::string path_;
  std::map<std::string, SyncedFile> files_;
};

}  // namespace orvo
