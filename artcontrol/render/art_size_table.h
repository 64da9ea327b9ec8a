#pragma once
// ArtSizeTable: the width and height of every art entry, read from the
// entries' headers without decoding them, so that multis and map blocks can
// place items by their heights. Built once per control, on first use.

#include <cstdint>
#include <vector>

#include "artcontrol/clientdata/client_file_set.h"
#include "artcontrol/clientdata/file_session.h"
#include "artcontrol/render/art_cache.h"

namespace tilvo {

// Land tiles, missing entries and entries that cannot be read measure 44 x 44.
inline constexpr std::uint16_t kTileExtent = 44;

class ArtSizeTable {
 public:
  // BuildArtSizeTable: on the first call that finds "artidx.mul" (or the art
  // container that stands in for "art.mul"), reads the header of every entry
  // (patches are not consulted, lengths not checked); later calls return at
  // once. While neither opens the table stays unbuilt and the next call tries
  // again.
  void Build(const ClientFileSet& files, FileSession& session);

  // Forgets the sizes: the next Build reads them again (from the files in force then).
  void Clear();
  // Whether Build has completed.
  bool IsBuilt() const { return built_; }
  // Width and height of entry n (44 x 44 for a number from kArtEntryCount on); 0 before the table is built.
  std::uint16_t Width(std::uint32_t n) const;
  std::uint16_t Height(std::uint32_t n) const;

 private:
  std::vector<std::uint16_t> widths_;
  std::vector<std::uint16_t> heights_;
  bool built_ = false;
};

}  // namespace tilvo
