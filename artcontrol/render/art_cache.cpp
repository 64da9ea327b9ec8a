#include "artcontrol/render/art_cache.h"

#include "artcontrol/clientdata/indexed_entry.h"

namespace tilvo {

const std::vector<std::uint8_t>* ArtCache::Get(std::uint32_t n, const Loader& load) {
  auto number = static_cast<std::uint16_t>(n);
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->number != number) continue;
    entries_.splice(entries_.begin(), entries_, it);
    return entries_.front().bytes ? &*entries_.front().bytes : nullptr;
  }
  Entry entry{number, load(number)};
  if (entries_.size() >= kArtCacheCapacity) entries_.pop_back();
  entries_.push_front(std::move(entry));
  return entries_.front().bytes ? &*entries_.front().bytes : nullptr;
}

std::vector<std::uint16_t> ArtCache::Order() const {
  std::vector<std::uint16_t> order;
  for (const Entry& e : entries_) order.push_back(e.number);
  return order;
}

const std::vector<std::uint8_t>* GetArt(ArtCache& cache, const ClientData& data, FileSession& files, std::uint32_t n) {
  return cache.Get(n, [&data, &files](std::uint16_t number) {
    std::int64_t patch = FindPatch(data.patches, kArtPatchFileId, number);
    const PatchEntry* record = patch >= 0 ? &data.patches.entries[static_cast<std::size_t>(patch)] : nullptr;
    return LoadIndexedEntry(files, number, data.files.Path(slot::kVerdata), data.files.Path(slot::kArtIndex),
                            data.files.Path(slot::kArt), record);
  });
}

}  // namespace tilvo
