#include "tilvo/persistence.h"

#include <charconv>
#include <limits>
#include <vector>

#include "artcontrol/platform/file_access.h"
#include "artcontrol/platform/file_store.h"

namespace tilvo {
namespace {

// The persisted properties in the order they are saved, with their defaults.
struct PersistedProperty {
  std::string_view name;
  std::int32_t dispid;
  ArgType type;
  std::int32_t defaultValue;
};

constexpr PersistedProperty kPersisted[] = {
    {"ArtType", dispid::kArtType, ArgType::kI2, 0},
    {"ArtIndex", dispid::kArtIndex, ArgType::kI4, 0},
    {"ArtColor", dispid::kArtColor, ArgType::kI2, 0},
};

// A property file is a few lines; anything far larger is not one.
constexpr std::size_t kMaxPropertyFileBytes = 1u << 20;

void Put(CTilvoCtrl& control, const PersistedProperty& p, std::int32_t value) {
  const Variant v = p.type == ArgType::kI2 ? Variant::I2(static_cast<std::int16_t>(value)) : Variant::I4(value);
  (void)control.Invoke(p.dispid, InvokeKind::kPropertyPut, {&v, 1});
}

std::string Escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += c;
    }
  }
  return out;
}

std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char next = text[++i];
    out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
  }
  return out;
}

// A whole decimal number within [low, high].
bool ParseInteger(std::string_view text, std::int64_t low, std::int64_t high, std::int64_t& value) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && !text.empty() && value >= low && value <= high;
}

// A name must come back as the same name: no "=", no line end, no blanks around it, no comment mark first.
bool ValidName(std::string_view name) {
  return !name.empty() && name.find_first_of("=\r\n") == std::string_view::npos && name.front() != '#' &&
         name.front() != ';' && name.front() != ' ' && name.front() != '\t' && name.back() != ' ' &&
         name.back() != '\t';
}

using Values = std::vector<std::pair<std::string, std::string>>;

const std::string* Find(const Values& values, std::string_view name) {
  for (const auto& [n, v] : values) {
    if (n == name) return &v;
  }
  return nullptr;
}

// A name written again keeps its place and takes the new value.
void Set(Values& values, std::string_view name, std::string value) {
  for (auto& [n, v] : values) {
    if (n == name) {
      v = std::move(value);
      return;
    }
  }
  values.emplace_back(std::string(name), std::move(value));
}

}  // namespace

int SaveProperties(CTilvoCtrl& control, PropertyBag& bag) {
  if (!bag.Write(kVersionPropertyName, Variant::I4(kPropertySetVersion))) return -1;
  for (const PersistedProperty& p : kPersisted) {
    Variant value;
    if (control.Invoke(p.dispid, InvokeKind::kPropertyGet, {}, &value) != DispResult::kOk) return -1;
    if (!bag.Write(p.name, value)) return -1;
  }
  control.SetModifiedFlag(false);
  return 0;
}

void LoadProperties(CTilvoCtrl& control, PropertyBag& bag) {
  for (const PersistedProperty& p : kPersisted) {
    Variant value;
    Put(control, p, bag.Read(p.name, p.type, value) ? value.integer : p.defaultValue);
  }
  control.SetModifiedFlag(false);
}

void ResetProperties(CTilvoCtrl& control) {
  for (const PersistedProperty& p : kPersisted) Put(control, p, p.defaultValue);
}

bool TextFilePropertyBag::Read(std::string_view name, ArgType type, Variant& value) {
  const std::string* found = Find(values_, name);
  if (found == nullptr) return false;
  const std::string& text = *found;
  if (type == ArgType::kText) {
    value = Variant::Text(text);
    return true;
  }
  if (type == ArgType::kNone) return false;
  const bool narrow = type == ArgType::kI2;
  const std::int64_t low = narrow ? std::numeric_limits<std::int16_t>::min() : std::numeric_limits<std::int32_t>::min();
  const std::int64_t high = narrow ? std::numeric_limits<std::int16_t>::max() : std::numeric_limits<std::int32_t>::max();
  std::int64_t number = 0;
  if (!ParseInteger(text, low, high, number)) return false;
  if (type == ArgType::kBool) {
    value = Variant::Bool(number != 0);
  } else {
    value = {type, static_cast<std::int32_t>(number), false, {}};
  }
  return true;
}

bool TextFilePropertyBag::Write(std::string_view name, const Variant& value) {
  if (!ValidName(name)) return false;
  std::string text;
  switch (value.type) {
    case ArgType::kI2:
    case ArgType::kI4:
      text = std::to_string(value.integer);
      break;
    case ArgType::kBool:
      text = value.boolean ? "-1" : "0";
      break;
    case ArgType::kText:
      text = value.text;
      break;
    case ArgType::kNone:
      return false;
  }
  Set(values_, name, std::move(text));
  return true;
}

std::string TextFilePropertyBag::Text() const {
  std::string text;
  for (const auto& [name, value] : values_) text += name + '=' + Escape(value) + '\n';
  return text;
}

void TextFilePropertyBag::ParseText(std::string_view text) {
  values_.clear();
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t equals = line.find('=');
    if (line.empty() || line.front() == '#' || line.front() == ';' || equals == std::string_view::npos) continue;
    const std::string_view name = line.substr(0, equals);
    if (!ValidName(name)) continue;
    Set(values_, name, Unescape(line.substr(equals + 1)));
  }
}

TextFilePropertyBag::Result TextFilePropertyBag::LoadFile(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  if (!platform::ReadWholeFile(path, kMaxPropertyFileBytes, bytes)) return kCannotRead;
  ParseText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  return kOk;
}

TextFilePropertyBag::Result TextFilePropertyBag::SaveFile(const std::string& path) const {
  return platform::WriteFileReplacing(path, Text()) ? kOk : kCannotWrite;
}

}  // namespace tilvo
