// The text of a Windows profile (INI) file, as the profile-string calls read
// and change it: "[section]" headers, "key=value" lines, ";" comment lines.
// Section and key names match without regard to case; the first section and
// the first key of a name win.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "monitor/core/profile_strings.h"

namespace monitor {

// The value of `key` in `section` of `text`, with blanks around it and one
// pair of enclosing quotes removed; nothing when the section or key is absent.
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key);

// `text` with `key` in `section` set to `value`: the key's line is rewritten
// in place, or a new line ends the section, or a new section ends the text.
// Other lines keep their text; the line ends follow the text's own (CR LF
// when it has any, LF otherwise). A value stops at its first line end, which
// would otherwise start a line of its own.
std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value);

// The profile-string calls done over the file's text, where the system has
// none (Linux): values are cut to the buffer without splitting a UTF-8
// character, and a write replaces the file whole or not at all.
class TextProfileStrings final : public ProfileStrings {
 public:
  std::string Read(std::string_view section, std::string_view key, const std::string& file,
                   size_t buffer_size) const override;
  bool Write(std::string_view section, std::string_view key, std::string_view value,
             const std::string& file) override;
};

}  // namespace monitor
