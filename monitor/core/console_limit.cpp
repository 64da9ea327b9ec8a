#include "monitor/core/console_limit.h"

namespace monitor {
namespace {

constexpr size_t kMaxConsoleKb = 1048576;  // a gigabyte of text

}  // namespace

size_t ConsoleLimit(std::string_view kb_text) {
  size_t kb = 0;
  // Seven digits hold every accepted number; more would only overflow.
  if (kb_text.empty() || kb_text.size() > 7) return kDefaultConsoleKb * 1024;
  for (char c : kb_text) {
    if (c < '0' || c > '9') return kDefaultConsoleKb * 1024;
    kb = kb * 10 + static_cast<size_t>(c - '0');
  }
  if (kb < 1 || kb > kMaxConsoleKb) return kDefaultConsoleKb * 1024;
  return kb * 1024;
}

size_t ConsoleCut(std::string_view text, size_t keep) {
  if (text.size() <= keep) return 0;
  const size_t least = text.size() - keep;  // bytes that must go
  const size_t line_end = text.find('\n', least - 1);
  if (line_end != std::string_view::npos) return line_end + 1;
  size_t cut = least;
  while (cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) ++cut;
  return cut;
}

}  // namespace monitor
