#include "monitor/core/mod_local.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "monitor/core/profile_file.h"

namespace monitor {
namespace {

// The profile-string call reads into 750 characters, one of them the
// terminating zero.
constexpr size_t kMaxValueLength = 749;

std::string JoinPath(const std::string& folder, std::string_view name) {
  return (std::filesystem::path(folder) / name).string();
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

// Cuts `value` to the value buffer's size without splitting a UTF-8 sequence.
void CutToValueBuffer(std::string& value) {
  if (value.size() <= kMaxValueLength) return;
  size_t end = kMaxValueLength;
  while (end > 0 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) --end;
  value.resize(end);
}

std::string TwoDigits(int n) {
  std::string s = std::to_string(n);
  return s.size() < 2 ? "0" + s : s;
}

// The record keeps CR LF line ends whatever the console box hands over.
std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

}  // namespace

std::string SettingsFilePath(const std::string& folder) {
  return JoinPath(folder, "Configuration.ini");
}

std::string ReadIniValue(std::string_view section, std::string_view key, const std::string& file) {
  std::string lower(key);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::optional<std::string> text = ReadWholeFile(file);
  if (!text) return {};
  std::string value = FindProfileValue(*text, section, lower).value_or(std::string());
  CutToValueBuffer(value);
  return value;
}

void WriteIniValue(std::string_view section, std::string_view key, std::string_view value,
                   const std::string& file) {
  std::string upper(key);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const std::string text = ReadWholeFile(file).value_or(std::string());
  ReplaceFile(file, SetProfileValue(text, section, upper, value));
}

std::string ConsoleLogName(const LocalStamp& now) {
  return "GX-" + std::to_string(now.year) + "-" + TwoDigits(now.month) + "-" +
         TwoDigits(now.day) + ".log";
}

bool SaveConsoleLog(const std::string& folder, const LocalStamp& now,
                    std::string_view console_text) {
  std::ofstream out(JoinPath(folder, ConsoleLogName(now)), std::ios::binary | std::ios::app);
  if (!out) return false;
  const std::string record = "[ " + now.short_date + " " + now.short_time + " ]\r\n" +
                             WithCrLf(console_text) + "\r\n\r\n";
  out.write(record.data(), static_cast<std::streamsize>(record.size()));
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace monitor
