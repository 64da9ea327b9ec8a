#pragma once
// The property page `CTilvoPropPage` without a toolkit: its dialog template
// (dialog 200, caption "General", the five labels and controls in dialog
// units), the art type names of its drop-down list, and the page's own copies
// of the five properties with their exchange with the control. A toolkit
// draws the template and moves the copies to and from its controls.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "tilvo/tilvo.h"

namespace tilvo {

// The page's dialog: resource id, size in dialog units, caption and font.
inline constexpr std::int32_t kPropPageDialogId = 200;
inline constexpr std::int32_t kPropPageWidth = 250;
inline constexpr std::int32_t kPropPageHeight = 62;
inline constexpr std::string_view kPropPageFontName = "MS Sans Serif";
inline constexpr std::int32_t kPropPageFontPoints = 8;

// How a control shows its property.
enum class PageControlKind : std::uint8_t {
  kDropDownList,  // not sorted, vertical scroll; the property is the selected position
  kEditBox,       // bordered, scrolls horizontally as text is typed; the property is an integer
};

// One label and the control beside it; positions and sizes in dialog units.
struct PageField {
  std::string_view label;
  std::int32_t labelX, labelY;
  std::int32_t id;
  PageControlKind kind;
  std::int32_t x, y, cx, cy;
  std::string_view property;  // exchanged by this name through the dispatch entry
};

// The five fields in the dialog's order: "Art Type", "Art Index", "Color", "X Offset", "Y Offset".
std::span<const PageField> PropPageFields();
// The drop-down list's entries, the named rows of the art type table: a name's position is its ArtType value.
std::span<const std::string_view> ArtTypeNames();

// What the page exchanges its copies with: the properties of one or more
// controls, by name, through their dispatch interface.
class PropertyAccess {
 public:
  virtual ~PropertyAccess() = default;
  // Reads property name as an integer: kOk with value, or the dispatch interface's refusal.
  virtual DispResult Get(std::string_view name, std::int32_t& value) = 0;
  // Writes value to property name: kOk, or the dispatch interface's refusal.
  virtual DispResult Put(std::string_view name, std::int32_t value) = 0;
};

// A field's text as the page reads a number from an edit box: a whole number
// in decimal, with an optional sign and blanks around it, that fits 32 bits.
// False for any other text.
bool ParsePageNumber(std::string_view text, std::int32_t& value);
// What the page tells the user when an edit box holds no such number, and when the control refuses a value.
inline constexpr std::string_view kNotANumberText = "Please enter an integer.";
inline constexpr std::string_view kRefusedValueText = "Invalid property value.";

// The page's side of the exchange: one copy per field, in the order of
// PropPageFields(), starting as selection -1 (none) and numbers 0. Only the
// copies that the user changed since the last read are written back.
class TilvoPropPageCore {
 public:
  static constexpr std::size_t kFieldCount = 5;

  // Each page counts as a live object of the module while it exists.
  TilvoPropPageCore();
  ~TilvoPropPageCore();
  TilvoPropPageCore(const TilvoPropPageCore&) = delete;
  TilvoPropPageCore& operator=(const TilvoPropPageCore&) = delete;

  // The copy of field i (the drop-down's selection for ArtType, -1 for none).
  std::int32_t Value(std::size_t field) const { return values_[field]; }
  // The user changed field i to value; it will be written back.
  void SetValue(std::size_t field, std::int32_t value);
  // Whether field i changed since the last read.
  bool IsChanged(std::size_t field) const { return changed_[field]; }

  // Reads every property from the control by name. An ArtType without a name
  // in the list (9, 10 or out of range) reads as selection -1. kOk, or the
  // first refusal of the dispatch entry (the copies are then unchanged).
  DispResult ReadFrom(PropertyAccess& control);
  DispResult ReadFrom(CTilvoCtrl& control);
  // Writes each changed copy to the control by name, in field order, and
  // clears its mark. kOk, or the first refusal (kOverflow for a colour that is
  // no 16-bit number): the fields before it are written, it and the rest stay
  // marked.
  DispResult WriteTo(PropertyAccess& control);
  DispResult WriteTo(CTilvoCtrl& control);

 private:
  std::array<std::int32_t, kFieldCount> values_{};
  std::array<bool, kFieldCount> changed_{};
};

}  // namespace tilvo
