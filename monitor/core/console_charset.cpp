#include "monitor/core/console_charset.h"

namespace monitor {
namespace {

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

// The length of the UTF-8 sequence that starts with `lead`, 0 when `lead`
// cannot start one.
size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 0;
}

}  // namespace

std::string ConsoleDecoder::Decode(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (char c : bytes) {
    const unsigned char b = Byte(c);
    const bool pair_of_cr = after_cr_ && c == '\n';
    after_cr_ = c == '\r';
    if (pair_of_cr) continue;
    if (c == '\r' || c == '\n') {
      text += '\n';
    } else if (b < 0x80) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | (b >> 6));
      text += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return text;
}

std::string TextToConsoleBytes(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = Byte(text[i]);
    size_t length = SequenceLength(lead);
    bool whole = length != 0 && i + length <= text.size();
    for (size_t k = 1; whole && k < length; ++k) whole = (Byte(text[i + k]) & 0xC0) == 0x80;
    if (!whole) {
      bytes += '?';
      ++i;
      continue;
    }
    if (length == 1) {
      bytes += text[i];
    } else if (length == 2 && lead >= 0xC2 && lead <= 0xC3) {
      bytes += static_cast<char>(((lead & 0x1F) << 6) | (Byte(text[i + 1]) & 0x3F));
    } else {
      bytes += '?';
    }
    i += length;
  }
  return bytes;
}

std::string ConsoleTextToLogBytes(std::string_view text) {
  const std::string bytes = TextToConsoleBytes(text);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 32);
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) out += '\r';
    out += bytes[i];
  }
  return out;
}

}  // namespace monitor
