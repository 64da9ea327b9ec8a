#pragma once
// ArtCache: the art entries drawn most recently, each with its bytes and its
// decoded picture, so that art drawn again (a map preview draws the same
// tiles many times) is read from the files and decoded once. The cache is
// bounded by the memory it holds rather than by a number of entries: 64 MB
// unless the host sets another limit, which holds every entry a full-screen
// map preview draws. The least recently used entries go first. It keeps
// bytes, never file handles, lives as long as the control, and is emptied
// when the data-file paths change.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <optional>
#include <vector>

#include "artcontrol/clientdata/client_data.h"
#include "artcontrol/clientdata/file_session.h"
#include "artcontrol/render/art_picture.h"

namespace tilvo {

// The memory an art cache may hold unless the host sets another limit.
inline constexpr std::size_t kDefaultArtCacheBytes = std::size_t{64} << 20;
// What an entry costs besides its bytes and picture (the list node, the index slot).
inline constexpr std::size_t kArtCacheEntryOverhead = 64;
// The patch file id of "art.mul".
inline constexpr std::uint32_t kArtPatchFileId = 4;
// Art entries are numbered from 0 to 0x13FFF: land tiles to 0x3FFF, then item
// id at 0x4000 + id for ids to 0xFFFF. A number beyond names no entry.
inline constexpr std::uint32_t kArtEntryCount = 0x14000;

class ArtCache {
 public:
  // Loads the bytes of one entry; none when it has none.
  using Loader = std::function<std::optional<std::vector<std::uint8_t>>(std::uint32_t)>;

  // One cached entry.
  struct Entry {
    std::uint32_t number = 0;
    std::optional<std::vector<std::uint8_t>> bytes;  // as loaded; none for an entry without bytes
    ArtPicture picture;                              // the bytes decoded
    std::size_t cost = 0;                            // bytes, picture and kArtCacheEntryOverhead
    std::list<Entry>::iterator self;                 // its place in the recency list
  };

  explicit ArtCache(std::size_t limitBytes = kDefaultArtCacheBytes);
  // The index points into the list's nodes: a copy would point into the original's.
  ArtCache(const ArtCache&) = delete;
  ArtCache& operator=(const ArtCache&) = delete;
  ArtCache(ArtCache&&) = default;
  ArtCache& operator=(ArtCache&&) = default;

  // Entry n; a number from kArtEntryCount on gives an entry without bytes,
  // uncached and without loading. A cached entry becomes the most recent;
  // otherwise load runs once, its bytes are decoded, and the entry becomes
  // the most recent, with or without bytes; then the least recently used
  // entries go while the cache holds more than its limit (the entry returned
  // always stays). The reference is valid until the next Get, SetLimit or Clear.
  const Entry& Get(std::uint32_t n, const Loader& load);

  // Sets the memory limit in bytes and drops entries down to it.
  void SetLimit(std::size_t limitBytes);
  // The memory limit in bytes.
  std::size_t Limit() const { return limit_; }
  // The memory the entries hold now, in bytes.
  std::size_t BytesHeld() const { return held_; }
  // Drops every entry: the next Get of each loads it again.
  void Clear();

  // The cached entry numbers from the most to the least recently used.
  std::vector<std::uint32_t> Order() const;

 private:
  void Trim(std::size_t keep);

  std::list<Entry> entries_;  // most recent first
  std::vector<Entry*> byNumber_;  // kArtEntryCount slots once the first entry is cached
  std::size_t held_ = 0;
  std::size_t limit_;
};

// The cache entry of art entry n, loaded on a miss from "verdata.mul" when the
// patch table has a record for (4, n), else from the art container when the
// art slot names one, else from "artidx.mul" and "art.mul"; an entry whose
// offset is -1, whose length is 0, which the container lacks or whose files
// do not open is cached without bytes.
const ArtCache::Entry& LookUpArt(ArtCache& cache, const ClientData& data, FileSession& files, std::uint32_t n);

// GetArt: the bytes of art entry n through the cache, or null for none.
const std::vector<std::uint8_t>* GetArt(ArtCache& cache, const ClientData& data, FileSession& files, std::uint32_t n);

}  // namespace tilvo
