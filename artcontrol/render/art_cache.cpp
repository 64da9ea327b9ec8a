#include "artcontrol/render/art_cache.h"

#include "artcontrol/clientdata/container_entries.h"
#include "artcontrol/clientdata/indexed_entry.h"

namespace tilvo {

ArtCache::ArtCache(std::size_t limitBytes) : limit_(limitBytes) {}

const ArtCache::Entry& ArtCache::Get(std::uint32_t number, const Loader& load) {
  if (number >= kArtEntryCount) {
    static const Entry none;
    return none;
  }
  if (byNumber_.empty()) byNumber_.assign(kArtEntryCount, nullptr);
  if (Entry* cached = byNumber_[number]) {
    // Splicing moves no node, so the index and the entries' own places stay valid.
    entries_.splice(entries_.begin(), entries_, cached->self);
    return *cached;
  }
  Entry& entry = entries_.emplace_front();
  entry.self = entries_.begin();
  entry.number = number;
  entry.bytes = load(number);
  if (entry.bytes) entry.picture = DecodeArtPicture(*entry.bytes);
  entry.cost = (entry.bytes ? entry.bytes->capacity() : 0) + entry.picture.MemoryBytes() + kArtCacheEntryOverhead;
  held_ += entry.cost;
  byNumber_[number] = &entry;
  Trim(1);
  return entry;
}

void ArtCache::SetLimit(std::size_t limitBytes) {
  limit_ = limitBytes;
  Trim(0);
}

void ArtCache::Clear() {
  entries_.clear();
  byNumber_.clear();
  held_ = 0;
}

void ArtCache::Trim(std::size_t keep) {
  while (held_ > limit_ && entries_.size() > keep) {
    const Entry& last = entries_.back();
    held_ -= last.cost;
    byNumber_[last.number] = nullptr;
    entries_.pop_back();
  }
}

std::vector<std::uint32_t> ArtCache::Order() const {
  std::vector<std::uint32_t> order;
  for (const Entry& e : entries_) order.push_back(e.number);
  return order;
}

const ArtCache::Entry& LookUpArt(ArtCache& cache, const ClientData& data, FileSession& files, std::uint32_t n) {
  return cache.Get(n, [&data, &files](std::uint32_t number) -> std::optional<std::vector<std::uint8_t>> {
    std::int64_t patch = FindPatch(data.patches, kArtPatchFileId, number);
    const PatchEntry* record = patch >= 0 ? &data.patches.entries[static_cast<std::size_t>(patch)] : nullptr;
    const std::string& art = data.files.Path(slot::kArt);
    if (const ContainerTable* table = record ? nullptr : files.Container(art)) {
      return LoadContainerEntry(files, art, *table, slot::kArt, number);
    }
    return LoadIndexedEntry(files, number, data.files.Path(slot::kVerdata), data.files.Path(slot::kArtIndex), art,
                            record);
  });
}

const std::vector<std::uint8_t>* GetArt(ArtCache& cache, const ClientData& data, FileSession& files, std::uint32_t n) {
  const ArtCache::Entry& entry = LookUpArt(cache, data, files, n);
  return entry.bytes ? &*entry.bytes : nullptr;
}

}  // namespace tilvo
