// The readers of "orvosvr.cfg" and "gyrion.ini" over any bytes: every text
// they take stays within its line of 259 characters and holds no LF or zero
// byte, the ini's values no CR either, and the configuration's values no
// comment.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "service/host/config.h"
#include "service_fuzz.h"

namespace {

constexpr size_t kLineChars = 259;

void CheckText(const std::string& text, size_t limit, std::string_view forbidden) {
  if (text.size() > limit || text.find_first_of(forbidden) != std::string::npos) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const orvosvr_fuzz::Split split = orvosvr_fuzz::SplitInput(data, size);
  orvosvr_fuzz::WriteFile(orvosvr_fuzz::Folder() / "orvosvr.cfg", split.first);
  orvosvr_fuzz::WriteFile(orvosvr_fuzz::Folder() / "gyrion.ini", split.second);
  const std::string_view kLineEnds("\r\n\0", 3);
  // A lone CR is part of a configuration value; a LF never is.
  const std::string_view kCommented("\n\0#", 3);

  {
    orvosvr_fuzz::InFolder here(orvosvr_fuzz::Folder());
    host::ResetConfig();
    // It moves to GYRIONPATH, wherever that is.
    host::ReadServiceConfig();
  }
  const host::ServiceConfig& config = host::Config();
  for (const std::string* text : {&config.allowed_paths, &config.allowed_extensions, &config.allowed_hosts,
                                  &config.denied_hosts, &config.gyrion_path}) {
    CheckText(*text, kLineChars, kCommented);
  }

  orvosvr_fuzz::InFolder here(orvosvr_fuzz::Folder());
  host::ReadGameIni();
  CheckText(config.log_directory, kLineChars - 4, kLineEnds);
  for (const char* key : {"SCPFILES=", "WORLDSAVE=", "ACCTFILES="}) {
    for (bool need_value : {false, true}) {
      std::optional<std::string> value = host::FindIniValue(key, need_value);
      if (value) CheckText(*value, kLineChars - std::string_view(key).size(), kLineEnds);
      if (value && need_value && value->empty()) __builtin_trap();
    }
  }
  std::string folder;
  const int found = host::FindAccountFolder(&folder);
  CheckText(folder, kLineChars - 10, kLineEnds);
  if ((found == 1) != !folder.empty()) __builtin_trap();
  CheckText(host::ScriptsFolder(), kLineChars - 9, kLineEnds);
  return 0;
}
