#include "artcontrol/platform/registry_posix.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include "artcontrol/platform/file_access.h"

namespace tilvo::platform {
namespace {

// The client's reader queries into 260 bytes, the terminating zero included.
constexpr std::size_t kValueBufferSize = 260;
// Registry files beyond this are not read (a real system.reg is a few MiB).
constexpr std::size_t kMaxRegistryFileBytes = 64u << 20;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

bool Exists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::lstat(path.c_str(), &info) == 0;
}

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Registry names compare without regard to (ASCII) case.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = LowerAscii(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// --- registry.ini ----------------------------------------------------------

// valueName of section keyPath: kNoKey without that section, kNoValue when
// the section has no such key.
RegistryRead ReadIniValue(std::string_view text, std::string_view keyPath, std::string_view valueName,
                          std::string& value) {
  bool inSection = false;
  bool sectionSeen = false;
  for (std::string_view line : Lines(text)) {
    line = Trim(line);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      if (sectionSeen && inSection) break;  // the first section of that name wins
      const std::size_t close = line.rfind(']');
      inSection = close != std::string_view::npos && SameName(Trim(line.substr(1, close - 1)), keyPath);
      sectionSeen = sectionSeen || inSection;
      continue;
    }
    if (!inSection) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || !SameName(Trim(line.substr(0, equals)), valueName)) continue;
    std::string_view data = Trim(line.substr(equals + 1));
    if (data.size() >= 2 && data.front() == '"' && data.back() == '"') data = data.substr(1, data.size() - 2);
    value = std::string(data);
    return RegistryRead::kRead;
  }
  return sectionSeen ? RegistryRead::kNoValue : RegistryRead::kNoKey;
}

// --- Wine's system.reg -------------------------------------------------------

// Unescapes a quoted Wine string starting after its opening quote; none when it does not close.
std::optional<std::string> UnescapeWineString(std::string_view text, std::size_t& end) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      end = i + 1;
      return out;
    }
    if (c != '\\' || i + 1 == text.size()) {
      out += c;
      continue;
    }
    const char next = text[++i];
    if (next == 'n') {
      out += '\n';
    } else if (next == 'r') {
      out += '\r';
    } else if (next == 't') {
      out += '\t';
    } else if (next == '0') {
      out += '\0';
    } else if (next == 'x') {
      std::uint32_t code = 0;
      int digits = 0;
      while (digits < 4 && i + 1 < text.size() && HexDigit(text[i + 1]) >= 0) {
        code = code * 16 + static_cast<std::uint32_t>(HexDigit(text[++i]));
        ++digits;
      }
      AppendUtf8(out, code);
    } else {
      out += next;
    }
  }
  return std::nullopt;
}

// The key name of a "[...] timestamp" line, unescaped; none for other lines.
std::optional<std::string> WineKeyName(std::string_view line) {
  if (line.empty() || line.front() != '[') return std::nullopt;
  std::string name;
  for (std::size_t i = 1; i < line.size(); ++i) {
    if (line[i] == ']') return name;
    if (line[i] == '\\' && i + 1 < line.size()) ++i;
    name += line[i];
  }
  return std::nullopt;
}

// Decodes "hex:..." or "hex(N):..." bytes; the string types (1, 2, 7) are UTF-16LE.
std::string DecodeWineHex(std::string_view kind, std::string_view digits) {
  std::vector<std::uint8_t> bytes;
  int high = -1;
  for (char c : digits) {
    const int d = HexDigit(c);
    if (d < 0) continue;
    if (high < 0) {
      high = d;
    } else {
      bytes.push_back(static_cast<std::uint8_t>(high * 16 + d));
      high = -1;
    }
  }
  std::string out;
  const bool utf16 = kind == "hex(1)" || kind == "hex(2)" || kind == "hex(7)";
  if (utf16) {
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
      const auto unit = static_cast<std::uint32_t>(bytes[i] | (bytes[i + 1] << 8));
      if (unit == 0) break;
      AppendUtf8(out, unit);
    }
  } else {
    for (std::uint8_t b : bytes) {
      if (b == 0) break;
      out += static_cast<char>(b);
    }
  }
  return out;
}

// The data of one value line (after the '='), as the text the client would read.
std::optional<std::string> WineValueData(std::string_view data) {
  if (data.rfind("str(", 0) == 0) {
    const std::size_t colon = data.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    data.remove_prefix(colon + 1);
  }
  if (!data.empty() && data.front() == '"') {
    std::size_t end = 0;
    std::optional<std::string> text = UnescapeWineString(data.substr(1), end);
    if (text) text->resize(text->find('\0') == std::string::npos ? text->size() : text->find('\0'));
    return text;
  }
  const std::size_t colon = data.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::string_view kind = data.substr(0, colon);
  if (kind.rfind("hex", 0) == 0) return DecodeWineHex(kind, data.substr(colon + 1));
  if (kind == "dword") {
    std::string out;
    std::uint32_t number = static_cast<std::uint32_t>(std::strtoul(std::string(data.substr(colon + 1)).c_str(), nullptr, 16));
    for (int i = 0; i < 4 && (number & 0xFF) != 0; ++i, number >>= 8) out += static_cast<char>(number & 0xFF);
    return out;
  }
  return std::nullopt;
}

// valueName of one key of system.reg (keys there are relative to HKEY_LOCAL_MACHINE).
RegistryRead ReadWineValue(const std::vector<std::string_view>& lines, std::string_view keyPath,
                           std::string_view valueName, std::string& value) {
  bool inKey = false;
  bool keySeen = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = Trim(lines[i]);
    if (const std::optional<std::string> name = WineKeyName(line)) {
      if (keySeen && inKey) break;
      inKey = SameName(*name, keyPath);
      keySeen = keySeen || inKey;
      continue;
    }
    if (!inKey || line.empty() || line.front() != '"') continue;
    std::size_t end = 0;
    const std::optional<std::string> name = UnescapeWineString(line.substr(1), end);
    if (!name || !SameName(*name, valueName)) continue;
    std::string_view rest = Trim(line.substr(1 + end));
    if (rest.empty() || rest.front() != '=') continue;
    // Hex data runs on over lines that end in a backslash.
    std::string data(Trim(rest.substr(1)));
    while (!data.empty() && data.back() == '\\' && i + 1 < lines.size()) {
      data.pop_back();
      data += Trim(lines[++i]);
    }
    const std::optional<std::string> text = WineValueData(data);
    if (!text) return RegistryRead::kNoValue;
    value = *text;
    return RegistryRead::kRead;
  }
  return keySeen ? RegistryRead::kNoValue : RegistryRead::kNoKey;
}

// The host folder behind a drive's dosdevices link ("c:" -> "../drive_c").
std::optional<std::string> DriveFolder(const std::string& winePrefix, char driveLetter) {
  const std::string dosdevices = winePrefix + "/dosdevices";
  const std::string link = dosdevices + "/" + LowerAscii(driveLetter) + ":";
  struct stat info {};
  if (::lstat(link.c_str(), &info) != 0) return std::nullopt;
  if (!S_ISLNK(info.st_mode)) return link;
  std::vector<char> target(PATH_MAX + 1);
  const ssize_t length = ::readlink(link.c_str(), target.data(), target.size() - 1);
  if (length <= 0) return std::nullopt;
  std::filesystem::path folder(std::string(target.data(), static_cast<std::size_t>(length)));
  // Wine's own links are relative ("../drive_c"); dosdevices is a real folder
  // of the prefix, so undoing it by name is safe.
  if (folder.is_relative()) folder = (std::filesystem::path(dosdevices) / folder).lexically_normal();
  std::string text = folder.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

// The Windows path as a host path in the prefix; none for a path without a drive letter.
std::optional<std::string> HostPathOf(const std::string& winePrefix, std::string_view windowsPath) {
  if (windowsPath.size() < 3 || windowsPath[1] != ':' || (windowsPath[2] != '\\' && windowsPath[2] != '/')) {
    return std::nullopt;
  }
  const char letter = LowerAscii(windowsPath[0]);
  if (letter < 'a' || letter > 'z') return std::nullopt;
  std::optional<std::string> folder = DriveFolder(winePrefix, letter);
  if (!folder) return std::nullopt;
  std::string path = *folder;
  for (char c : windowsPath.substr(2)) path += (c == '\\') ? '/' : c;
  return path;
}

// The key as 32-bit programs see it on a 64-bit prefix, or empty for a key outside SOFTWARE.
std::string Wow6432NodeCopy(std::string_view keyPath) {
  constexpr std::string_view kSoftware = "SOFTWARE\\";
  if (keyPath.size() < kSoftware.size() || !SameName(keyPath.substr(0, kSoftware.size()), kSoftware)) return {};
  return std::string(keyPath.substr(0, kSoftware.size())) + "Wow6432Node\\" +
         std::string(keyPath.substr(kSoftware.size()));
}

RegistryRead ReadFromWinePrefix(const std::string& winePrefix, std::string_view keyPath, std::string_view valueName,
                                std::string& value) {
  std::vector<std::uint8_t> bytes;
  if (winePrefix.empty() || !ReadWholeFile(winePrefix + "/system.reg", kMaxRegistryFileBytes, bytes)) {
    return RegistryRead::kNoKey;
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const std::vector<std::string_view> lines = Lines(text);
  // The key counts as present when either copy is; the native copy is read first.
  std::string windowsPath;
  RegistryRead result = ReadWineValue(lines, keyPath, valueName, windowsPath);
  if (result == RegistryRead::kNoKey) {
    const std::string copy = Wow6432NodeCopy(keyPath);
    if (!copy.empty()) result = ReadWineValue(lines, copy, valueName, windowsPath);
  }
  if (result != RegistryRead::kRead) return result;
  if (windowsPath.size() + 1 > kValueBufferSize) return RegistryRead::kNoValue;
  const std::optional<std::string> hostPath = HostPathOf(winePrefix, windowsPath);
  if (!hostPath) return RegistryRead::kNoValue;
  value = *hostPath;
  return RegistryRead::kRead;
}

}  // namespace

RegistryPlaces RegistryPlacesFromEnvironment() {
  RegistryPlaces places;
  const std::string home = Environment("HOME");
  std::string config = Environment("XDG_CONFIG_HOME");
  // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG rules say.
  if (!config.empty() && config.front() != '/') config.clear();
  if (config.empty() && !home.empty()) config = home + "/.config";
  if (!config.empty()) places.registryFile = config + "/tilvo/registry.ini";
  places.winePrefix = Environment("WINEPREFIX");
  if (places.winePrefix.empty() && !home.empty()) places.winePrefix = home + "/.wine";
  return places;
}

RegistryRead ReadClientRegistryValue(const RegistryPlaces& places, std::string_view keyPath,
                                     std::string_view valueName, std::string& result) {
  if (!Exists(places.registryFile)) return ReadFromWinePrefix(places.winePrefix, keyPath, valueName, result);
  std::vector<std::uint8_t> bytes;
  if (!ReadWholeFile(places.registryFile, kMaxRegistryFileBytes, bytes)) return RegistryRead::kNoKey;
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  std::string value;
  const RegistryRead read = ReadIniValue(text, keyPath, valueName, value);
  if (read != RegistryRead::kRead) return read;
  if (value.size() + 1 > kValueBufferSize) return RegistryRead::kNoValue;
  result = value;
  return RegistryRead::kRead;
}

RegistryRead ReadClientRegistryValue(std::string_view keyPath, std::string_view valueName, std::string& value) {
  return ReadClientRegistryValue(RegistryPlacesFromEnvironment(), keyPath, valueName, value);
}

}  // namespace tilvo::platform
