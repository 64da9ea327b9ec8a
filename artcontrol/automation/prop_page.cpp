#include "tilvo/prop_page.h"

#include <charconv>

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

// The control itself, reached through its dispatch entry.
class ControlAccess final : public PropertyAccess {
 public:
  explicit ControlAccess(CTilvoCtrl& control) : control_(control) {}
  DispResult Get(std::string_view name, std::int32_t& value) override {
    Variant v;
    const DispResult r = control_.Invoke(DispIdOfName(name), InvokeKind::kPropertyGet, {}, &v);
    if (r == DispResult::kOk) value = v.integer;
    return r;
  }
  DispResult Put(std::string_view name, std::int32_t value) override {
    const Variant v = Variant::I4(value);
    return control_.Invoke(DispIdOfName(name), InvokeKind::kPropertyPut, {&v, 1});
  }

 private:
  CTilvoCtrl& control_;
};

}  // namespace

bool ParsePageNumber(std::string_view text, std::int32_t& value) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int32_t parsed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
  value = parsed;
  return true;
}

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
  ControlAccess access(control);
  return ReadFrom(access);
}

DispResult TilvoPropPageCore::WriteTo(CTilvoCtrl& control) {
  ControlAccess access(control);
  return WriteTo(access);
}

DispResult TilvoPropPageCore::ReadFrom(PropertyAccess& control) {
  std::array<std::int32_t, kFieldCount> read{};
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const DispResult r = control.Get(kFields[i].property, read[i]);
    if (r != DispResult::kOk) return r;
  }
  // Painting may have stored 9 or 10 (an NPC of the second or third set),
  // which no entry of the list names.
  const auto names = static_cast<std::int32_t>(ArtTypeNames().size());
  if (read[0] < 0 || read[0] >= names) read[0] = -1;
  values_ = read;
  changed_ = {};
  return DispResult::kOk;
}

DispResult TilvoPropPageCore::WriteTo(PropertyAccess& control) {
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    if (!changed_[i]) continue;
    const DispResult r = control.Put(kFields[i].property, values_[i]);
    if (r != DispResult::kOk) return r;
    changed_[i] = false;
  }
  return DispResult::kOk;
}

}  // namespace tilvo
