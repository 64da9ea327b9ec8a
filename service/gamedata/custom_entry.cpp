#include "service/gamedata/custom_entry.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "service/gamedata/file_locks.h"
#include "service/gamedata/upload.h"
#include "service/host/log.h"
#include "service/host/text_lines.h"
#include "service/platform/fs.h"
#include "service/protocol/framing.h"
#include "wire/replies.h"

namespace gamedata {

namespace {

constexpr size_t kMaxRequestedDigits = 6;
constexpr char kCtrlZ = 26;

struct ScriptKind {
  const char* script;
  const char* tmp;
  int32_t base_id;
};
constexpr ScriptKind kItemScript{"gyrionitem2.scp", "gyrionitem2.tmp", 0x6000};
constexpr ScriptKind kNpcScript{"gyrionchar2.scp", "gyrionchar2.tmp", 0x4000};

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// A header line holds a "[" with a "]" after it; its text lies between them.
bool HeaderText(std::string_view line, std::string_view* text) {
  size_t open = line.find('[');
  if (open == std::string_view::npos) return false;
  size_t close = line.find(']', open + 1);
  if (close == std::string_view::npos) return false;
  *text = line.substr(open + 1, close - open - 1);
  return true;
}

// The script's lines as they are split at LF. A script that ends with a line
// end yields one more, empty, line after it, and the copy keeps it.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t lf; (lf = text.find('\n', start)) != std::string_view::npos; start = lf + 1) {
    lines.push_back(text.substr(start, lf - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

std::string ReadWholeText(host::TextReader& in) {
  std::string text;
  for (int c; (c = in.Get()) >= 0;) text.push_back(static_cast<char>(c));
  return text;
}

// Receives the entry up to the end marker. The packets that would take it to
// 8192 bytes or more are read and acknowledged but dropped: the merge goes
// ahead with what came before, and none of the client's bytes is taken for a
// command.
UploadEnd ReceiveEntry(const platform::Socket& s, std::string* entry) {
  bool overflowed = false;
  return ReceiveUploadData(s, wire::kMaxEntryChunk, [&](const std::string& packet) {
    if (!overflowed && entry->size() + packet.size() > wire::kMaxEntryBytes) {
      host::WriteLog("Data received exceeds maximum length for the buffer.\n");
      overflowed = true;
    }
    // Every byte as it came, zero bytes included.
    if (!overflowed) entry->append(packet);
  });
}

}  // namespace

int32_t ReadHexId(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  uint32_t value = 0;
  for (; i < text.size() && IsHexDigit(text[i]); ++i) {
    char c = text[i];
    uint32_t digit = c <= '9' ? static_cast<uint32_t>(c - '0') : static_cast<uint32_t>((c | 0x20) - 'a' + 10);
    value = value * 16 + digit;  // a header with more than eight digits wraps
  }
  return static_cast<int32_t>(value);
}

std::optional<int32_t> RequestedId(std::string_view entry) {
  if (entry.find("[]") != std::string_view::npos) return std::nullopt;
  size_t open = entry.find('[');
  size_t close = entry.find(']');
  if (open == std::string_view::npos || close == std::string_view::npos || close <= open) return std::nullopt;
  size_t length = close - open - 1;
  if (length < 1 || length > kMaxRequestedDigits) return std::nullopt;
  return ReadHexId(entry.substr(open + 1, length));
}

std::string MergeEntryText(std::string_view script, std::string_view entry, const std::string& user,
                           int32_t base_id, int32_t* id) {
  const std::optional<int32_t> requested = RequestedId(entry);
  const std::string update_mark = host::Format("//// Updated by %s\n\n", user.c_str());
  const std::string insert_mark = host::Format("//// Inserted by %s\n\n", user.c_str());
  const std::vector<std::string_view> lines = SplitLines(script);

  std::string out;
  out.reserve(script.size() + lines.size() + entry.size() + 2 * insert_mark.size() + 16);
  auto copy_line = [&out](std::string_view line) {
    out.append(line);
    out.push_back('\n');
  };
  int32_t last_id = 0;
  bool placed = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view header;
    if (!HeaderText(lines[i], &header)) {
      copy_line(lines[i]);
      continue;
    }
    last_id = ReadHexId(header);
    if (requested && last_id == *requested) {
      // Every section of the requested ID is replaced, up to the next line
      // with a "[" anywhere, which is kept as it is.
      out.append(entry);
      out.append(update_mark);
      placed = true;
      for (++i; i < lines.size() && lines[i].find('[') == std::string_view::npos;) ++i;
      if (i < lines.size()) copy_line(lines[i]);
      continue;
    }
    if (!requested || last_id <= *requested || placed) {
      copy_line(lines[i]);
      continue;
    }
    out.append(entry);
    out.append(insert_mark);
    copy_line(lines[i]);
    placed = true;
  }
  if (placed) {
    *id = *requested;
    return out;
  }
  // Appended under a new ID after the last header (not the largest): the
  // entry's own header line gives way to the normalised one.
  uint32_t new_id = last_id >= base_id ? static_cast<uint32_t>(last_id) + 1 : static_cast<uint32_t>(base_id);
  out.append(host::Format("[%04x]\n", new_id));
  size_t close = entry.find(']');
  // Without any "]" the entry has no header line to skip: all of it is body.
  size_t body = close == std::string_view::npos ? 0 : std::min(close + 2, entry.size());
  out.append(entry.substr(body));
  out.append(insert_mark);
  *id = static_cast<int32_t>(new_id);
  return out;
}

int MergeCustomEntry(const platform::Socket& s, const std::string& user, bool isItem) {
  const ScriptKind& kind = isItem ? kItemScript : kNpcScript;
  protocol::SendPacket(s, wire::kReadyForEntry);
  protocol::PauseAfterSend();

  std::string entry;
  if (ReceiveEntry(s, &entry) != UploadEnd::kComplete) {
    host::WriteLog("Loop count exceeded receiving data from user %s.  Data will not be saved\n",
                   host::EscapeForLog(user).c_str());
    return -1;
  }
  // A Ctrl-Z goes too: text mode ends a script there, so it would hide every
  // section after the entry, and the next merge would drop them.
  entry.erase(std::remove_if(entry.begin(), entry.end(), [](char c) { return c == '\r' || c == kCtrlZ; }),
              entry.end());

  // Merges and whole-file stores of the script take turns.
  FileLock lock(kind.script);
  // A script that is a link is not replaced by a file, nor read through.
  if (platform::IsLink(kind.script)) {
    host::WriteLog("Unable to open source file.\n");
    return 0;
  }
  auto in = std::make_unique<host::TextReader>(kind.script);
  if (!in->Ok()) {
    host::WriteLog("Unable to open source file.\n");
    return 0;
  }
  host::TextWriter out = host::TextWriter::Fresh(kind.tmp);
  if (!out.Ok()) {
    host::WriteLog("Unable to open temporary file for writing.\n");
    return 0;
  }
  std::string script = ReadWholeText(*in);
  // Windows renames nothing over a file that is still open.
  in.reset();
  int32_t id = 0;
  out.Write(MergeEntryText(script, entry, user, kind.base_id, &id));
  // The script is replaced by one rename, so it is whole at every moment and
  // stays as it was when the new text could not be written.
  if (!out.Close()) {
    host::WriteLog("Error writing temporary file on server (%s)\n", kind.tmp);
    platform::DeleteFile(kind.tmp);
    return 0;
  }
  if (platform::RenameFile(kind.tmp, kind.script) != 0) {
    host::WriteLog("Unable to rename %s to %s\n", kind.tmp, kind.script);
    platform::DeleteFile(kind.tmp);
    return 0;
  }
  protocol::SendPacket(s, wire::Merged(static_cast<uint32_t>(id)));
  return 0;
}

}  // namespace gamedata
