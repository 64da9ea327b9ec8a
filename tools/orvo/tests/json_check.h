// For tests: reads JSON back strictly, so that a test sees both that orvo's
// output is valid JSON and what it holds.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace orvo::testing {

struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = Kind::kNull;
  bool boolean = false;
  long long number = 0;  // integers are all orvo writes
  std::string text;      // a string, UTF-8
  std::vector<JsonValue> items;
  std::map<std::string, JsonValue> members;

  // A member of an object; a null value when there is none.
  const JsonValue& operator[](const std::string& key) const;
};

// Parses one JSON document with nothing but blanks after it; false when it is
// not valid JSON.
bool ParseJson(std::string_view text, JsonValue* value);

}  // namespace orvo::testing
