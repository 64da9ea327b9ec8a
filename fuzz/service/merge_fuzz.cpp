// SITM and SCHR: an entry from the client merged into a script of any bytes.
// The script left on disk still holds, in order, every line that the entry
// does not replace (the sections of the entry's own ID), and it holds the
// entry; the reply names the ID the entry got.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "service/gamedata/custom_entry.h"
#include "service/platform/net.h"
#include "service_fuzz.h"
#include "wire/packet.h"
#include "wire/replies.h"

namespace {

constexpr std::string_view kUser = "Warden";

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t lf; (lf = text.find('\n', start)) != std::string_view::npos; start = lf + 1) {
    lines.push_back(text.substr(start, lf - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

// The ID of a header line (a "[" with a "]" after it), if the line is one.
std::optional<int32_t> HeaderId(std::string_view line) {
  size_t open = line.find('[');
  if (open == std::string_view::npos) return std::nullopt;
  size_t close = line.find(']', open + 1);
  if (close == std::string_view::npos) return std::nullopt;
  return gamedata::ReadHexId(line.substr(open + 1, close - open - 1));
}

// The script's lines that a merge of `requested` keeps: all but each section
// of that ID, from its header up to the next line with a "[".
std::vector<std::string_view> KeptLines(std::string_view script, std::optional<int32_t> requested) {
  std::vector<std::string_view> kept;
  bool replacing = false;
  for (std::string_view line : Lines(script)) {
    if (replacing && line.find('[') == std::string_view::npos) continue;
    replacing = requested && HeaderId(line) == requested;
    if (!replacing) kept.push_back(line);
  }
  return kept;
}

// The payload of the last packet the service sent.
std::string LastReply(const platform::Socket& s) {
  std::string bytes;
  char buffer[4096];
  while (platform::WaitReadable(s, 0) == platform::WaitResult::kReady) {
    long n = platform::ReceiveSome(s, buffer, sizeof buffer);
    if (n <= 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  std::string_view last;
  wire::ByteReader reader(bytes);
  for (std::string_view payload; wire::ReadPacket(reader, &payload);) last = payload;
  return std::string(last);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const bool item = data[0] & 1;
  const orvosvr_fuzz::Split split = orvosvr_fuzz::SplitInput(data + 1, size - 1);
  // The entry as the client sends it, short of the size limit and of the
  // end marker that would end it early.
  std::string_view sent = split.second.substr(0, wire::kMaxEntryBytes);
  sent = sent.substr(0, sent.find(wire::kEndMarker));
  // The entry as the service keeps it: without CRs and Ctrl-Zs.
  std::string entry;
  for (char c : sent) {
    if (c != '\r' && c != 26) entry += c;
  }

  orvosvr_fuzz::InFolder here(orvosvr_fuzz::Folder());
  const char* script_name = item ? "gyrionitem2.scp" : "gyrionchar2.scp";
  orvosvr_fuzz::WriteFile(script_name, split.first);
  const std::string before = orvosvr_fuzz::TextOf(split.first);

  platform::Socket service;
  platform::Socket client;
  if (!platform::SocketPair(&service, &client)) __builtin_trap();
  for (size_t at = 0; at < sent.size(); at += wire::kMaxEntryChunk) {
    orvosvr_fuzz::SendAll(client, orvosvr_fuzz::Packet(sent.substr(at, wire::kMaxEntryChunk)));
  }
  orvosvr_fuzz::SendAll(client, orvosvr_fuzz::Packet(wire::kEndMarker));
  gamedata::MergeCustomEntry(service, std::string(kUser), item);

  const std::string reply = LastReply(client);
  if (reply.rfind(wire::kMergedPrefix, 0) != 0) __builtin_trap();
  const std::string after = orvosvr_fuzz::TextOf(orvosvr_fuzz::ReadFile(script_name));
  const std::vector<std::string_view> out = Lines(after);
  size_t at = 0;
  for (std::string_view line : KeptLines(before, gamedata::RequestedId(entry))) {
    while (at < out.size() && out[at] != line) ++at;
    if (at == out.size()) __builtin_trap();
    ++at;
  }

  // The entry as it came, or appended under the reply's ID without its own
  // header line.
  const std::string id = reply.substr(8);
  const size_t close = entry.find(']');
  const std::string body = entry.substr(close == std::string::npos ? 0 : std::min(close + 2, entry.size()));
  const std::string inserted = "//// Inserted by " + std::string(kUser) + "\n\n";
  const std::string updated = "//// Updated by " + std::string(kUser) + "\n\n";
  if (after.find(entry + inserted) == std::string::npos && after.find(entry + updated) == std::string::npos &&
      after.find("[" + id + "]\n" + body + inserted) == std::string::npos) {
    __builtin_trap();
  }
  return 0;
}
