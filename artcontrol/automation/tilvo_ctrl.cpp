#include <algorithm>
#include <memory>

#include "artcontrol/automation/module_state.h"
#include "artcontrol/automation/preview_lists.h"
#include "artcontrol/clientdata/client_data.h"
#include "artcontrol/clientdata/client_directory.h"
#include "artcontrol/platform/path.h"
#include "artcontrol/render/art_types.h"
#include "artcontrol/render/colour.h"
#include "artcontrol/render/held_entries.h"
#include "artcontrol/render/map_preview.h"
#include "artcontrol/render/paint.h"
#include "tilvo/tilvo.h"

namespace tilvo {

namespace {

constexpr std::int32_t kLoading = 1;
constexpr std::int32_t kLoaded = 2;

}  // namespace

struct CTilvoCtrl::Impl {
  explicit Impl(TilvoSite& s) : site(s), data(std::make_unique<ClientData>()) {}

  // RequestRedraw: the next paint regenerates the picture.
  void RequestRedraw() {
    state.modified = true;
    state.pictureValid = false;
    site.InvalidateControl(true);
  }

  // Art read from other files must not be drawn as the new files' art.
  void EmptyCaches() {
    render.artCache.Clear();
    render.artSizes.Clear();
    render.containers.Clear();
  }

  // The constructor's loading sequence, then ready state 2.
  void Load(std::string mulPath) {
    state.readyState = kLoading;
    LoadClientData(*data, std::move(mulPath));
    if (state.readyState != kLoaded) {
      state.readyState = kLoaded;
      site.ReadyStateChange(kLoaded);
    }
  }

  ModuleObject moduleObject;  // the module stays in use while a control lives
  TilvoSite& site;
  ControlState state;
  std::unique_ptr<ClientData> data;  // over a megabyte with the tile data image
  RenderResources render;
  std::optional<Rect> lastBounds;
  SlotList<PreviewItem> previewItems;
  SlotList<HiddenStatic> hiddenStatics;
};

CTilvoCtrl::CTilvoCtrl(TilvoSite& site) : impl_(std::make_unique<Impl>(site)) {
  impl_->Load(ResolveClientDirectory());
}

CTilvoCtrl::CTilvoCtrl(TilvoSite& site, const std::string& clientDirectory) : impl_(std::make_unique<Impl>(site)) {
  std::string mulPath = clientDirectory;
  if (mulPath.empty() || mulPath.back() != platform::kPathSeparator) mulPath += platform::kPathSeparator;
  impl_->Load(std::move(mulPath));
}

CTilvoCtrl::~CTilvoCtrl() = default;

std::int32_t CTilvoCtrl::GetxOffset() const { return impl_->state.xOffset; }

void CTilvoCtrl::SetxOffset(std::int32_t newValue) {
  impl_->state.xOffset = newValue;
  impl_->state.modified = true;
  impl_->RequestRedraw();
}

std::int32_t CTilvoCtrl::GetyOffset() const { return impl_->state.yOffset; }

void CTilvoCtrl::SetyOffset(std::int32_t newValue) {
  impl_->state.yOffset = newValue;
  impl_->state.modified = true;
  impl_->RequestRedraw();
}

std::int16_t CTilvoCtrl::GetArtType() const { return impl_->state.artType; }

void CTilvoCtrl::SetArtType(std::int16_t newValue) {
  if (newValue == impl_->state.artType) return;
  impl_->state.artType = newValue;
  impl_->state.mapCentre.reset();
  impl_->RequestRedraw();
}

std::int32_t CTilvoCtrl::GetArtIndex() const { return static_cast<std::int32_t>(impl_->state.artIndex); }

void CTilvoCtrl::SetArtIndex(std::int32_t newValue) {
  auto index = static_cast<std::uint32_t>(newValue);
  if (index == impl_->state.artIndex) return;
  impl_->state.artIndex = index;
  impl_->state.mapCentre.reset();
  impl_->RequestRedraw();
}

std::int16_t CTilvoCtrl::GetArtColor() const { return static_cast<std::int16_t>(impl_->state.artColor); }

void CTilvoCtrl::SetArtColor(std::int16_t newValue) {
  impl_->state.artColor = static_cast<std::uint16_t>(newValue);
  impl_->RequestRedraw();
}

std::int16_t CTilvoCtrl::GetDrawFlags() const { return static_cast<std::int16_t>(impl_->state.drawFlags); }

void CTilvoCtrl::SetDrawFlags(std::int16_t newValue) {
  impl_->state.drawFlags = static_cast<std::uint16_t>(newValue);
  impl_->RequestRedraw();
}

std::int32_t CTilvoCtrl::GetBkColor(std::int32_t color) const {
  (void)color;
  return impl_->state.bkColor;
}

void CTilvoCtrl::SetBkColor(std::int32_t color, std::int32_t newValue) {
  // The parameter is the colour; the value assigned is not used.
  (void)newValue;
  impl_->state.bkColor = color;
  impl_->state.modified = true;
}

std::int32_t CTilvoCtrl::GetReadyState() const { return impl_->state.readyState; }

void CTilvoCtrl::SetObject(std::int16_t type, std::int32_t index) {
  impl_->state.artIndex = static_cast<std::uint32_t>(index);
  impl_->state.artType = type;
  impl_->state.mapCentre.reset();
  impl_->RequestRedraw();
}

bool CTilvoCtrl::SetMapCentre(std::int32_t facet, std::int32_t column, std::int32_t row) {
  const std::int64_t columns = facet == 0 ? kWideMapColumns : kMapColumns;
  if ((facet != 0 && facet != 2) || column < 0 || column >= columns || row < 0 || row >= kMapRows) return false;
  const auto block = static_cast<std::uint32_t>(column * kMapRows + row);
  impl_->state.artType = art_type::kMapPreview;
  impl_->state.artIndex = facet == 2 ? kFacet2Blocks + block : block;
  impl_->state.mapCentre = MapCentre{facet, block};
  impl_->RequestRedraw();
  return true;
}

void CTilvoCtrl::SetOffset(std::int32_t x, std::int32_t y) {
  impl_->state.xOffset = x;
  impl_->state.yOffset = y;
  impl_->RequestRedraw();
}

namespace {

// Scrolling wraps around like the 32-bit arithmetic of the interface.
std::int32_t Add(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

}  // namespace

std::int32_t CTilvoCtrl::yScroll(std::int32_t offset) {
  impl_->state.yOffset = Add(impl_->state.yOffset, offset);
  impl_->RequestRedraw();
  return impl_->state.yOffset;
}

std::int32_t CTilvoCtrl::xScroll(std::int32_t offset) {
  impl_->state.xOffset = Add(impl_->state.xOffset, offset);
  impl_->RequestRedraw();
  return impl_->state.xOffset;
}

void CTilvoCtrl::Scroll(std::int32_t x, std::int32_t y) {
  impl_->state.xOffset = Add(impl_->state.xOffset, x);
  impl_->state.yOffset = Add(impl_->state.yOffset, y);
  impl_->RequestRedraw();
}

void CTilvoCtrl::RemovePreviewItems() { impl_->previewItems.Clear(); }

void CTilvoCtrl::RemovePreviewItem(std::int16_t ID, std::int16_t x, std::int16_t y, std::int16_t z,
                                   std::int16_t color) {
  impl_->previewItems.RemoveFirst(MakePreviewItem(ID, x, y, z, color));
}

void CTilvoCtrl::RemovePreviewItemAt(std::int32_t index) { impl_->previewItems.RemoveAt(index); }

std::int32_t CTilvoCtrl::AddPreviewItem(std::int16_t ID, std::int16_t x, std::int16_t y, std::int16_t z,
                                        std::int16_t color) {
  return impl_->previewItems.Append(MakePreviewItem(ID, x, y, z, color));
}

std::int32_t CTilvoCtrl::AddHideStatic(std::int16_t ID, std::int32_t Block, std::int16_t x, std::int16_t y,
                                       std::int16_t z, std::int16_t color) {
  return impl_->hiddenStatics.Append(MakeHiddenStatic(ID, Block, x, y, z, color));
}

void CTilvoCtrl::RemoveHideStatics() { impl_->hiddenStatics.Clear(); }

void CTilvoCtrl::RemoveHideStaticAt(std::int32_t index) { impl_->hiddenStatics.RemoveAt(index); }

void CTilvoCtrl::RemoveHideStatic(std::int16_t ID, std::int32_t Block, std::int16_t x, std::int16_t y,
                                  std::int16_t z, std::int16_t color) {
  impl_->hiddenStatics.RemoveFirst(MakeHiddenStatic(ID, Block, x, y, z, color));
}

void CTilvoCtrl::RedrawControl() { impl_->RequestRedraw(); }

void CTilvoCtrl::SetMulPath(const std::string& pszNewPath) {
  impl_->data->files.SetMulPath(pszNewPath);
  // Another client's art is drawn with its own patches, hues and tile data.
  ReloadClientTables(*impl_->data);
  impl_->EmptyCaches();
}

std::string CTilvoCtrl::GetMulPath() const { return impl_->data->files.GetMulPath(); }

bool CTilvoCtrl::SetCustomMulFile(std::int16_t sFileIndex, const std::string& pszNewFilePath) {
  if (!impl_->data->files.SetCustomMulFile(sFileIndex, pszNewFilePath)) return false;
  if (IsTableSlot(sFileIndex)) ReloadClientTables(*impl_->data);
  impl_->EmptyCaches();
  return true;
}

std::string CTilvoCtrl::GetCustomMulPath(std::int16_t sFileIndex) const {
  return impl_->data->files.GetCustomMulPath(sFileIndex);
}

void CTilvoCtrl::OnDraw(const Rect& rcBounds) {
  Impl& c = *impl_;
  auto width = [](const Rect& r) { return std::int64_t{r.right} - r.left; };
  auto height = [](const Rect& r) { return std::int64_t{r.bottom} - r.top; };
  // A new size needs a new picture, even without a property change.
  if (!c.lastBounds || width(*c.lastBounds) != width(rcBounds) || height(*c.lastBounds) != height(rcBounds)) {
    c.RequestRedraw();
    c.lastBounds = rcBounds;
  }
  Paint(c.state, c.render, *c.data, rcBounds, c.site, {c.previewItems.Slots(), c.hiddenStatics.Slots()});
}

void CTilvoCtrl::OnAmbientPropertyChange(std::int32_t dispid) {
  (void)dispid;
  impl_->RequestRedraw();
}

void CTilvoCtrl::OnMouseDown(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) {
  impl_->site.MouseDown(Button, Shift, x, y);
}

void CTilvoCtrl::OnMouseMove(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) {
  impl_->site.MouseMove(Button, Shift, x, y);
}

void CTilvoCtrl::OnMouseUp(std::int16_t Button, std::int16_t Shift, std::int32_t x, std::int32_t y) {
  impl_->site.MouseUp(Button, Shift, x, y);
}

bool CTilvoCtrl::IsModified() const { return impl_->state.modified; }

void CTilvoCtrl::SetModifiedFlag(bool modified) { impl_->state.modified = modified; }

void CTilvoCtrl::SetArtCacheLimit(std::size_t bytes) { impl_->render.artCache.SetLimit(bytes); }

TileDataLayout CTilvoCtrl::GetTileDataLayout() const { return impl_->data->tileData.layout; }

std::optional<LandTileRecord> CTilvoCtrl::GetLandTileRecord(std::uint32_t id) const {
  return ReadLandTile(impl_->data->tileData, id);
}

std::optional<ItemTileRecord> CTilvoCtrl::GetItemTileRecord(std::uint32_t id) const {
  return ReadItemTile(impl_->data->tileData, id);
}

std::uint32_t CTilvoCtrl::GetHueCount() const {
  const std::size_t blocks = impl_->data->hues.blocks.size();
  // The last block is never applied, and hue numbers are 16-bit.
  return blocks < 2 ? 0 : static_cast<std::uint32_t>(std::min<std::size_t>(8 * blocks - 8, 0xFFFF));
}

std::optional<HueRecord> CTilvoCtrl::GetHueRecord(std::uint16_t hue) const {
  const HueEntry* entry = SelectHue(impl_->data->hues, hue);
  if (entry == nullptr) return std::nullopt;
  HueRecord record = ReadHueLabel(*entry);
  for (std::size_t i = 0; i < record.colors.size(); ++i) record.colors[i] = ToColorRef(entry->colors[i]);
  return record;
}

std::vector<std::uint32_t> CTilvoCtrl::GetHeldEntries(std::int16_t artType) {
  FileSession files(&impl_->render.containers);
  return HeldEntries(files, *impl_->data, artType);
}

const PixelBuffer& CTilvoCtrl::Picture() const { return impl_->render.pixels; }

const std::vector<std::optional<PreviewItem>>& CTilvoCtrl::PreviewItems() const {
  return impl_->previewItems.Slots();
}

const std::vector<std::optional<HiddenStatic>>& CTilvoCtrl::HiddenStatics() const {
  return impl_->hiddenStatics.Slots();
}

}  // namespace tilvo
