// The art size table over an arbitrary art index and art file (or, when the
// art file begins as a container, over its table): every entry gets a size,
// entries the files cannot describe measure 44 x 44, and nothing is read
// outside the files.

#include <cstdint>

#include "artcontrol/clientdata/client_file_set.h"
#include "artcontrol/render/art_size_table.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tilvo;
  const fuzz::Split split = fuzz::SplitInput(data, size);
  fuzz::WriteFile("artidx.mul", split.first, split.firstSize);
  fuzz::WriteFile("art.mul", split.second, split.secondSize);
  static ClientFileSet files = [] {
    ClientFileSet f;
    f.SetClientDirectory(fuzz::Folder().string() + "/");
    return f;
  }();
  ArtSizeTable table;
  FileSession session;
  table.Build(files, session);
  if (!table.IsBuilt()) __builtin_trap();
  if (session.Container(files.Path(slot::kArt))) return 0;
  // Records beyond the index measure as missing entries.
  for (std::uint32_t n = static_cast<std::uint32_t>(split.firstSize / 12); n < kArtEntryCount; n += 997) {
    if (table.Width(n) != kTileExtent || table.Height(n) != kTileExtent) __builtin_trap();
  }
  return 0;
}
