#include "artcontrol/render/held_entries.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "artcontrol/clientdata/container_entries.h"
#include "artcontrol/clientdata/indexed_entry.h"
#include "artcontrol/render/art_cache.h"
#include "artcontrol/render/art_types.h"
#include "artcontrol/render/body_tables.h"

namespace tilvo {
namespace {

constexpr std::uint32_t kBodies = 0x1000;
// The largest index read: the art index, whose items and character tests lie past its land tiles.
constexpr std::size_t kMaxIndexBytes = std::size_t{kArtEntryCount} * kIndexEntrySize;

// The entries of one data file: its patches, its container or its index file, each read once.
class EntrySource {
 public:
  EntrySource(FileSession& files, const ClientData& data, int dataSlot, int indexSlot, std::uint32_t patchFileId)
      : dataSlot_(dataSlot) {
    // The first patch of an entry is the one drawn.
    for (const PatchEntry& record : data.patches.entries) {
      if (record.fileId == patchFileId) patches_.try_emplace(record.block, record.length);
    }
    const std::string& dataPath = data.files.Path(dataSlot);
    opens_ = files.Opens(dataPath);
    container_ = files.Container(dataPath);
    if (opens_ && container_ == nullptr) {
      files.ReadRange(data.files.Path(indexSlot), 0, kMaxIndexBytes, index_);
    }
  }

  bool Holds(std::uint32_t n) const {
    if (!opens_) return false;
    if (const auto patch = patches_.find(n); patch != patches_.end()) return patch->second > 0;
    if (container_ != nullptr) {
      const std::vector<std::string> names = ContainerEntryNames(dataSlot_, n);
      return std::any_of(names.begin(), names.end(),
                         [this](const std::string& name) { return FindContainerEntry(*container_, name) != nullptr; });
    }
    const std::optional<IndexEntry> record = ParseIndexEntry(index_, n);
    return record && IsPresent(*record);
  }

 private:
  int dataSlot_;
  bool opens_ = false;
  const ContainerTable* container_ = nullptr;
  std::vector<std::uint8_t> index_;
  std::unordered_map<std::uint32_t, std::uint32_t> patches_;  // block -> length of its first patch
};

EntrySource SourceOf(FileSession& files, const ClientData& data, const ArtTypeRow& row) {
  if (row.route == ArtRoute::kArtEntry) return {files, data, slot::kArt, slot::kArtIndex, row.patchFileId};
  return {files, data, row.dataSlot, row.indexSlot, row.patchFileId};
}

}  // namespace

std::vector<std::uint32_t> HeldEntries(FileSession& files, const ClientData& data, std::int16_t type) {
  const ArtTypeRow* row = FindArtType(type);
  std::vector<std::uint32_t> held;
  if (row == nullptr || row->route == ArtRoute::kMapBlock) return held;
  if (row->indexUse == ArtIndexUse::kBody) {
    // Each body is drawn from the set the body tables give it.
    std::unordered_map<std::int16_t, EntrySource> sets;
    for (std::uint32_t body = 0; body < kBodies; ++body) {
      std::int16_t set = art_type::kNpcs;
      const std::uint32_t entry = AnimIndexFor(body, set);
      auto source = sets.find(set);
      if (source == sets.end()) source = sets.emplace(set, SourceOf(files, data, *FindArtType(set))).first;
      if (source->second.Holds(entry)) held.push_back(body);
    }
    return held;
  }
  const std::uint32_t count = std::min(std::max(row->limit, row->heldLimit), kHeldListLimit);
  const EntrySource source = SourceOf(files, data, *row);
  for (std::uint32_t index = 0; index < count; ++index) {
    if (source.Holds(index + row->indexBase)) held.push_back(index);
  }
  return held;
}

}  // namespace tilvo
