#include "tools/orvo/sync_record.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>

#include "tools/orvo/platform.h"
#include "tools/orvo/platform_files.h"

namespace orvo {

namespace {

// Each line of the first version: the local hash in 16 hexadecimal digits, a
// blank, the name. The second adds the server's copy before the name: its
// hash, size and checksum, each followed by a blank, or "- " when unknown.
constexpr std::string_view kHeader1 = "orvo sync record 1\n";
constexpr std::string_view kHeader2 = "orvo sync record 2\n";

// Cuts the field before the next blank off `rest` and reads it as a number
// of `base`; false when there is no such field.
template <typename T>
bool TakeField(std::string_view* rest, int base, T* value) {
  size_t blank = rest->find(' ');
  if (blank == std::string_view::npos) return false;
  std::string_view field = rest->substr(0, blank);
  rest->remove_prefix(blank + 1);
  auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), *value, base);
  return error == std::errc() && end == field.data() + field.size() && !field.empty();
}

// Reads one line of either version into `name` and `file`; false for a
// damaged line.
bool ParseLine(std::string_view line, bool second, std::string* name, SyncedFile* file) {
  if (!TakeField(&line, 16, &file->local)) return false;
  if (second && line.starts_with("- ")) {
    line.remove_prefix(2);
  } else if (second) {
    ServerCopy copy;
    if (!TakeField(&line, 16, &copy.hash) || !TakeField(&line, 10, &copy.size) ||
        !TakeField(&line, 10, &copy.checksum)) {
      return false;
    }
    file->server = copy;
  }
  *name = line;
  return !name->empty();
}

}  // namespace

void SyncRecord::Load(const std::string& folder) {
  path_ = platform::JoinPath(folder, std::string(kSyncRecordName));
  files_.clear();
  std::string text, error;
  if (platform::ReadWholeFile(path_, &text, &error) != 0) return;
  bool second = text.starts_with(kHeader2);
  if (!second && !text.starts_with(kHeader1)) return;
  for (size_t at = (second ? kHeader2 : kHeader1).size(); at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) break;
    std::string line = text.substr(at, end - at), name;
    at = end + 1;
    SyncedFile file;
    if (ParseLine(line, second, &name, &file)) files_[name] = file;
  }
}

int SyncRecord::Save(std::string* error) const {
  std::string text(kHeader2);
  for (const auto& [name, file] : files_) {
    if (name.find('\n') != std::string::npos) continue;
    char fields[96];
    int n = std::snprintf(fields, sizeof fields, "%016" PRIx64 " ", file.local);
    if (file.server) {
      std::snprintf(fields + n, sizeof fields - static_cast<size_t>(n), "%016" PRIx64 " %lld %" PRId32 " ",
                    file.server->hash, file.server->size, file.server->checksum);
    } else {
      std::snprintf(fields + n, sizeof fields - static_cast<size_t>(n), "- ");
    }
    text += fields + name + "\n";
  }
  platform::AtomicFile out;
  if (out.Open(path_, error) != 0 || out.Write(text.data(), text.size(), error) != 0) return -1;
  return out.Commit(error);
}

std::optional<SyncedFile> SyncRecord::Find(const std::string& name) const {
  auto found = files_.find(name);
  if (found == files_.end()) return std::nullopt;
  return found->second;
}

}  // namespace orvo
