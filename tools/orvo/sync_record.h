// What each local file held when a sync last left it in step with the server,
// kept in the hidden file ".orvo-sync" of the local folder. The service's
// checksum misses many small changes (it never sees the first line, and of a
// line numbered n only the bits set in n), so a file changed here since then
// is known as changed by this record rather than by the checksum.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace orvo {

// The name of the record inside the local folder.
inline constexpr std::string_view kSyncRecordName = ".orvo-sync";

// A 64-bit FNV-1a hash of a file's bytes.
uint64_t ContentHash(std::string_view bytes);

class SyncRecord {
 public:
  // Reads the record of `folder`; a missing or damaged one holds nothing.
  void Load(const std::string& folder);
  // Writes it back in one step; 0, or -1 with a reason.
  int Save(std::string* error) const;

  // The hash recorded for `name`, if any.
  std::optional<uint64_t> Find(const std::string& name) const;
  // Records what `name` holds now that it is in step.
  void Set(const std::string& name, uint64_t hash) { hashes_[name] = hash; }
  // Forgets `name` (its local file is gone).
  void Erase(const std::string& name) { hashes_.erase(name); }

 private:
  std::string path_;
  std::map<std::string, uint64_t> hashes_;
};

}  // namespace orvo
