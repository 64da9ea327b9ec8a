#include "tilvo/prop_page.h"

#include "artcontrol/automation/module_state.h"
#include "artcontrol/render/art_types.h"

namespace tilvo {
namespace {

using enum PageControlKind;

// Dialog 200: labels at the left of their controls, two columns.
constexpr PageField kFields[] = {
    {"Art Type", 7, 9, 202, kDropDownList, 40, 7, 72, 48, "ArtType"},
    {"Art Index", 7, 25, 203, kEditBox, 40, 23, 72, 12, "ArtIndex"},
    {"Color", 7, 41, 204, kEditBox, 39, 39, 72, 12, "ArtColor"},
    {"X Offset", 115, 25, 205, kEditBox, 146, 23, 72, 12, "xOffset"},
    {"Y Offset", 115, 41, 206, kEditBox, 146, 39, 72, 12, "yOffset"},
};
static_assert(std::size(kFields) == TilvoPropPageCore::kFieldCount);

}  // namespace

std::span<const PageField> PropPageFields() { return kFields; }

std::span<const std::string_view> ArtTypeNames() { return ArtTypePageNames(); }

TilvoPropPageCore::TilvoPropPageCore() {
  values_[0] = -1;  // no art type selected until the page reads the control
  LockModule();
}

TilvoPropPageCore::~TilvoPropPageCore() { UnlockModule(); }

void TilvoPropPageCore::SetValue(std::size_t field, std::int32_t value) {
  values_[field] = value;
  changed_[field] = true;
}

DispResult TilvoPropPageCore::ReadFrom(CTilvoCtrl& control) {
  std::array<std::int32_t, kFieldCount> read{};
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    Variant value;
    const DispResult r =
        control.Invoke(DispIdOfName(kFields[i].property), InvokeKind::kPropertyGet, {}, &value);
    if (r != DispResult::kOk) return r;
    read[i] = value.integer;
  }
  // Painting may have stored 9 or 10 (an NPC of the second or third set),
  // which no entry of the list names.
  const auto names = static_cast<std::int32_t>(ArtTypeNames().size());
  if (read[0] < 0 || read[0] >= names) read[0] = -1;
  values_ = read;
  changed_ = {};
  return DispResult::kOk;
}

DispResult TilvoPropPageCore::WriteTo(CTilvoCtrl& control) {
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    if (!changed_[i]) continue;
    const Variant value = Variant::I4(values_[i]);
    const DispResult r =
        control.Invoke(DispIdOfName(kFields[i].property), InvokeKind::kPropertyPut, {&value, 1});
    if (r != DispResult::kOk) return r;
    changed_[i] = false;
  }
  return DispResult::kOk;
}

}  // namespace tilvo
