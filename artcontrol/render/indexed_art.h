#pragma once
// The indexed path of NPC frames, multis, gumps, textures and lights: each
// type reads one entry of a data file through its index file, unless
// "verdata.mul" holds a patch for it under the type's patch file id. The
// files are read through the regeneration's FileSession.

#include <cstdint>
#include <optional>
#include <vector>

#include "artcontrol/clientdata/client_data.h"
#include "artcontrol/clientdata/file_session.h"

namespace tilvo {

// Where a type's entries come from: ClientFileSet slots and the patch file id.
struct IndexedArtSource {
  int dataSlot;
  int indexSlot;
  std::uint32_t patchFileId;
};

// One entry as a decoder receives it.
struct IndexedArt {
  std::vector<std::uint8_t> bytes;  // what the file holds of the entry: at most `length` bytes
  std::uint32_t length = 0;         // the length the index record (or the patch) gives
  std::uint32_t extra = 0;          // the index record's (or the patch's) extra value
  bool fromContainer = false;       // the bytes are a container's entry, in its own layout (see the decoders)
};

// Entry n of the source. None when the data or index file does not open, when
// the entry has no patch and its offset is 0xFFFFFFFF (an index too short to
// hold record n counts as that), or when a patch exists and "verdata.mul" does
// not open. An entry that runs past the end of its file keeps the bytes the
// file holds; the decoders stop where they end. When the data slot names a
// container, the index file is not read: a patch still comes first, then the
// container's entry (none when it has none or it cannot be decoded), whose
// length is its size and whose extra value is 0.
std::optional<IndexedArt> LoadIndexedArt(FileSession& files, const ClientData& data, const IndexedArtSource& source,
                                         std::uint32_t n);

}  // namespace tilvo
