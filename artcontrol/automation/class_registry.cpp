#include "artcontrol/automation/class_registry.h"

#include <algorithm>

namespace tilvo {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

// Whether key lies below parent ("A\B\C" is below "A\B" and "A", not below "A\Bx").
bool IsBelow(std::string_view key, std::string_view parent) {
  return key.size() > parent.size() + 1 && key[parent.size()] == '\\' &&
         SameName(key.substr(0, parent.size()), parent);
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

// Line ends would split an entry; a key name may hold no "]" and a value name
// no "=", or the text form would read back as something else. Neither may
// start or end in blanks, which reading trims.
bool FitsLine(std::string_view text) {
  return text.find_first_of("\r\n") == std::string_view::npos && Trim(text).size() == text.size();
}
bool ValidKeyName(std::string_view key) {
  return !key.empty() && FitsLine(key) && key.find(']') == std::string_view::npos && key.front() != '\\' &&
         key.back() != '\\';
}
bool ValidValueName(std::string_view name) {
  return !name.empty() && FitsLine(name) && name.find('=') == std::string_view::npos && name.front() != ';' &&
         name.front() != '#' && name.front() != '[';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = LowerAscii(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

ClassRegistry ClassRegistry::Parse(std::string_view text) {
  ClassRegistry registry;
  Key* current = nullptr;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      const std::string_view name = close == std::string_view::npos ? std::string_view() : Trim(line.substr(1, close - 1));
      current = nullptr;
      if (ValidKeyName(name)) {
        registry.CreateKey(name);
        current = registry.Find(name);
      }
      continue;
    }
    const std::size_t equals = line.find('=');
    if (current == nullptr || equals == std::string_view::npos) continue;
    const std::string_view name = Trim(line.substr(0, equals));
    if (!ValidValueName(name)) continue;
    const std::string_view value = Trim(line.substr(equals + 1));
    auto same = [name](const auto& v) { return SameName(v.first, name); };
    auto found = std::find_if(current->values.begin(), current->values.end(), same);
    if (found != current->values.end()) {
      found->second = std::string(value);
    } else {
      current->values.emplace_back(std::string(name), std::string(value));
    }
  }
  return registry;
}

std::string ClassRegistry::Text() const {
  std::string text;
  for (const Key& key : keys_) {
    if (!text.empty()) text += '\n';
    text += '[' + key.path + "]\n";
    for (const auto& [name, value] : key.values) text += name + '=' + value + '\n';
  }
  return text;
}

ClassRegistry::Key* ClassRegistry::Find(std::string_view key) {
  for (Key& k : keys_) {
    if (SameName(k.path, key)) return &k;
  }
  return nullptr;
}

const ClassRegistry::Key* ClassRegistry::Find(std::string_view key) const {
  for (const Key& k : keys_) {
    if (SameName(k.path, key)) return &k;
  }
  return nullptr;
}

bool ClassRegistry::CreateKey(std::string_view key) {
  if (!ValidKeyName(key)) return false;
  if (Find(key) == nullptr) keys_.push_back({std::string(key), {}});
  return true;
}

bool ClassRegistry::SetValue(std::string_view key, std::string_view name, std::string_view value) {
  if (!ValidValueName(name) || !FitsLine(value) || !CreateKey(key)) return false;
  Key* k = Find(key);
  for (auto& [n, v] : k->values) {
    if (SameName(n, name)) {
      v = std::string(value);
      return true;
    }
  }
  k->values.emplace_back(std::string(name), std::string(value));
  return true;
}

std::optional<std::string> ClassRegistry::Value(std::string_view key, std::string_view name) const {
  const Key* k = Find(key);
  if (k == nullptr) return std::nullopt;
  for (const auto& [n, v] : k->values) {
    if (SameName(n, name)) return v;
  }
  return std::nullopt;
}

bool ClassRegistry::HasKey(std::string_view key) const {
  return std::any_of(keys_.begin(), keys_.end(),
                     [key](const Key& k) { return SameName(k.path, key) || IsBelow(k.path, key); });
}

bool ClassRegistry::HasSubkeys(std::string_view key) const {
  return std::any_of(keys_.begin(), keys_.end(), [key](const Key& k) { return IsBelow(k.path, key); });
}

bool ClassRegistry::DeleteTree(std::string_view key) {
  const std::size_t before = keys_.size();
  std::erase_if(keys_, [key](const Key& k) { return SameName(k.path, key) || IsBelow(k.path, key); });
  return keys_.size() != before;
}

std::optional<Guid> ParseGuid(std::string_view text) {
  // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}: 38 characters, dashes at fixed places.
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return std::nullopt;
  const std::string_view body = text.substr(1, 36);
  std::uint8_t bytes[16] = {};
  std::size_t n = 0;
  for (std::size_t i = 0; i < body.size();) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (body[i] != '-') return std::nullopt;
      ++i;
      continue;
    }
    const int high = HexDigit(body[i]);
    const int low = HexDigit(body[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes[n++] = static_cast<std::uint8_t>(high * 16 + low);
    i += 2;
  }
  Guid guid{};
  guid.data1 = static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
               static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
  guid.data2 = static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5]);
  guid.data3 = static_cast<std::uint16_t>(bytes[6] << 8 | bytes[7]);
  std::copy(bytes + 8, bytes + 16, guid.data4);
  return guid;
}

}  // namespace tilvo
