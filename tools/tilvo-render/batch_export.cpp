#include "batch_export.h"

#include <filesystem>

#include "art_fit.h"
#include "picture_file.h"

namespace tilvo::render_tool {

ExportResult ExportEntries(CTilvoCtrl& ctrl, const ArtKind& kind, std::span<const std::uint32_t> ids,
                           std::int16_t hue, std::optional<std::uint32_t> background, const std::string& outDir,
                           const std::function<bool(std::size_t, std::size_t)>& progress) {
  ExportResult result;
  for (std::size_t done = 0; done < ids.size(); ++done) {
    if (progress && !progress(done, ids.size())) {
      result.cancelled = true;
      return result;
    }
    const FittedArt art = FitArt(ctrl, kind.type, static_cast<std::int32_t>(ids[done]), hue, kind.fitStart, kExportMaxSide);
    if (art.Empty()) {
      ++result.empty;
      continue;
    }
    const std::string path = (std::filesystem::path(outDir) / ExportFileName(kind, ids[done])).string();
    if (!WriteArtPng(art, background, path, result.error)) return result;
    ++result.written;
  }
  if (progress) progress(ids.size(), ids.size());
  return result;
}

}  // namespace tilvo::render_tool
