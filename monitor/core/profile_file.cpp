#include "monitor/core/profile_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
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

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return text;
}

// Writes beside the file and renames over it, so a failed write never leaves
// half a settings file behind.
bool ReplaceFile(const std::string& path, std::string_view text) {
  const std::string temp = path + ".new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      std::filesystem::remove(temp, ignored);
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temp, path, error);
  if (error) std::filesystem::remove(temp, error);
  return !error;
}

// Cuts `value` to `length` bytes without splitting a UTF-8 sequence.
void CutWhole(std::string& value, size_t length) {
  if (value.size() <= length) return;
  size_t end = length;
  while (end > 0 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) --end;
  value.resize(end);
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

std::string TextProfileStrings::Read(std::string_view section, std::string_view key,
                                     const std::string& file, size_t buffer_size) const {
  const std::optional<std::string> text = ReadWholeFile(file);
  if (!text || buffer_size == 0) return {};
  std::string value = FindProfileValue(*text, section, key).value_or(std::string());
  CutWhole(value, buffer_size - 1);
  return value;
}

bool TextProfileStrings::Write(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& file) {
  const std::string text = ReadWholeFile(file).value_or(std::string());
  return ReplaceFile(file, SetProfileValue(text, section, key, value));
}

}  // namespace monitor
