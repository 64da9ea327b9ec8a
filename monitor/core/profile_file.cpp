#include "monitor/core/profile_file.h"

#include <vector>

namespace monitor {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(kBlanks);
  return s.substr(first, last - first + 1);
}

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

// One line of the file, classified once.
struct ProfileLine {
  std::string_view raw;      // the line without its line end
  bool is_section = false;   // "[name]"
  bool is_key = false;       // "name=value" or a bare name
  std::string_view name;     // section or key name, trimmed
  std::string_view value;    // key value, trimmed, quotes still on
};

ProfileLine Classify(std::string_view raw) {
  ProfileLine line;
  line.raw = raw;
  const std::string_view body = Trim(raw);
  if (body.empty() || body.front() == ';') return line;
  if (body.front() == '[') {
    line.is_section = true;
    const auto close = body.find(']');
    line.name = Trim(body.substr(1, close == std::string_view::npos ? body.npos : close - 1));
    return line;
  }
  line.is_key = true;
  const auto eq = body.find('=');
  if (eq == std::string_view::npos) {
    line.name = body;
  } else {
    line.name = Trim(body.substr(0, eq));
    line.value = Trim(body.substr(eq + 1));
  }
  return line;
}

std::vector<ProfileLine> SplitLines(std::string_view text) {
  std::vector<ProfileLine> lines;
  while (!text.empty()) {
    auto end = text.find('\n');
    std::string_view raw = text.substr(0, end);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    lines.push_back(Classify(raw));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key) {
  bool in_section = false;
  bool seen_section = false;
  for (const ProfileLine& line : SplitLines(text)) {
    if (line.is_section) {
      // Only the first section of the name is searched.
      if (seen_section) return std::nullopt;
      in_section = SameNoCase(line.name, section);
      seen_section = in_section;
    } else if (in_section && line.is_key && SameNoCase(line.name, key)) {
      return std::string(Unquote(line.value));
    }
  }
  return std::nullopt;
}

std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
  value = value.substr(0, value.find_first_of("\r\n"));
  const std::string_view eol = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
  const std::string key_line = std::string(key) + "=" + std::string(value);
  const std::vector<ProfileLine> lines = SplitLines(text);

  // Where the new line goes: over the key's own line, or after the last
  // non-blank line of the section.
  size_t replace_at = lines.size();
  size_t insert_after = lines.size();
  bool found_section = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].is_section) {
      if (found_section) break;
      if (SameNoCase(lines[i].name, section)) {
        found_section = true;
        insert_after = i;
      }
    } else if (found_section) {
      if (lines[i].is_key && SameNoCase(lines[i].name, key)) {
        replace_at = i;
        break;
      }
      if (!Trim(lines[i].raw).empty()) insert_after = i;
    }
  }

  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    out += i == replace_at ? std::string_view(key_line) : lines[i].raw;
    out += eol;
    if (found_section && replace_at == lines.size() && i == insert_after) {
      out += key_line;
      out += eol;
    }
  }
  if (!found_section) {
    if (!out.empty()) out += eol;
    out += "[";
    out += section;
    out += "]";
    out += eol;
    out += key_line;
    out += eol;
  }
  return out;
}

}  // namespace monitor
