#pragma once
// Tilvo, the art viewer control: shows one object of the game client's art
// (an item, a land tile, an NPC, a multi, a gump, a texture, a light, or a
// map preview around one map block) in a host's window.
// The host creates `CTilvoCtrl` on a `TilvoSite`, sets properties and calls
// methods directly or through `Invoke` by DISPID, and calls `OnDraw` when the
// window needs painting.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tilvo/hue_record.h"
#include "tilvo/identities.h"
#include "tilvo/pixel_buffer.h"
#include "tilvo/preview_records.h"
#include "tilvo/site.h"
#include "tilvo/tile_records.h"

namespace tilvo {

// An argument or result of the dispatch entry.
struct Variant {
  ArgType type = ArgType::kNone;  // kNone: empty
  std::int32_t integer = 0;       // kI2, kI4 (a 16-bit value sign-extended)
  bool boolean = false;           // kBool
  std::string text;               // kText

  static Variant I2(std::int16_t v) { return {ArgType::kI2, v, false, {}}; }
  static Variant I4(std::int32_t v) { return {ArgType::kI4, v, false, {}}; }
  static Variant Bool(bool v) { return {ArgType::kBool, 0, v, {}}; }
  static Variant Text(std::string v) { return {ArgType::kText, 0, false, std::move(v)}; }
};

// How a member is reached through `Invoke`.
enum class InvokeKind : std::uint8_t { kPropertyGet, kPropertyPut, kMethod };

// Result of `Invoke`: 0 on success, negative for a refused call.
enum class DispResult : std::int32_t {
  kOk = 0,
  kMemberNotFound = -1,  // no member has that DISPID
  kBadParamCount = -2,   // the number of arguments does not match the declaration
  kTypeMismatch = -3,    // an argument cannot become the declared type
  kOverflow = -4,        // an integer argument does not fit the declared width
  kNotSupported = -5,    // the member cannot be reached that way (a put on a read-only property, a get on a method)
};

class CTilvoCtrl {
 public:
  // Creates the control on its site: finds the client folder through the
  // registry, loads the file set, patch table, hues and tile data, then moves
  // the ready state to 2 and fires ReadyStateChange on the site.
  explicit CTilvoCtrl(TilvoSite& site);
  // As above, but with the client folder given as the registry would have
  // given it (the path separator is appended when missing).
  CTilvoCtrl(TilvoSite& site, const std::string& clientDirectory);
  ~CTilvoCtrl();
  CTilvoCtrl(const CTilvoCtrl&) = delete;
  CTilvoCtrl& operator=(const CTilvoCtrl&) = delete;

  // Properties. Setting one that changes the picture asks for a repaint.
  std::int32_t GetxOffset() const;
  void SetxOffset(std::int32_t newValue);  // stores, sets the modified flag, redraws
  std::int32_t GetyOffset() const;
  void SetyOffset(std::int32_t newValue);
  std::int16_t GetArtType() const;
  void SetArtType(std::int16_t newValue);  // redraws only when the value changes
  std::int32_t GetArtIndex() const;
  void SetArtIndex(std::int32_t newValue); // redraws only when the value changes
  std::int16_t GetArtColor() const;
  void SetArtColor(std::int16_t newValue); // redraws whether or not the value changes
  std::int16_t GetDrawFlags() const;
  void SetDrawFlags(std::int16_t newValue);
  // The background colour 0x00BBGGRR, or -1 for the button-face colour, whatever color says.
  std::int32_t GetBkColor(std::int32_t color) const;
  // Stores color (newValue is ignored) and sets the modified flag; shows at the next regeneration.
  void SetBkColor(std::int32_t color, std::int32_t newValue);
  // 1 while the constructor runs, 2 once loaded.
  std::int32_t GetReadyState() const;

  // Methods.
  void SetObject(std::int16_t type, std::int32_t index);  // ArtIndex and ArtType without comparing; redraws
  void SetOffset(std::int32_t x, std::int32_t y);         // both offsets; redraws
  // Shows the map preview (ArtType 8) around block (column, row) of facet 0
  // or 2, also where ArtIndex cannot name the block: the eastern columns 768
  // to 895 of facet 0's wider map. ArtIndex reads column × 512 + row (plus
  // 0x60000 on facet 2) afterwards; setting ArtType or ArtIndex again leaves
  // this centre. False (nothing changed) for another facet, or a column or
  // row off the map (columns 0 to 895 on facet 0, 0 to 767 on facet 2; rows
  // 0 to 511). Redraws.
  bool SetMapCentre(std::int32_t facet, std::int32_t column, std::int32_t row);
  std::int32_t yScroll(std::int32_t offset);              // yOffset += offset, redraws; the new yOffset
  std::int32_t xScroll(std::int32_t offset);              // xOffset += offset, redraws; the new xOffset
  void Scroll(std::int32_t x, std::int32_t y);            // both offsets += ; redraws
  void RemovePreviewItems();                              // empties the preview items; the next index is 0
  // Removes the first preview item equal to the one AddPreviewItem would form; no match changes nothing.
  void RemovePreviewItem(std::int16_t ID, std::int16_t x, std::int16_t y, std::int16_t z, std::int16_t color);
  void RemovePreviewItemAt(std::int32_t index);           // empties that slot; an index outside the list is ignored
  // Appends a preview item at map position (x, y); returns its index.
  std::int32_t AddPreviewItem(std::int16_t ID, std::int16_t x, std::int16_t y, std::int16_t z, std::int16_t color);
  // Appends a hidden static as given; returns its index.
  std::int32_t AddHideStatic(std::int16_t ID, std::int32_t Block, std::int16_t x, std::int16_t y, std::int16_t z,
                             std::int16_t color);
  void RemoveHideStatics();                               // empties the hidden statics; the next index is 0
  void RemoveHideStaticAt(std::int32_t index);            // empties that slot; an index outside the list is ignored
  // Removes the first hidden static equal to the one AddHideStatic would form.
  void RemoveHideStatic(std::int16_t ID, std::int32_t Block, std::int16_t x, std::int16_t y, std::int16_t z,
                        std::int16_t color);
  void RedrawControl();                                   // asks for a regenerated picture
  // Moves every named file to that folder, reads the patch table, hues and tile data anew and empties the art caches.
  void SetMulPath(const std::string& pszNewPath);
  std::string GetMulPath() const;                         // the client folder, ending in the separator, or empty
  // Points one file slot at a full path and empties the art caches (a new patch, hue or tile data file is read
  // anew); false (nothing changed) for a refused slot or an empty path.
  bool SetCustomMulFile(std::int16_t sFileIndex, const std::string& pszNewFilePath);
  // The path of a slot; empty for a refused slot.
  std::string GetCustomMulPath(std::int16_t sFileIndex) const;

  // The dispatch entry: reaches the members above by DISPID. Arguments are in
  // declaration order; a property put passes the property's own parameters
  // (BkColor's `color`) followed by the value. The result is stored in
  // *result when given.
  DispResult Invoke(std::int32_t dispid, InvokeKind kind, std::span<const Variant> args,
                    Variant* result = nullptr);

  // Framework side. Paints into the picture and copies it to the site at the
  // bounds' top-left; a change of size regenerates the picture.
  void OnDraw(const Rect& rcBounds);
  // An ambient property of the container changed: the picture is regenerated.
  void OnAmbientPropertyChange(std::int32_t dispid);
  // Mouse messages of the control's window, passed on as the stock events.
  void OnMouseDown(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y);
  void OnMouseMove(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y);
  void OnMouseUp(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y);
  // Whether the container should save the control's state.
  bool IsModified() const;
  // Sets or clears that flag (the container clears it once the state is saved or loaded).
  void SetModifiedFlag(bool modified);
  // The memory the cache of decoded art may hold, in bytes: 64 MB unless set,
  // which keeps every entry a full-screen map preview draws. A lower limit
  // makes such a preview read and decode art again at every regeneration.
  void SetArtCacheLimit(std::size_t bytes);
  // The tile data of the client's "tiledata.mul" as read at the last load
  // (construction, SetMulPath, or SetCustomMulFile of its slot): its layout,
  // and the whole record of one land tile (0 to 0x3FFF) or one item (as many
  // as the layout holds); none past them or when the file is missing.
  TileDataLayout GetTileDataLayout() const;
  std::optional<LandTileRecord> GetLandTileRecord(std::uint32_t id) const;
  std::optional<ItemTileRecord> GetItemTileRecord(std::uint32_t id) const;
  // The hues as read at the last load (with their patches): the highest hue
  // number that recolours art (hues 1 to it; 0 without hues), and one hue's
  // ramp and name; none for hue 0 or a hue past that number.
  std::uint32_t GetHueCount() const;
  std::optional<HueRecord> GetHueRecord(std::uint16_t hue) const;
  // The ArtIndex values of an art type whose entry the client holds, ascending
  // (NPCs by body number), read from the index files, containers and patches
  // without drawing anything: for a host that lists the entries. Multis and
  // gumps are listed up to 0xFFFF; the map preview and other codes give none.
  std::vector<std::uint32_t> GetHeldEntries(std::int16_t artType);
  // The current picture (empty before the first paint).
  const PixelBuffer& Picture() const;
  // The host-filled lists, slot by slot (an empty slot is a removed record).
  const std::vector<std::optional<PreviewItem>>& PreviewItems() const;
  const std::vector<std::optional<HiddenStatic>>& HiddenStatics() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tilvo
