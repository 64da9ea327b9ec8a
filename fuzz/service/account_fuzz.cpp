// FindAccount over account-file bytes, with a user name and password as a
// login packet leaves them (no zero byte, CR or LF). A login is granted only
// by a file that holds the user's section header, a line that is "PASSWORD="
// with that password, bare or quoted, and a line that begins with "PLEVEL=":
// keys count at the start of a line after its blanks, in any case, and only
// within its first 259 characters. The two account paths lie in the folder
// that "gyrion.ini" names.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "service/host/text_lines.h"
#include "service/gamedata/accounts.h"
#include "service_fuzz.h"

namespace {

// The first `length` bytes of `input` (fewer when it is shorter), taken off
// it, up to a zero byte, CR or LF.
std::string TakeText(std::string_view* input, size_t length) {
  std::string_view taken = input->substr(0, length);
  input->remove_prefix(taken.size());
  return std::string(taken.substr(0, taken.find_first_of(std::string_view("\0\r\n", 3))));
}

// The file as its lines are read: text mode, without bytes 255.
std::string AsRead(std::string_view raw) {
  std::string text;
  for (char c : orvosvr_fuzz::TextOf(raw)) {
    if (c != '\xff') text += c;
  }
  return text;
}

// What counts of each line: its first 259 characters up to a zero byte,
// after its leading blanks.
std::vector<std::string_view> KeptLines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (size_t start = 0; start <= text.size();) {
    size_t end = std::min(text.find('\n', start), text.size());
    std::string_view line = text.substr(start, std::min<size_t>(end - start, 259));
    line = line.substr(0, line.find('\0'));
    line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  std::string_view input(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::string user = TakeText(&input, data[0] % 32);
  const std::string password_sent = TakeText(&input, data[1] % 32);

  static const bool folder_made = [] {
    std::filesystem::create_directories(orvosvr_fuzz::Folder() / "accounts");
    orvosvr_fuzz::WriteFile(orvosvr_fuzz::Folder() / "gyrion.ini", "[GYRION]\r\nACCTFILES=accounts/\r\n");
    return true;
  }();
  (void)folder_made;
  orvosvr_fuzz::WriteFile(orvosvr_fuzz::Folder() / "accounts" / "gyrionaccu.scp", input);
  orvosvr_fuzz::InFolder here(orvosvr_fuzz::Folder());
  const gamedata::FoundAccount found = gamedata::FindAccount(user, password_sent);
  using gamedata::LoginResult;
  const LoginResult result = found.result;

  if (result < LoginResult::kAccountFileMissing || result > LoginResult::kWriteAccess) __builtin_trap();
  if (result == LoginResult::kAccountFileMissing) __builtin_trap();
  if (found.read_path != "accounts/gyrionaccu.scp" || found.write_path != "accounts/gyrionacct.scp") __builtin_trap();
  if (result == LoginResult::kWriteAccess || result == LoginResult::kReadAccess) {
    const std::string text = AsRead(input);
    if (host::Upper(text).find("[" + host::Upper(user) + "]") == std::string::npos) __builtin_trap();
    bool password = false;
    bool level = false;
    for (std::string_view line : KeptLines(text)) {
      password |= host::StartsWithNoCase(line, "PASSWORD=") &&
                  (line.substr(9) == password_sent || line.substr(9) == "\"" + password_sent + "\"");
      level |= host::StartsWithNoCase(line, "PLEVEL=");
    }
    if (!password || !level) __builtin_trap();
  }
  return 0;
}
