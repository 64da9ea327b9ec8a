#pragma once
// The art types and DrawObject, which hands one DrawRequest to the decoder of
// its type. The table holds, per type code, the name on the property page,
// which ArtIndex values paint accepts and how it translates them, and where
// the type's entries come from.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "artcontrol/render/draw_context.h"
#include "artcontrol/render/draw_request.h"
#include "artcontrol/render/indexed_art.h"

namespace tilvo {

// How DrawObject reaches a type's decoder.
enum class ArtRoute : std::uint8_t {
  kArtEntry,  // art.mul through ArtCache: item art or land tile
  kIndexed,   // a data and index file pair with its own patch file id
  kMapBlock,  // a map block and its statics
};

// A decoder of the indexed path: draws one entry's bytes for the request.
using IndexedDecoder = void (*)(DrawContext& ctx, const DrawRequest& req, const IndexedArt& entry);

// One art type.
struct ArtTypeRow {
  std::int16_t code;
  std::string_view pageName;  // name on the property page; empty for none
  std::uint32_t limit;        // ArtIndex must be below this
  std::uint32_t indexBase;    // added to ArtIndex to give the request's index
  ArtRoute route;
  int dataSlot;               // ClientFileSet slots of the indexed path (-1 for none)
  int indexSlot;
  std::uint32_t patchFileId;  // file id of the type's patches in "verdata.mul"
  IndexedDecoder decode;      // the indexed path's decoder (null for the other routes)
};

// Every art type, codes 0 to 10 in order.
std::span<const ArtTypeRow> ArtTypes();
// The row of a type code (compared as a 16-bit value), or null for a code that draws nothing.
const ArtTypeRow* FindArtType(std::int32_t code);

// The index paint puts into the request for ArtIndex of that type, or none
// when the index is out of the type's range. Types without a row take the
// index unchanged.
std::optional<std::uint32_t> TranslateArtIndex(std::int16_t type, std::uint32_t artIndex);

// DrawObject: decodes the object of one request into the picture by its
// type's route: an art entry, an indexed entry handed to the type's decoder,
// or a map block. Codes without a row draw nothing.
void DrawObject(DrawContext& ctx, const DrawRequest& req);

}  // namespace tilvo
