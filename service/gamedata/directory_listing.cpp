#include "service/gamedata/directory_listing.h"

#include <cstdint>
#include <vector>

#include "service/gamedata/path_guard.h"
#include "service/host/config.h"
#include "service/host/text_lines.h"
#include "service/platform/fs.h"
#include "service/protocol/framing.h"

namespace gamedata {

namespace {

constexpr size_t kPacketSize = 1024;
// A record is its name plus 5 bytes; the packet test allows one more.
constexpr size_t kRecordRoom = 6;

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

void AppendRecord(std::string* packet, uint32_t attributes, const std::string& name) {
  for (int i = 0; i < 4; ++i) packet->push_back(static_cast<char>((attributes >> (8 * i)) & 0xFF));
  packet->append(name);
  packet->push_back('\0');
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
  AppendRecord(&record, 0, "Invalid Path");
  protocol::SendPacket(s, record);
  protocol::SendPacket(s, protocol::kEndMarker);
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
    if (packet.size() + entry.name.size() + kRecordRoom > kPacketSize) {
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
    if (listed) AppendRecord(&packet, entry.attributes, entry.name);
  }
  if (!packet.empty()) protocol::SendPacket(s, packet);
  protocol::SendPacket(s, protocol::kEndMarker);
}

}  // namespace gamedata
