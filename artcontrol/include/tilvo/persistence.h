#pragma once
// Persistence of the control's property set: the version (1.0) and the three
// persisted properties "ArtType", "ArtIndex" and "ArtColor", all default 0,
// through a property bag that the host supplies. Nothing else is saved:
// offsets, drawing flags, background colour, paths and lists start from their
// initial values in every new control.

#include <cstdint>
#include <utility>
#include <vector>
#include <string>
#include <string_view>

#include "tilvo/tilvo.h"

namespace tilvo {

// Where the host keeps named values.
class PropertyBag {
 public:
  virtual ~PropertyBag() = default;
  // The value saved under name as type: false when there is none or it is no value of that type.
  virtual bool Read(std::string_view name, ArgType type, Variant& value) = 0;
  // Saves value under name, replacing an earlier one; false when the bag cannot take it.
  virtual bool Write(std::string_view name, const Variant& value) = 0;
};

// The name and value of the property set's version: major 1, minor 0, as (major << 16) | minor.
inline constexpr std::string_view kVersionPropertyName = "_Version";
inline constexpr std::int32_t kPropertySetVersion = 0x00010000;

// Saves the version, then ArtType, ArtIndex and ArtColor, and clears the
// control's modified flag: 0, or -1 (the flag kept) when the bag refuses a value.
int SaveProperties(CTilvoCtrl& control, PropertyBag& bag);
// Loads the three properties, asking for a new picture, and clears the
// modified flag; a property that is missing or unreadable takes its default.
// A saved set of another version loads the same way (version 1.0 is the only
// one there has been).
void LoadProperties(CTilvoCtrl& control, PropertyBag& bag);
// Gives the three properties their defaults, as loading an empty bag does.
void ResetProperties(CTilvoCtrl& control);

// A property bag kept as a plain text file: one "name=value" line per value,
// numbers in decimal, booleans as -1 and 0, text with "\\", "\n" and "\r"
// written as backslash escapes. Lines starting with "#" or ";" are comments.
class TextFilePropertyBag : public PropertyBag {
 public:
  // Result of LoadFile and SaveFile.
  enum Result : int {
    kOk = 0,
    kCannotRead = -1,   // the file is missing, unreadable or larger than a property file can be
    kCannotWrite = -2,  // the file could not be written
  };

  bool Read(std::string_view name, ArgType type, Variant& value) override;
  bool Write(std::string_view name, const Variant& value) override;

  // Replaces the bag's values with the file's: kOk or kCannotRead (the bag then unchanged).
  Result LoadFile(const std::string& path);
  // Writes every value to the file, replacing it whole: kOk or kCannotWrite.
  Result SaveFile(const std::string& path) const;

  // The values as the file holds them, in the order first written; ParseText
  // replaces the values with those of text.
  std::string Text() const;
  void ParseText(std::string_view text);

 private:
  // The value texts, unescaped, in the order they were first written.
  std::vector<std::pair<std::string, std::string>> values_;
};

}  // namespace tilvo
