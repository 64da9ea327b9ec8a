#include "service/gamedata/directory_listing.h"

#include <cstdint>
#include <vector>

#include "service/gamedata/path_guard.h"
#include "service/host/config.h"
#include "service/host/text_lines.h"
#include "service/platform/fs.h"
#include "service/protocol/framing.h"
#include "wire/directory_record.h"
#include "wire/replies.h"

namespace gamedata {

namespace {

// The packet test allows one byte more than a record takes.
constexpr size_t kRecordRoom = wire::kRecordOverhead + 1;

char Fold(char c) {
  if (platform::IsSeparator(c)) return '/';
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

// The extension is the text after the last "." that is not the name's first
// character; an empty one matches nothing.
bool HasAllowedExtension(const std::string& name, const std::string& allowed) {
  size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return false;
  return InColonList(allowed, std::string_view(name).substr(dot + 1));
}

void SendInvalidPath(const platform::Socket& s) {
  std::string record;
  wire::AppendDirectoryRecord(&record, 0, wire::kInvalidPath);
  protocol::SendPacket(s, record);
  protocol::SendPacket(s, wire::kEndMarker);
}

}  // namespace

bool InColonList(std::string_view list, std::string_view item) {
  if (item.empty()) return false;
  size_t start = 0;
  while (start <= list.size()) {
    size_t colon = list.find(':', start);
    size_t end = colon == std::string_view::npos ? list.size() : colon;
    if (SameName(list.substr(start, end - start), item)) return true;
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  return false;
}

void SendDirectoryListing(const platform::Socket& s, const std::string& path, NameSource src,
                          bool show_account_files) {
  // The search pattern is the path, a separator and "*": an empty path means
  // the root folder.
  std::string folder = path.empty() ? std::string(1, platform::kSeparator) : platform::NativePath(path);
  if (src == NameSource::kClient && !MayOpenClientName(path, folder, false, false)) {
    SendInvalidPath(s);
    return;
  }
  std::vector<platform::DirectoryEntry> entries;
  if (!platform::ListDirectory(folder, &entries)) {
    SendInvalidPath(s);
    return;
  }
  const host::ServiceConfig& config = host::Config();
  const AccountNames account_names = show_account_files ? AccountNames{} : ResolveAccountNames();
  std::string packet;
  for (const platform::DirectoryEntry& entry : entries) {
    if (packet.size() + entry.name.size() + kRecordRoom > wire::kMaxPayload) {
      protocol::SendPacket(s, packet);
      packet.clear();
    }
    bool listed;
    if (entry.attributes & platform::kAttrDirectory) {
      // Folders are named as the client named the path, with either separator.
      std::string full = path == "." ? entry.name : path + platform::kSeparator + entry.name;
      listed = InColonList(config.allowed_paths, full);
    } else {
      listed = HasAllowedExtension(entry.name, config.allowed_extensions);
    }
    if (listed && !show_account_files && IsAccountCompanion(account_names, host::JoinFolder(folder, entry.name))) listed = false;
    if (listed) wire::AppendDirectoryRecord(&packet, entry.attributes, entry.name);
  }
  if (!packet.empty()) protocol::SendPacket(s, packet);
  protocol::SendPacket(s, wire::kEndMarker);
}

}  // namespace gamedata
