#pragma once
// The art types: one row per ArtType code, the only place a type is
// described. A row gives the type's name on the property page, which ArtIndex
// values paint accepts and what it makes of them, and where DrawObject finds
// the type's entries. Codes 9 and 10 are the NPCs of the second and third
// animation sets, which paint stores in ArtType for NPCs found there; they
// have no name on the page. Codes without a row draw nothing.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tilvo {

struct DrawContext;
struct DrawRequest;
struct IndexedArt;

// The codes the code itself names; every other code is a row of the table only.
namespace art_type {
inline constexpr std::int16_t kItems = 0;          // also every component of a multi or map block
inline constexpr std::int16_t kNpcs = 1;           // NPCs of the first animation set
inline constexpr std::int16_t kMapPreview = 8;     // also each block of a preview
inline constexpr std::int16_t kNpcsSecondSet = 9;
inline constexpr std::int16_t kNpcsThirdSet = 10;
}  // namespace art_type

// What paint makes of ArtIndex.
enum class ArtIndexUse : std::uint8_t {
  kEntry,        // ArtIndex plus the row's base is the entry drawn
  kBody,         // a body number: AnimIndexFor gives the animation entry, and ArtType its set
  kCentreBlock,  // the centre of a map preview: the block loop draws the blocks around it
};

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
  std::uint32_t heldLimit;    // or below this, where the client holds the entry (0: no such range)
  std::uint32_t indexBase;    // added to ArtIndex to give the request's index
  ArtIndexUse indexUse;
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
// The names on the property page, in code order: a name's position is its ArtType.
std::span<const std::string_view> ArtTypePageNames();

// The index paint puts into the request for ArtIndex of that type, or none
// when the index is out of the type's range. Codes without a row take the
// index unchanged. Past the range, up to the row's held limit, paint accepts
// the entries the client holds (see HoldsEntry): items to 0xFFFF, multis and
// gumps as far as the client's files go.
std::optional<std::uint32_t> TranslateArtIndex(std::int16_t type, std::uint32_t artIndex);

}  // namespace tilvo
