#include "service/gamedata/accounts.h"

#include <optional>
#include <string_view>

#include "service/host/config.h"
#include "service/host/log.h"
#include "service/host/text_lines.h"
#include "service/platform/fs.h"

namespace gamedata {

namespace {

constexpr int kLineSize = 260;

// The game server's staff scale, by value.
constexpr std::string_view kPrivilegeLevels[] = {"GUEST", "PLAYER", "COUNSEL", "SEER", "GM", "DEV", "ADMIN", "OWNER"};

// Reads one line of the account file, keeping at most 259 characters: the
// rest of a longer line is dropped, so that it never passes for a line of its
// own. Returns what ReadLine returns for the kept part.
int ReadAccountLine(host::TextReader& file, std::string& line) {
  int n = host::ReadLine(file, line, kLineSize);
  if (n == kLineSize - 1) {
    std::string tail;
    while (host::ReadLine(file, tail, kLineSize) == kLineSize - 1) {
    }
  }
  host::CutAtNul(line);
  return n;
}

// The value of `key` (which ends in "=") when the line, after its leading
// blanks, begins with it; nothing otherwise.
std::optional<std::string_view> KeyValue(std::string_view line, std::string_view key) {
  size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos) return std::nullopt;
  line.remove_prefix(start);
  if (!host::StartsWithNoCase(line, key)) return std::nullopt;
  return line.substr(key.size());
}

int LevelOf(const std::string& value) {
  int index = host::FindInTable(value, kPrivilegeLevels, std::size(kPrivilegeLevels));
  return index >= 0 ? index : static_cast<int>(host::ParseDecimal(value));
}

// Looks the user up in an account file that is open.
LoginResult CheckAccount(host::TextReader& file, const std::string& user, const std::string& password) {
  const std::string header = "[" + host::Upper(user) + "]";
  const std::string quoted = "\"" + password + "\"";
  bool password_matched = false;
  bool level_sufficient = false;
  bool writes_allowed = false;

  std::string line;
  bool in_section = false;
  while (!in_section) {
    if (ReadAccountLine(file, line) < 0) return LoginResult::kBadCredentials;
    if (line.empty()) continue;
    in_section = host::Upper(line).find(header) != std::string::npos;
  }
  // The section runs to an empty line, the end of the file, or the next header.
  bool password_seen = false;
  while (ReadAccountLine(file, line) >= 1) {
    // Only the first password of a section counts.
    if (std::optional<std::string_view> value = KeyValue(line, "PASSWORD="); value && !password_seen) {
      password_seen = true;
      password_matched = *value == password || *value == quoted;
    }
    if (std::optional<std::string_view> value = KeyValue(line, "PLEVEL=")) {
      int level = LevelOf(host::Upper(value->substr(0, 19)));
      level_sufficient = level >= 4 && level <= 7;
      writes_allowed = level >= 5 && level <= 7;
    }
    if (!line.empty() && line[0] == '[') break;
  }
  if (!password_matched) return LoginResult::kBadCredentials;
  if (!level_sufficient) return LoginResult::kInsufficientLevel;
  return writes_allowed ? LoginResult::kWriteAccess : LoginResult::kReadAccess;
}

}  // namespace

FoundAccount FindAccount(const std::string& user, const std::string& password) {
  FoundAccount found;
  std::string folder;
  int located = host::FindAccountFolder(&folder);
  if (located < 0) {
    host::WriteLog("Unable to open INI file to determine the location of the account file.\n");
    return found;
  }
  if (located == 0) {
    host::WriteLog("Unable to determine the location of the account file.  Account path is \"%s\"\n",
                   host::Upper(folder).c_str());
    return found;
  }
  const std::string native = platform::NativePath(folder);
  found.read_path = host::JoinFolder(native, kAccountReadFile);
  found.write_path = host::JoinFolder(native, kAccountWriteFile);
  host::TextReader file(found.read_path);
  if (!file.Ok()) {
    host::WriteLog("Unable to determine the location of the account file.  Account path is \"%s\"\n",
                   host::Upper(folder).c_str());
    return found;
  }
  found.result = CheckAccount(file, user, password);
  return found;
}

}  // namespace gamedata
