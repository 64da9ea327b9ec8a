// The profile-strings seam: the settings file "Configuration.ini" is read and
// written only through the platform's profile-string calls, which each front
// end supplies, with the monitor's conventions for its keys.
//
// Folders and file paths are in the system's own narrow encoding (the bytes
// of a Linux path, the ANSI code page on Windows), and a folder ends in the
// platform's separator (the front end adds it); setting values are UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace monitor {

// The platform's profile-string calls ("Configuration.ini" is a Windows
// profile file: "[section]" headers and "key=value" lines).
class ProfileStrings {
 public:
  virtual ~ProfileStrings() = default;
  // What the read call puts into a buffer of `buffer_size` characters for
  // `key` in `section` of `file`: at most buffer_size - 1 characters, empty
  // when the file, the section or the key is missing.
  virtual std::string Read(std::string_view section, std::string_view key,
                           const std::string& file, size_t buffer_size) const = 0;
  // Stores `value` under `key` in `section` of `file`, creating the file
  // when needed. Returns false when the file could not be written.
  virtual bool Write(std::string_view section, std::string_view key, std::string_view value,
                     const std::string& file) = 0;
};

// The settings file "Configuration.ini" in `folder`.
std::string SettingsFilePath(const std::string& folder);

// The value of `key` (looked up in lower case) in `section` of the profile
// file `file`, read into a buffer of 750 characters: at most 749 of them,
// empty when the file, section or key is missing.
std::string ReadIniValue(const ProfileStrings& profile, std::string_view section,
                         std::string_view key, const std::string& file);

// Stores `value` under `key` (written in upper case) in `section` of `file`.
// Failures are ignored.
void WriteIniValue(ProfileStrings& profile, std::string_view section, std::string_view key,
                   std::string_view value, const std::string& file);

}  // namespace monitor
