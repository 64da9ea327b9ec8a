#pragma once
// What the grid of one art kind lists: every id of the kind (and any the
// client holds past its classic range), whether the client holds it, and for
// items and land tiles the tile data's name and flags; and the filter that the
// search field, the flag list and the empty-entries switch make of them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "art_kinds.h"
#include "tilvo/tilvo.h"

namespace tilvo::viewer {

struct CatalogEntry {
  std::uint32_t id = 0;
  bool held = false;       // the client holds an entry for the id
  std::string name;        // the tile data's name, lower case (empty for kinds without tile data)
  std::uint64_t flags = 0; // the tile data's flags
};

struct CatalogFilter {
  std::string text;          // an id (0x0B4F, 2895) or a part of the name, any case; empty: every entry
  std::uint64_t flags = 0;   // every one of these flags must be set
  bool showEmpty = false;    // list the ids the client holds nothing for (greyed in the grid)
};

// An id as typed: "0x" and hexadecimal digits, or decimal digits; none for anything else.
std::optional<std::uint32_t> ParseId(std::string_view text);

class ArtCatalog {
 public:
  // Reads the kind's entries from the control.
  void Load(CTilvoCtrl& ctrl, const render_tool::ArtKind& kind);
  const render_tool::ArtKind* Kind() const { return kind_; }
  const std::vector<CatalogEntry>& Entries() const { return entries_; }
  // The ids of the entries that pass the filter, ascending (an id is also its position in Entries()).
  std::vector<std::uint32_t> Filter(const CatalogFilter& filter) const;

 private:
  const render_tool::ArtKind* kind_ = nullptr;
  std::vector<CatalogEntry> entries_;
};

}  // namespace tilvo::viewer
