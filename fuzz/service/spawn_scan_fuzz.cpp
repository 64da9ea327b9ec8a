// The spawn scan over world-save bytes: every line of the list is
// "NPC,MORE,POS" or "ITEM,MORE,POS" with CR LF, upper case, each value within
// its 79 characters, and no more lines of a kind than records of it counted.

#include <cstdint>
#include <string>
#include <string_view>

#include "service/gamedata/spawn_list.h"
#include "service_fuzz.h"

namespace {

constexpr size_t kFieldLimit = 79;
constexpr std::string_view kNoMore = "<invalid>,";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = (orvosvr_fuzz::Folder() / "gyrionworld.scp").string();
  orvosvr_fuzz::WriteFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
  gamedata::SpawnScan scan;
  if (!gamedata::ScanWorldFile(path, &scan)) __builtin_trap();

  long npcs = 0;
  long items = 0;
  std::string_view list = scan.list;
  while (!list.empty()) {
    size_t end = list.find("\r\n");
    if (end == std::string_view::npos) __builtin_trap();
    std::string_view line = list.substr(0, end);
    list.remove_prefix(end + 2);
    std::string_view kind = line.substr(0, line.find(','));
    if (kind == "NPC") {
      ++npcs;
    } else if (kind == "ITEM") {
      ++items;
    } else {
      __builtin_trap();
    }
    // Kind, MORE and POS with two commas between; the values may hold commas.
    if (line.size() > kind.size() + 2 + 2 * kFieldLimit || line.size() < kind.size() + 2) __builtin_trap();
    // Values are upper-cased; only the stand-in for a missing MORE is not.
    std::string_view values = line.substr(kind.size() + 1);
    if (values.substr(0, kNoMore.size()) == kNoMore) values.remove_prefix(kNoMore.size());
    for (char c : values) {
      if ((c >= 'a' && c <= 'z') || c == '\r' || c == '\n' || c == '\0') __builtin_trap();
    }
  }
  if (npcs > scan.npcs || items > scan.items) __builtin_trap();
  return 0;
}
