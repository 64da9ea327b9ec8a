// orvo's --json output: a small writer that puts commas and quotes where
// they belong. Names from the service are bytes, not always UTF-8: a byte that
// does not start a valid UTF-8 sequence is written as the character of the
// same number (0xE9 becomes "\u00e9"), so the output is always valid JSON.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvo {

// `text` as a JSON string, quotes included.
std::string JsonString(std::string_view text);

// Builds one JSON document, compact, on one line.
class JsonWriter {
 public:
  JsonWriter& BeginObject() { return Open('{'); }
  JsonWriter& EndObject() { return Close('}'); }
  JsonWriter& BeginArray() { return Open('['); }
  JsonWriter& EndArray() { return Close(']'); }
  // The key of the next member of the object being written.
  JsonWriter& Key(std::string_view key);
  // The next value: in an array, or for the key just written.
  JsonWriter& String(std::string_view value);
  JsonWriter& Number(long long value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();
  // The document so far, with a line end once it is complete.
  std::string Text() const { return text_ + (depth_.empty() ? "\n" : ""); }

 private:
  JsonWriter& Open(char bracket);
  JsonWriter& Close(char bracket);
  // Puts the comma that separates this value from the one before, if any.
  void BeforeValue();

  std::string text_;
  std::vector<bool> depth_;  // per open bracket: whether it holds a value yet
  bool after_key_ = false;
};

}  // namespace orvo
