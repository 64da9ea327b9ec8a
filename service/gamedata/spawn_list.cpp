#include "service/gamedata/spawn_list.h"

#include <cstring>
#include <mutex>
#include <string_view>

#include "service/gamedata/line_reader.h"
#include "service/host/config.h"
#include "service/host/log.h"
#include "service/host/text_lines.h"
#include "service/platform/fs.h"
#include "service/protocol/framing.h"

namespace gamedata {

namespace {

constexpr size_t kLineSize = 260;    // world lines hold at most 259 characters
constexpr size_t kFieldLimit = 79;   // longer MORE and P= values are cut here
constexpr std::string_view kNoPosition = "-1,-1,-1,0";
constexpr std::string_view kNoMore = "<invalid>";
// Outside a marked section a line matters only if it holds a "[" or a TYPE=
// key, and every TYPE= holds a Y in one case or the other.
constexpr std::string_view kOutsideMarks = "[Yy";

// The published list, and the lock that rebuilds hold so that two never
// interleave.
std::mutex g_list_mutex;
std::shared_ptr<const std::string> g_list;
std::mutex g_rebuild_mutex;

// The world file's lines are tested upper-cased; comparing byte by byte
// against upper-case keys gives the same answers without copying each line.
inline char Up(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Whether the `key.size()` bytes at `p` equal the upper-case `key`.
inline bool MatchAt(const char* p, std::string_view key) {
  for (size_t i = 0; i < key.size(); ++i) {
    if (Up(p[i]) != key[i]) return false;
  }
  return true;
}

inline bool StartsWith(std::string_view text, std::string_view key) {
  return text.size() >= key.size() && MatchAt(text.data(), key);
}

// The section markers of spawn items, pets and gems.
bool HoldsSpawnMarker(std::string_view line) {
  constexpr std::string_view kPrefix = "[WORLDITEM I_";
  constexpr std::string_view kKinds[] = {"WORLDGEM_BIT", "PET_", "SPAWNBIT"};
  for (size_t at = line.find('['); at != std::string_view::npos; at = line.find('[', at + 1)) {
    std::string_view rest = line.substr(at);
    if (!StartsWith(rest, kPrefix)) continue;
    rest.remove_prefix(kPrefix.size());
    for (std::string_view kind : kKinds) {
      if (StartsWith(rest, kind)) return true;
    }
  }
  return false;
}

// The keys a line holds, found from its "=" signs: every key the scan tests
// ends in one, and the byte before the sign tells which key it can be.
struct LineKeys {
  bool npc_type = false;    // TYPE=34, TYPE=T_SPAWN_CHAR, TYPE=034
  bool item_type = false;   // TYPE=69, TYPE=T_SPAWN_ITEM, TYPE=069
  bool pet_dispid = false;  // DISPID=I_PET_
  bool more1 = false;       // MORE1=
  bool more = false;        // MORE=
  bool p = false;           // P=
  bool more_p = false;      // MOREP=
};

LineKeys FindKeys(std::string_view line) {
  LineKeys keys;
  const char* begin = line.data();
  const char* end = begin + line.size();
  // World lines are short: a plain loop finds their "=" signs sooner than
  // a call per sign would.
  for (const char* eq = begin; eq < end; ++eq) {
    if (*eq != '=') continue;
    size_t before = static_cast<size_t>(eq - begin);
    if (before == 0) continue;
    std::string_view after(eq + 1, static_cast<size_t>(end - eq - 1));
    switch (Up(eq[-1])) {
      case 'E':
        if (before >= 4 && MatchAt(eq - 4, "TYPE")) {
          keys.npc_type |= StartsWith(after, "34") || StartsWith(after, "T_SPAWN_CHAR") || StartsWith(after, "034");
          keys.item_type |= StartsWith(after, "69") || StartsWith(after, "T_SPAWN_ITEM") || StartsWith(after, "069");
        } else if (before >= 4 && MatchAt(eq - 4, "MORE")) {
          keys.more = true;
        }
        break;
      case 'D':
        if (before >= 6 && MatchAt(eq - 6, "DISPID") && StartsWith(after, "I_PET_")) keys.pet_dispid = true;
        break;
      case 'P':
        keys.p = true;
        if (before >= 5 && MatchAt(eq - 5, "MOREP")) keys.more_p = true;
        break;
      case '1':
        if (before >= 5 && MatchAt(eq - 5, "MORE1")) keys.more1 = true;
        break;
      default:
        break;
    }
  }
  return keys;
}

// A value is the text at a fixed distance from the start of its line, upper-cased.
void SetField(std::string& field, std::string_view line, size_t from) {
  field.assign(line.substr(from, kFieldLimit));
  for (char& c : field) c = Up(c);
}

// The scan's state between lines.
class WorldScanner {
 public:
  WorldScanner(LineReader& in, SpawnScan* scan) : in_(in), scan_(scan) {}

  void Run() {
    std::string_view line;
    for (;;) {
      if (!marker_) {
        // A position is kept from line to line only inside a marked section.
        // Outside one, only a line with a "[" or a TYPE= can change anything.
        has_position_ = false;
        in_.SkipToMarkedLine();
      }
      if (!in_.Next(&line)) return;
      if (line.find('[') != std::string_view::npos) marker_ = HoldsSpawnMarker(line);
      if (marker_ && line.size() > 2 && StartsWith(line, "P=")) SetPosition(line);
      LineKeys keys = FindKeys(line);
      if (keys.npc_type || (marker_ && keys.pet_dispid)) {
        // The "[" line that ends the NPC record is tested for an item record.
        if (!ReadRecord("NPC", true, &line)) return;
        keys = FindKeys(line);
      }
      if (keys.item_type && !ReadRecord("ITEM", false, &line)) return;
    }
  }

 private:
  void SetPosition(std::string_view line) {
    SetField(position_, line, 2);
    has_position_ = true;
  }

  // Reads a record's lines up to a line beginning with "[", which is left in
  // `line` and used up. False at the end of the file: the record is counted
  // but not listed.
  bool ReadRecord(std::string_view kind, bool npc, std::string_view* line) {
    ++(npc ? scan_->npcs : scan_->items);
    more_.assign(kNoMore);
    while (in_.Next(line)) {
      if (!line->empty() && (*line)[0] == '[') {
        Append(kind);
        return true;
      }
      LineKeys keys = FindKeys(*line);
      if (keys.more1 && line->size() > 6) SetField(more_, *line, 6);
      if (keys.more && line->size() > 5) SetField(more_, *line, 5);
      if (npc && keys.p && !keys.more_p && line->size() > 2) SetPosition(*line);
    }
    return false;
  }

  void Append(std::string_view kind) {
    std::string& list = scan_->list;
    list.append(kind);
    list.push_back(',');
    list.append(more_);
    list.push_back(',');
    list.append(has_position_ ? std::string_view(position_) : kNoPosition);
    list.append("\r\n");
  }

  LineReader& in_;
  SpawnScan* scan_;
  bool marker_ = false;
  bool has_position_ = false;
  std::string position_;
  std::string more_;
};

std::shared_ptr<const std::string> Published() {
  std::lock_guard<std::mutex> guard(g_list_mutex);
  return g_list;
}

void Publish(std::shared_ptr<const std::string> list) {
  std::lock_guard<std::mutex> guard(g_list_mutex);
  g_list = std::move(list);
}

// Builds a new list into `scan`, logging how far it got.
void BuildSpawnList(SpawnScan* scan) {
  if (!host::TextReader("gyrion.ini").Ok()) {
    host::WriteLog("Error -- Could not open %s\n", "gyrion.ini");
    return;
  }
  std::optional<std::string> folder = host::FindIniValue("WORLDSAVE=", true);
  if (!folder) {
    host::WriteLog("Error -- Worldsave Path has a length of 0\n");
    return;
  }
  std::string path = host::JoinFolder(*folder, "gyrionworld.scp");
  if (!ScanWorldFile(platform::NativePath(path), scan)) {
    host::WriteLog("Error -- Could not open world file %s\n", path.c_str());
    return;
  }
  host::WriteLog("Spawn Information Loaded. %ld items and %ld npc spawn points\n", scan->items, scan->npcs);
}

void RebuildHoldingLock() {
  SpawnScan scan;
  // The last list's size is a good guess at this one's: it spares the copies
  // of a growing text.
  if (std::shared_ptr<const std::string> last = Published()) scan.list.reserve(last->size() + last->size() / 8);
  BuildSpawnList(&scan);
  Publish(std::make_shared<const std::string>(std::move(scan.list)));
}

}  // namespace

bool ScanWorldFile(const std::string& native_path, SpawnScan* scan) {
  LineReader in(native_path, kLineSize, true, kOutsideMarks);
  if (!in.Ok()) return false;
  WorldScanner(in, scan).Run();
  return true;
}

void LoadSpawnList() {
  std::lock_guard<std::mutex> rebuild(g_rebuild_mutex);
  RebuildHoldingLock();
}

std::shared_ptr<const std::string> CurrentSpawnList() { return Published(); }

void ClearSpawnList() { Publish(nullptr); }

void SendSpawnList(const platform::Socket& s) {
  std::shared_ptr<const std::string> list = CurrentSpawnList();
  if (!list) {
    // Sessions that ask at once share one rebuild.
    std::lock_guard<std::mutex> rebuild(g_rebuild_mutex);
    list = CurrentSpawnList();
    if (!list) {
      RebuildHoldingLock();
      list = CurrentSpawnList();
    }
  }
  std::string_view text = list ? std::string_view(*list) : std::string_view();
  protocol::SendFormatted(s, "%ld", static_cast<long>(text.size()));
  for (size_t at = 0; at < text.size(); at += wire::kMaxPayload) {
    protocol::SendPacket(s, text.substr(at, wire::kMaxPayload));
  }
  protocol::SendPacket(s, wire::kSpawnListEnd);
}

}  // namespace gamedata
