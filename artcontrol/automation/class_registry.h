#pragma once
// The per-user stand-in for the registry's class root (HKEY_CLASSES_ROOT) on
// a system without a registry: a text file of keys, each named by its path
// ("CLSID\{...}\InprocServer32") in a "[...]" line and followed by its values
// as "name=value" lines, the default value named "@". Key and value names
// compare without regard to case, as in the registry.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tilvo/identities.h"

namespace tilvo {

class ClassRegistry {
 public:
  // Reads the text form. Blank lines, comments (";" or "#") and value lines
  // outside a key are skipped; a key named twice gathers the values of both.
  static ClassRegistry Parse(std::string_view text);
  // The text form, every key with its values, in the order they were made.
  std::string Text() const;

  // Creates key if it is not there; false (nothing made) for a name the text form cannot hold.
  bool CreateKey(std::string_view key);
  // Sets a value of key, creating the key; false (nothing changed) for names or text the text form cannot hold.
  bool SetValue(std::string_view key, std::string_view name, std::string_view value);
  // A value of key, or none.
  std::optional<std::string> Value(std::string_view key, std::string_view name) const;
  // Whether key exists, named itself or holding keys below it.
  bool HasKey(std::string_view key) const;
  // Whether any key lies below key.
  bool HasSubkeys(std::string_view key) const;
  // Removes key and every key below it; whether anything went.
  bool DeleteTree(std::string_view key);

 private:
  struct Key {
    std::string path;
    std::vector<std::pair<std::string, std::string>> values;
  };
  Key* Find(std::string_view key);
  const Key* Find(std::string_view key) const;

  std::vector<Key> keys_;
};

// A class id written as the registry writes it ("{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}",
// either case) as a GUID; none for any other text.
std::optional<Guid> ParseGuid(std::string_view text);

}  // namespace tilvo
