#include "tools/orvo/tests/json_check.h"

namespace orvo::testing {

namespace {

class Parser {
 public:
  explicit Parser(std::string_view s) : s_(s) {}

  bool Document(JsonValue* v) {
    if (!Value(v)) return false;
    Blanks();
    return pos_ == s_.size();
  }

 private:
  void Blanks() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\n' || s_[pos_] == '\t' || s_[pos_] == '\r')) ++pos_;
  }
  bool Eat(char c) {
    Blanks();
    if (pos_ >= s_.size() || s_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  bool Word(std::string_view w) {
    if (s_.substr(pos_, w.size()) != w) return false;
    pos_ += w.size();
    return true;
  }
  static void PutUtf8(unsigned cp, std::string* out) {
    if (cp < 0x80) {
      *out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      *out += static_cast<char>(0xC0 | (cp >> 6));
      *out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      *out += static_cast<char>(0xE0 | (cp >> 12));
      *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      *out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  bool String(std::string* out) {
    if (!Eat('"')) return false;
    while (pos_ < s_.size() && s_[pos_] != '"') {
      unsigned char c = static_cast<unsigned char>(s_[pos_++]);
      if (c < 0x20) return false;
      if (c != '\\') {
        *out += static_cast<char>(c);
        continue;
      }
      if (pos_ >= s_.size()) return false;
      char e = s_[pos_++];
      static const std::string_view kFrom = "\"\\/bfnrt", kTo = "\"\\/\b\f\n\r\t";
      if (size_t at = kFrom.find(e); at != std::string_view::npos) {
        *out += kTo[at];
      } else if (e == 'u' && pos_ + 4 <= s_.size()) {
        PutUtf8(static_cast<unsigned>(std::stoul(std::string(s_.substr(pos_, 4)), nullptr, 16)), out);
        pos_ += 4;
      } else {
        return false;
      }
    }
    return Eat('"');
  }
  bool Value(JsonValue* v) {
    Blanks();
    if (pos_ >= s_.size()) return false;
    char c = s_[pos_];
    if (c == '"') {
      v->kind = JsonValue::Kind::kString;
      return String(&v->text);
    }
    if (c == '[' || c == '{') {
      bool object = c == '{';
      v->kind = object ? JsonValue::Kind::kObject : JsonValue::Kind::kArray;
      ++pos_;
      if (Eat(object ? '}' : ']')) return true;
      do {
        JsonValue item;
        std::string key;
        if (object && (!String(&key) || !Eat(':'))) return false;
        if (!Value(&item)) return false;
        if (object) {
          v->members[key] = item;
        } else {
          v->items.push_back(item);
        }
      } while (Eat(','));
      return Eat(object ? '}' : ']');
    }
    if (Word("true") || Word("false")) {
      v->kind = JsonValue::Kind::kBool;
      v->boolean = s_[pos_ - 1] == 'e' && s_[pos_ - 2] == 'u';
      return true;
    }
    if (Word("null")) return true;
    size_t start = pos_;
    if (pos_ < s_.size() && s_[pos_] == '-') ++pos_;
    while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') ++pos_;
    if (pos_ == start || s_[pos_ - 1] == '-') return false;
    v->kind = JsonValue::Kind::kNumber;
    v->number = std::stoll(std::string(s_.substr(start, pos_ - start)));
    return true;
  }

  std::string_view s_;
  size_t pos_ = 0;
};

}  // namespace

const JsonValue& JsonValue::operator[](const std::string& key) const {
  static const JsonValue kNone;
  auto found = members.find(key);
  return found == members.end() ? kNone : found->second;
}

bool ParseJson(std::string_view text, JsonValue* value) { return Parser(text).Document(value); }

}  // namespace orvo::testing
