#include "monitor/core/profile_strings.h"

#include <cctype>

namespace monitor {
namespace {

// The profile-string call reads into 750 characters, one of them the
// terminating zero.
constexpr size_t kValueBuffer = 750;

std::string CaseMapped(std::string_view text, int (*map)(int)) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(map(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::string SettingsFilePath(const std::string& folder) { return folder + "Configuration.ini"; }

std::string ReadIniValue(const ProfileStrings& profile, std::string_view section,
                         std::string_view key, const std::string& file) {
  return profile.Read(section, CaseMapped(key, std::tolower), file, kValueBuffer);
}

void WriteIniValue(ProfileStrings& profile, std::string_view section, std::string_view key,
                   std::string_view value, const std::string& file) {
  profile.Write(section, CaseMapped(key, std::toupper), value, file);
}

}  // namespace monitor
