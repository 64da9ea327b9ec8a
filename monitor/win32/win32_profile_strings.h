// The profile-string calls of Windows, GetPrivateProfileStringA and
// WritePrivateProfileStringA, for "Configuration.ini".
#pragma once

#include "monitor/core/profile_strings.h"

namespace monitor {

// Values travel in the ANSI code page, as the calls store them, and are
// UTF-8 in the monitor.
class Win32ProfileStrings final : public ProfileStrings {
 public:
  std::string Read(std::string_view section, std::string_view key, const std::string& file,
                   size_t buffer_size) const override;
  bool Write(std::string_view section, std::string_view key, std::string_view value,
             const std::string& file) override;
};

}  // namespace monitor
