#include "service/gamedata/file_transfer.h"

#include "service/gamedata/file_locks.h"
#include "service/gamedata/path_guard.h"
#include "service/gamedata/upload.h"
#include "service/host/config.h"
#include "service/host/log.h"
#include "service/host/text_lines.h"
#include "service/platform/clock.h"
#include "service/platform/fs.h"
#include "service/protocol/framing.h"

namespace gamedata {

namespace {

constexpr size_t kChunkSize = 1024;
constexpr long kAckCapacity = 5;
constexpr long kUploadCapacity = 1023;

void ReplyCannotOpen(const platform::Socket& s, const std::string& name) {
  host::WriteLog("Error -- Could not open file %s\n", name.c_str());
  if (protocol::SendFormatted(s, "Could not open file %s.%s", name.c_str(), "\r\n") < 0) {
    host::WriteLog("Error occurred while sending file %s - File could not be opened\n", name.c_str());
    return;
  }
  protocol::PauseAfterSend();
}

void ReplyStoreFailed(const platform::Socket& s, const std::string& name) {
  protocol::SendFormatted(s, "Error opening file on remote server (%s)%c%c", name.c_str(), '\r', '\n');
  protocol::PauseAfterSend();
}

// A stored name goes to the scripts folder unless it names its own folder.
std::string StoreName(const std::string& name) {
  std::string scripts = host::ScriptsFolder();
  bool has_folder = name.find_first_of("\\/") != std::string::npos;
  if (scripts.empty() || has_folder) return name;
  return host::JoinFolder(scripts, name);
}

// Moves the current file aside to its backup and the new one into its place.
// On failure the current file is back under its own name.
bool PutInPlace(const std::string& tmp, const std::string& full, const std::string& backup) {
  bool backed_up = false;
  if (platform::PathExists(full)) {
    if (platform::RenameFile(full, backup) != 0) {
      host::WriteLog("Unable to rename %s to %s\n", full.c_str(), backup.c_str());
      return false;
    }
    backed_up = true;
  }
  if (platform::RenameFile(tmp, full) != 0) {
    host::WriteLog("Unable to rename %s to %s\n", tmp.c_str(), full.c_str());
    if (backed_up && platform::RenameFile(backup, full) != 0) {
      host::WriteLog("Unable to rename %s to %s\n", backup.c_str(), full.c_str());
    }
    return false;
  }
  return true;
}

}  // namespace

void SendWholeFile(const platform::Socket& s, const std::string& name, NameSource src) {
  std::string native = platform::NativePath(name);
  if (src == NameSource::kClient && !IsClientPathAllowed(native, false)) {
    LogRefusedPath(name);
    ReplyCannotOpen(s, name);
    return;
  }
  host::TextReader in(native);
  if (!in.Ok()) {
    ReplyCannotOpen(s, name);
    return;
  }
  // The size on disk, although the text sent is shorter by each CR of a CR LF.
  protocol::SendFormatted(s, "%ld", static_cast<long>(platform::FileSize(native)));

  std::string chunk;
  std::string ack;
  chunk.reserve(kChunkSize);
  while (!in.AtEnd()) {
    chunk.clear();
    for (int c; chunk.size() < kChunkSize && (c = in.Get()) >= 0;) chunk.push_back(static_cast<char>(c));
    long sent = protocol::SendPacket(s, chunk);
    protocol::PauseAfterSend();
    long n = protocol::ReceivePacket(s, ack, kAckCapacity);
    long acked = n > 0 ? host::ParseDecimal(ack) : 0;
    if (acked != sent) {
      host::WriteLog("Ack failed while sending file. %ld != %ld\n", acked, sent);
      return;
    }
  }
  protocol::SendPacket(s, protocol::kEndMarker);
  protocol::PauseAfterSend();
}

void ReceiveWholeFile(const platform::Socket& s, const std::string& name, NameSource src) {
  std::string full = platform::NativePath(StoreName(name));
  std::string tmp = full + ".tmp";
  std::string backup = full + host::Format(".bkp.%ld", static_cast<long>(platform::UnixTime()));

  if (src == NameSource::kClient && !(IsClientPathAllowed(full, true) && IsClientPathAllowed(tmp, true))) {
    LogRefusedPath(name);
    host::WriteLog("Error opening temporary file on server (%s)\n", name.c_str());
    ReplyStoreFailed(s, name);
    return;
  }
  // Stores of one file share its ".tmp" file: one at a time.
  FileLock lock(full);
  host::TextWriter out(tmp, false);
  if (!out.Ok()) {
    host::WriteLog("Error opening temporary file on server (%s)\n", name.c_str());
    ReplyStoreFailed(s, name);
    return;
  }
  protocol::SendFormatted(s, "Ready to receive entry.  Send CRLF.CRLF to signal end of file%c%c", '\r', '\n');
  protocol::PauseAfterSend();

  long total = 0;
  bool complete = false;
  std::string packet;
  for (int pass = 0; pass < kUploadPasses && !complete; ++pass) {
    UploadStep step = ReceiveUploadPacket(s, packet, kUploadCapacity);
    protocol::PauseAfterSend();
    if (step == UploadStep::kPeerGone) break;
    if (step == UploadStep::kEnd) complete = true;
    if (step != UploadStep::kData) continue;
    total += static_cast<long>(packet.size());
    // Every byte as it came, zero bytes included; a failed write is reported
    // once the upload is over.
    out.Write(packet);
    Acknowledge(s, packet.size());
  }
  host::WriteLog("%ld Total Bytes read.\n", total);
  bool written = out.Close();
  if (!complete) {
    host::WriteLog("Loop count exceeded receiving new file -- Data will not be saved.\n");
    return;
  }
  if (!written) {
    host::WriteLog("Error writing temporary file on server (%s)\n", name.c_str());
    ReplyStoreFailed(s, name);
    return;
  }
  if (!PutInPlace(tmp, full, backup)) {
    ReplyStoreFailed(s, name);
    return;
  }
  protocol::SendPacket(s, "File Received");
}

}  // namespace gamedata
