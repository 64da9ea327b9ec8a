#include "tools/orvo/replies.h"

#include <array>

#include "tools/orvo/results.h"

namespace orvo {

namespace {

struct ReplyRow {
  std::string_view text;
  bool whole;  // the reply is exactly `text`; otherwise `text` begins it
  int result;
};

constexpr std::array<ReplyRow, 4> kLoginReplies{{
    {kLoginSuccessful, true, kOk},
    {wire::kLoginBadCredentials, true, kBadCredentials},
    {wire::kLoginInsufficientLevel, true, kInsufficientLevel},
    {wire::kLoginAccountFileMissing, true, kAccountFileMissing},
}};

// Replies that take the place of what an exchange expects. The file name in
// the last three follows the fixed beginning.
constexpr std::array<ReplyRow, 5> kFailureReplies{{
    {wire::kNoPrivilege, true, kRefused},
    {wire::kCommandUnknownPrefix, false, kUnknownCommand},
    {wire::kCannotOpenPrefix, false, kFailedReply},     // fetch
    {wire::kStoreFailedPrefix, false, kFailedReply},    // store
    {wire::kUnableToOpenPrefix, false, kFailedReply},   // resource list
}};

template <size_t N>
int Lookup(const std::array<ReplyRow, N>& table, std::string_view reply) {
  for (const ReplyRow& row : table) {
    if (row.whole ? reply == row.text : reply.starts_with(row.text)) return row.result;
  }
  return kProtocolError;
}

}  // namespace

int LoginReplyResult(std::string_view reply) { return Lookup(kLoginReplies, reply); }

int FailureReplyResult(std::string_view reply) { return Lookup(kFailureReplies, reply); }

bool ParseDecimal(std::string_view text, bool allow_sign, long long* value) {
  bool negative = allow_sign && text.starts_with('-');
  if (negative) text.remove_prefix(1);
  if (text.empty() || text.size() > 18) return false;
  long long v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  *value = negative ? -v : v;
  return true;
}

bool ParseHex(std::string_view text, uint32_t* value) {
  if (text.empty() || text.size() > 8) return false;
  uint32_t v = 0;
  for (char c : text) {
    uint32_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint32_t>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<uint32_t>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<uint32_t>(c - 'A' + 10);
    } else {
      return false;
    }
    v = (v << 4) | digit;
  }
  *value = v;
  return true;
}

std::string EscapedBytes(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (char c : bytes) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (u < 0x20 || u == 0x7F) {
      out += "\\x";
      out.push_back(kHex[u >> 4]);
      out.push_back(kHex[u & 0xF]);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string PrintableText(std::string_view reply) {
  if (reply.ends_with("\r\n")) reply.remove_suffix(2);
  return EscapedBytes(reply);
}

}  // namespace orvo
