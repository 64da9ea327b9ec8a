#include "render_run.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "batch_export.h"
#include "picture_file.h"
#include "tilvo/headless_site.h"
#include "tilvo/tilvo.h"

namespace tilvo::render_tool {

namespace {

constexpr int kBadArgument = 2;
constexpr int kWriteFailed = 1;

// Sets one property through the dispatch entry.
bool Put(CTilvoCtrl& ctrl, std::int32_t dispid, std::vector<Variant> args) {
  return ctrl.Invoke(dispid, InvokeKind::kPropertyPut, args) == DispResult::kOk;
}

bool Call(CTilvoCtrl& ctrl, std::int32_t dispid, std::vector<Variant> args, Variant* result = nullptr) {
  return ctrl.Invoke(dispid, InvokeKind::kMethod, args, result) == DispResult::kOk;
}

// Reads one property through the dispatch entry.
std::int32_t Get(CTilvoCtrl& ctrl, std::int32_t dispid, std::vector<Variant> args = {}) {
  Variant v;
  ctrl.Invoke(dispid, InvokeKind::kPropertyGet, args, &v);
  return v.integer;
}

// Applies the property options in their fixed order.
bool SetProperties(CTilvoCtrl& ctrl, const RenderOptions& o) {
  bool ok = true;
  if (o.type) ok = ok && Put(ctrl, dispid::kArtType, {Variant::I2(*o.type)});
  if (o.index) ok = ok && Put(ctrl, dispid::kArtIndex, {Variant::I4(*o.index)});
  if (o.color) ok = ok && Put(ctrl, dispid::kArtColor, {Variant::I2(*o.color)});
  if (o.flags) ok = ok && Put(ctrl, dispid::kDrawFlags, {Variant::I2(*o.flags)});
  if (o.xoffset) ok = ok && Put(ctrl, dispid::kxOffset, {Variant::I4(*o.xoffset)});
  if (o.yoffset) ok = ok && Put(ctrl, dispid::kyOffset, {Variant::I4(*o.yoffset)});
  return ok && Put(ctrl, dispid::kBkColor, {Variant::I4(o.bkcolor), Variant::I4(o.bkcolor)});
}

bool FillLists(CTilvoCtrl& ctrl, const RenderOptions& o) {
  for (const ListEntry& entry : o.lists) {
    const std::vector<std::int32_t>& f = entry.fields;
    auto i2 = [&f](std::size_t i) { return Variant::I2(static_cast<std::int16_t>(f[i])); };
    bool ok = entry.hidden
                  ? Call(ctrl, dispid::kAddHideStatic, {i2(0), Variant::I4(f[1]), i2(2), i2(3), i2(4), i2(5)})
                  : Call(ctrl, dispid::kAddPreviewItem, {i2(0), i2(1), i2(2), i2(3), i2(4)});
    if (!ok) return false;
  }
  return true;
}

void PrintProperties(CTilvoCtrl& ctrl, std::ostream& out) {
  auto u16 = [](std::int32_t v) { return static_cast<std::uint16_t>(v); };
  auto u32 = [](std::int32_t v) { return static_cast<std::uint32_t>(v); };
  out << "ArtType=" << static_cast<std::int16_t>(Get(ctrl, dispid::kArtType)) << "\n"
      << "ArtIndex=" << u32(Get(ctrl, dispid::kArtIndex)) << "\n"
      << "ArtColor=" << u16(Get(ctrl, dispid::kArtColor)) << "\n"
      << "DrawFlags=" << u16(Get(ctrl, dispid::kDrawFlags)) << "\n"
      << "xOffset=" << Get(ctrl, dispid::kxOffset) << "\n"
      << "yOffset=" << Get(ctrl, dispid::kyOffset) << "\n"
      << "BkColor=" << Get(ctrl, dispid::kBkColor, {Variant::I4(0)}) << "\n"
      << "ReadyState=" << u32(Get(ctrl, dispid::kReadyState)) << "\n";
}

// Progress lines of a long export: one every this many entries.
constexpr std::size_t kProgressStep = 4096;

int RunBatch(CTilvoCtrl& ctrl, const RenderOptions& options, std::ostream& out, std::string& error,
             std::ostream* progress) {
  const ArtKind& kind = *FindArtKind(options.type.value_or(0));
  std::vector<std::uint32_t> ids = ctrl.GetHeldEntries(kind.type);
  if (options.rangeFirst) {
    std::erase_if(ids, [&](std::uint32_t id) { return id < *options.rangeFirst || id > *options.rangeLast; });
  }
  std::error_code code;
  std::filesystem::create_directories(options.outDir, code);
  if (code) {
    error = "--out-dir: cannot create " + options.outDir + ": " + code.message();
    return kWriteFailed;
  }
  std::optional<std::uint32_t> background;
  if (options.bkcolorGiven) {
    background = options.bkcolor == -1 ? HeadlessSite::kButtonFace : static_cast<std::uint32_t>(options.bkcolor);
  }
  const ExportResult result = ExportEntries(
      ctrl, kind, ids, options.color.value_or(0), background, options.outDir, [&](std::size_t done, std::size_t total) {
        if (progress && done > 0 && (done % kProgressStep == 0 || done == total)) {
          *progress << "tilvo-render: " << done << " of " << total << " entries\n";
        }
        return true;
      });
  if (!result.error.empty()) {
    error = result.error;
    return kWriteFailed;
  }
  out << "wrote " << result.written << " files to " << options.outDir << " (" << result.empty
      << " entries drew nothing)\n";
  return 0;
}

}  // namespace

int RunRender(const RenderOptions& options, std::ostream& out, std::string& error, std::ostream* progress) {
  HeadlessSite site;
  std::unique_ptr<CTilvoCtrl> ctrl = options.client ? std::make_unique<CTilvoCtrl>(site, *options.client)
                                                    : std::make_unique<CTilvoCtrl>(site);
  for (const CustomFile& file : options.files) {
    Variant accepted;
    if (!Call(*ctrl, dispid::kSetCustomMulFile, {Variant::I2(file.slot), Variant::Text(file.path)}, &accepted) ||
        !accepted.boolean) {
      error = "--file: slot " + std::to_string(file.slot) + " is refused";
      return kBadArgument;
    }
  }
  if (options.Batch()) return RunBatch(*ctrl, options, out, error, progress);
  if (!SetProperties(*ctrl, options) || !FillLists(*ctrl, options)) {
    error = "the control refused a property";
    return kBadArgument;
  }
  const std::vector<std::int32_t>& centre = options.mapCentre;
  if (!centre.empty() && !ctrl->SetMapCentre(centre[0], centre[1], centre[2])) {
    error = "--map-centre: facet " + std::to_string(centre[0]) + " has no block " + std::to_string(centre[1]) + "," +
            std::to_string(centre[2]);
    return kBadArgument;
  }
  const Rect bounds{0, 0, options.width, options.height};
  for (std::int32_t i = 0; i < options.paints; ++i) {
    if (i > 0) Call(*ctrl, dispid::kRedrawControl, {});
    ctrl->OnDraw(bounds);
  }
  if (options.print) PrintProperties(*ctrl, out);
  if (!options.out.empty() && !WritePicture(ctrl->Picture(), options.out, error)) return kWriteFailed;
  return 0;
}

}  // namespace tilvo::render_tool
