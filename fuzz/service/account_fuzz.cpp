// FindAccount over account-file bytes, with a user name and password as a
// login packet leaves them (no zero byte, CR or LF). A login is granted only
// by a file that holds the user's section header and a "PASSWORD=" line with
// that password, bare or quoted; the two account paths lie in the folder that
// "gyrion.ini" names.

#include <cstdint>
#include <string>
#include <string_view>

#include "service/host/text_lines.h"
#include "service/protocol/login.h"
#include "service_fuzz.h"

namespace {

// The first `length` bytes of `input` (fewer when it is shorter), taken off
// it, up to a zero byte, CR or LF.
std::string TakeText(std::string_view* input, size_t length) {
  std::string_view taken = input->substr(0, length);
  input->remove_prefix(taken.size());
  return std::string(taken.substr(0, taken.find_first_of(std::string_view("\0\r\n", 3))));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  std::string_view input(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::string user = TakeText(&input, data[0] % 32);
  const std::string password = TakeText(&input, data[1] % 32);

  static const bool folder_made = [] {
    std::filesystem::create_directories(orvosvr_fuzz::Folder() / "accounts");
    orvosvr_fuzz::WriteFile(orvosvr_fuzz::Folder() / "gyrion.ini", "[GYRION]\r\nACCTFILES=accounts/\r\n");
    return true;
  }();
  (void)folder_made;
  orvosvr_fuzz::WriteFile(orvosvr_fuzz::Folder() / "accounts" / "gyrionaccu.scp", input);
  orvosvr_fuzz::InFolder here(orvosvr_fuzz::Folder());
  const int result = protocol::FindAccount(user, password);

  if (result < protocol::kAccountFileMissing || result > protocol::kWriteAccess) __builtin_trap();
  if (result == protocol::kAccountFileMissing) __builtin_trap();
  if (protocol::AccountReadPath() != "accounts/gyrionaccu.scp" ||
      protocol::AccountWritePath() != "accounts/gyrionacct.scp") {
    __builtin_trap();
  }
  if (result == protocol::kWriteAccess || result == protocol::kReadAccess) {
    // The file as its lines are read: text mode, without bytes 255.
    std::string as_read;
    for (char c : orvosvr_fuzz::TextOf(input)) {
      if (c != '\xff') as_read += c;
    }
    const std::string upper = host::Upper(as_read);
    if (upper.find("[" + host::Upper(user) + "]") == std::string::npos) __builtin_trap();
    // The key may be written in any case, the password only in its own.
    bool matched = false;
    for (const std::string& value : {password, "\"" + password + "\""}) {
      const std::string line = "PASSWORD=" + value;
      for (size_t at = 0; !matched && (at = upper.find(host::Upper(line), at)) != std::string::npos; ++at) {
        const size_t end = at + line.size();
        matched = (at == 0 || as_read[at - 1] == '\n') &&
                  (end == as_read.size() || as_read[end] == '\n' || as_read[end] == '\0') &&
                  as_read.compare(at + 9, value.size(), value) == 0;
      }
    }
    if (!matched) __builtin_trap();
  }
  return 0;
}
