#pragma once
// Exporting many entries of one art type, each into a PNG file of its own
// named after its type and id ("item_0x0B4F.png"): tilvo-render's --all and
// --range, and tilvo-viewer's exports. Each picture is cut to the art
// (FitArt), the rest transparent or in a background colour.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "art_kinds.h"
#include "tilvo/tilvo.h"

namespace tilvo::render_tool {

// The largest side FitArt grows an exported picture to.
inline constexpr std::int32_t kExportMaxSide = 4096;

// What an export did.
struct ExportResult {
  std::size_t written = 0;  // files written
  std::size_t empty = 0;    // entries that draw nothing: no file
  bool cancelled = false;   // progress asked to stop
  std::string error;        // the first file that could not be written (the export stops there)
};

// Writes one file per id into outDir (which must exist), in hue `hue`, the
// background transparent or `background` (0x00BBGGRR). progress(done, total)
// is called before each entry and once at the end; when it returns false the
// export stops there. The control's properties are changed.
ExportResult ExportEntries(CTilvoCtrl& ctrl, const ArtKind& kind, std::span<const std::uint32_t> ids,
                           std::int16_t hue, std::optional<std::uint32_t> background, const std::string& outDir,
                           const std::function<bool(std::size_t done, std::size_t total)>& progress = {});

}  // namespace tilvo::render_tool
