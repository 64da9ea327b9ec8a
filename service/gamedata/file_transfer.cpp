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
#include "wire/replies.h"

namespace gamedata {

namespace {

// The most backup names a store tries for one second's backup.
constexpr int kBackupNames = 10000;

void ReplyCannotOpen(const platform::Socket& s, const std::string& name) {
  const std::string logged = host::EscapeForLog(name);
  host::WriteLog("Error -- Could not open file %s\n", logged.c_str());
  if (protocol::SendPacket(s, wire::CannotOpen(name)) < 0) {
    host::WriteLog("Error occurred while sending file %s - File could not be opened\n", logged.c_str());
    return;
  }
  protocol::PauseAfterSend();
}

void ReplyStoreFailed(const platform::Socket& s, const std::string& name) {
  protocol::SendPacket(s, wire::StoreFailed(name));
  protocol::PauseAfterSend();
}

void LogCannotStore(const std::string& name) {
  host::WriteLog("Error opening temporary file on server (%s)\n", host::EscapeForLog(name).c_str());
}

// A stored name goes to the scripts folder unless it names its own folder.
std::string StoreName(const std::string& name) {
  std::string scripts = host::ScriptsFolder();
  bool has_folder = name.find_first_of("\\/") != std::string::npos;
  if (scripts.empty() || has_folder) return name;
  return host::JoinFolder(scripts, name);
}

void LogRenameFailed(const std::string& from, const std::string& to) {
  host::WriteLog("Unable to rename %s to %s\n", host::EscapeForLog(from).c_str(), host::EscapeForLog(to).c_str());
}

// Moves the current file aside to "<full>.bkp.<time>", or with ".1", ".2", ...
// after it where that name is taken: a backup is never replaced. Empty when
// the move failed.
std::string MoveToBackup(const std::string& full) {
  const std::string stamp = full + host::Format(".bkp.%lld", static_cast<long long>(platform::UnixTime()));
  std::string backup = stamp;
  for (int counter = 1; counter <= kBackupNames; ++counter) {
    int moved = platform::RenameNoReplace(full, backup);
    if (moved == 0) return backup;
    if (moved < 0) break;
    backup = stamp + host::Format(".%d", counter);
  }
  LogRenameFailed(full, backup);
  return {};
}

// Moves the current file aside to its backup and the new one into its place;
// neither move replaces anything, so the new file never lands on a link. On
// failure the current file is back under its own name.
bool PutInPlace(const std::string& tmp, const std::string& full) {
  std::string backup;
  if (platform::PathExists(full) || platform::IsLink(full)) {
    backup = MoveToBackup(full);
    if (backup.empty()) return false;
  }
  if (platform::RenameNoReplace(tmp, full) != 0) {
    LogRenameFailed(tmp, full);
    if (!backup.empty() && platform::RenameNoReplace(backup, full) != 0) LogRenameFailed(backup, full);
    return false;
  }
  return true;
}

}  // namespace

void SendWholeFile(const platform::Socket& s, const std::string& name, NameSource src) {
  std::string native = platform::NativePath(name);
  if (src == NameSource::kClient && !MayOpenClientName(name, native, true, false)) {
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
  chunk.reserve(wire::kFetchChunk);
  while (!in.AtEnd()) {
    chunk.clear();
    for (int c; chunk.size() < wire::kFetchChunk && (c = in.Get()) >= 0;) chunk.push_back(static_cast<char>(c));
    long sent = protocol::SendPacket(s, chunk);
    protocol::PauseAfterSend();
    bool answered = protocol::ReceivePacket(s, ack, wire::kMaxAckLength) == protocol::Received::kPacket;
    long acked = answered ? host::ParseDecimal(ack) : 0;
    if (acked != sent) {
      host::WriteLog("Ack failed while sending file. %ld != %ld\n", acked, sent);
      return;
    }
  }
  protocol::SendPacket(s, wire::kEndMarker);
  protocol::PauseAfterSend();
}

int ReceiveWholeFile(const platform::Socket& s, const std::string& name) {
  const std::string full = platform::NativePath(StoreName(name));
  const std::string tmp = full + ".tmp";
  // Fixed names too: a scripts folder or account folder that "gyrion.ini"
  // moved since start-up is no place to write. The temporary file is made
  // anew and never followed, wherever a stale one points.
  if (!MayOpenClientName(name, full, true, true)) {
    LogCannotStore(name);
    ReplyStoreFailed(s, name);
    return 0;
  }
  // Stores of one file share its ".tmp" file and its backup names: one at a time.
  FileLock lock(full);
  host::TextWriter out = host::TextWriter::Fresh(tmp);
  if (!out.Ok()) {
    LogCannotStore(name);
    ReplyStoreFailed(s, name);
    return 0;
  }
  protocol::SendPacket(s, wire::kReadyForFile);
  protocol::PauseAfterSend();

  // Every byte as it came, zero bytes included, up to MAXUPLOADSIZE; data
  // past it is read and acknowledged but not written. A failed write is
  // reported once the upload is over.
  const long long limit = host::Config().max_upload_size;
  long long total = 0;
  UploadEnd end = ReceiveUploadData(s, wire::kMaxUploadChunk, [&](const std::string& packet) {
    total += static_cast<long long>(packet.size());
    if (total <= limit) out.Write(packet);
  });
  host::WriteLog("%ld Total Bytes read.\n", static_cast<long>(total));
  bool written = out.Close();
  if (end != UploadEnd::kComplete || total > limit) platform::DeleteFile(tmp);
  if (end == UploadEnd::kTimedOut) host::WriteLog("Loop count exceeded receiving new file -- Data will not be saved.\n");
  if (end == UploadEnd::kBroken) host::WriteLog("Upload broken off -- Data will not be saved.\n");
  if (end != UploadEnd::kComplete) return -1;
  if (total > limit) {
    host::WriteLog("Upload of %s exceeds MAXUPLOADSIZE (%lld bytes) -- Data will not be saved.\n",
                   host::EscapeForLog(name).c_str(), static_cast<long long>(host::Config().max_upload_size));
    ReplyStoreFailed(s, name);
    return 0;
  }
  if (!written) {
    host::WriteLog("Error writing temporary file on server (%s)\n", host::EscapeForLog(name).c_str());
    platform::DeleteFile(tmp);
    ReplyStoreFailed(s, name);
    return 0;
  }
  if (!PutInPlace(tmp, full)) {
    platform::DeleteFile(tmp);
    ReplyStoreFailed(s, name);
    return 0;
  }
  protocol::SendPacket(s, wire::kFileReceived);
  return 0;
}

}  // namespace gamedata
