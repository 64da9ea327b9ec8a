#pragma once
// ArtCache: the bytes of the 256 most recently used art entries, most recent
// first, so that art drawn again (a map preview draws the same tiles many
// times) is read from the files once. It keeps bytes, never file handles, and
// lives as long as the control: a change of paths does not empty it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <optional>
#include <vector>

#include "artcontrol/clientdata/client_data.h"
#include "artcontrol/clientdata/file_session.h"

namespace tilvo {

inline constexpr std::size_t kArtCacheCapacity = 256;
// The patch file id of "art.mul".
inline constexpr std::uint32_t kArtPatchFileId = 4;

class ArtCache {
 public:
  // Loads the bytes of one entry; none when it has none.
  using Loader = std::function<std::optional<std::vector<std::uint8_t>>(std::uint16_t)>;

  // The bytes of entry n (taken modulo 65536). A cached entry moves to the
  // head; otherwise load runs once, the least recently used entry is dropped
  // when 256 are held, and the new one goes to the head, with or without
  // bytes. Null for an entry without bytes; the pointer stays valid until the
  // entry is evicted.
  const std::vector<std::uint8_t>* Get(std::uint32_t n, const Loader& load);

  // The cached entry numbers from the most to the least recently used.
  std::vector<std::uint16_t> Order() const;

 private:
  struct Entry {
    std::uint16_t number;
    std::optional<std::vector<std::uint8_t>> bytes;
  };
  std::list<Entry> entries_;
};

// GetArt: entry n of the art files through the cache, from "verdata.mul" when
// the patch table has a record for (4, n), else from "artidx.mul" and "art.mul".
const std::vector<std::uint8_t>* GetArt(ArtCache& cache, const ClientData& data, FileSession& files, std::uint32_t n);

}  // namespace tilvo
