#include "art_catalog.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace tilvo::viewer {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

}  // namespace

std::optional<std::uint32_t> ParseId(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  std::uint32_t id = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), id, base);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return id;
}

void ArtCatalog::Load(CTilvoCtrl& ctrl, const render_tool::ArtKind& kind) {
  kind_ = &kind;
  const std::vector<std::uint32_t> held = ctrl.GetHeldEntries(kind.type);
  const std::uint32_t count = std::max(kind.count, held.empty() ? 0 : held.back() + 1);
  entries_.assign(count, {});
  for (std::uint32_t id = 0; id < count; ++id) entries_[id].id = id;
  for (std::uint32_t id : held) entries_[id].held = true;
  if (!kind.tileData) return;
  for (CatalogEntry& entry : entries_) {
    if (kind.type == 4) {
      if (const std::optional<LandTileRecord> land = ctrl.GetLandTileRecord(entry.id)) {
        entry.name = Lower(land->name);
        entry.flags = land->flags;
      }
    } else if (const std::optional<ItemTileRecord> item = ctrl.GetItemTileRecord(entry.id)) {
      entry.name = Lower(item->name);
      entry.flags = item->flags;
    }
  }
}

std::vector<std::uint32_t> ArtCatalog::Filter(const CatalogFilter& filter) const {
  std::string text = filter.text;
  text.erase(0, text.find_first_not_of(' '));
  text.erase(text.find_last_not_of(' ') + 1);
  const std::optional<std::uint32_t> id = ParseId(text);
  const std::string part = Lower(text);
  std::vector<std::uint32_t> shown;
  for (std::uint32_t at = 0; at < entries_.size(); ++at) {
    const CatalogEntry& entry = entries_[at];
    if (!filter.showEmpty && !entry.held) continue;
    if ((entry.flags & filter.flags) != filter.flags) continue;
    if (id ? entry.id != *id : !part.empty() && entry.name.find(part) == std::string::npos) continue;
    shown.push_back(at);
  }
  return shown;
}

}  // namespace tilvo::viewer
