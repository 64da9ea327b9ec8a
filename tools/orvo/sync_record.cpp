#include "tools/orvo/sync_record.h"

#include <cstdio>

#include "tools/orvo/platform.h"
#include "tools/orvo/platform_files.h"

namespace orvo {

namespace {

constexpr std::string_view kHeader = "orvo sync record 1\n";

}  // namespace

uint64_t ContentHash(std::string_view bytes) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

void SyncRecord::Load(const std::string& folder) {
  path_ = platform::JoinPath(folder, std::string(kSyncRecordName));
  hashes_.clear();
  std::string text, error;
  if (platform::ReadWholeFile(path_, &text, &error) != 0 || !text.starts_with(kHeader)) return;
  // Each line: 16 hexadecimal digits, a blank, the name.
  for (size_t at = kHeader.size(); at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) break;
    std::string line = text.substr(at, end - at);
    at = end + 1;
    unsigned long long hash = 0;
    if (line.size() < 18 || line[16] != ' ' || std::sscanf(line.c_str(), "%16llx", &hash) != 1) continue;
    hashes_[line.substr(17)] = hash;
  }
}

int SyncRecord::Save(std::string* error) const {
  std::string text(kHeader);
  for (const auto& [name, hash] : hashes_) {
    if (name.find('\n') != std::string::npos) continue;
    char digits[20];
    std::snprintf(digits, sizeof digits, "%016llx ", static_cast<unsigned long long>(hash));
    text += digits + name + "\n";
  }
  platform::AtomicFile file;
  if (file.Open(path_, error) != 0 || file.Write(text.data(), text.size(), error) != 0) return -1;
  return file.Commit(error);
}

std::optional<uint64_t> SyncRecord::Find(const std::string& name) const {
  auto found = hashes_.find(name);
  if (found == hashes_.end()) return std::nullopt;
  return found->second;
}

}  // namespace orvo
