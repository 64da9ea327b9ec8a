// ReadLine over any bytes: no piece holds more than n - 1 characters, and the
// pieces put back together are the file's text (CR LF as LF, up to a Ctrl-Z)
// without its bytes 255. The scans' LineReader gives the same pieces, whole or
// cut at their first CR or zero byte, and its skipping never passes over a
// line that holds a mark byte.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "service/gamedata/line_reader.h"
#include "service/host/text_lines.h"
#include "service_fuzz.h"

namespace {

std::string Cut(const std::string& piece) { return piece.substr(0, std::min(piece.find('\r'), piece.find('\0'))); }

// The pieces as LineReader gives them, with one skip after `skip_at` lines
// (none when it is past the end): the lines skipped hold no mark, the rest are
// the pieces that follow them.
void CheckLineReader(const std::string& path, int n, const std::vector<std::string>& pieces, bool cut,
                     size_t skip_at) {
  constexpr std::string_view kMarks = "[Y";
  gamedata::LineReader reader(path, static_cast<size_t>(n), cut, kMarks);
  std::vector<std::string> expected;
  for (const std::string& piece : pieces) expected.push_back(cut ? Cut(piece) : piece);
  std::vector<std::string> got;
  for (std::string_view line;;) {
    if (got.size() == skip_at) reader.SkipToMarkedLine();
    if (!reader.Next(&line)) break;
    got.emplace_back(line);
  }
  if (skip_at > expected.size()) skip_at = expected.size();
  if (got.size() < skip_at || got.size() > expected.size()) __builtin_trap();
  const size_t resumed = expected.size() - (got.size() - skip_at);
  for (size_t i = 0; i < skip_at; ++i) {
    if (got[i] != expected[i]) __builtin_trap();
  }
  for (size_t i = skip_at; i < resumed; ++i) {
    if (expected[i].find_first_of(kMarks) != std::string::npos) __builtin_trap();
  }
  for (size_t i = resumed; i < expected.size(); ++i) {
    if (got[i - resumed + skip_at] != expected[i]) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  // Line sizes the service uses, and small ones that split every line.
  const int kSizes[] = {2, 3, 4, 7, 260, 512, 1024};
  const int n = kSizes[data[0] % std::size(kSizes)];
  const size_t skip_at = static_cast<size_t>(data[1]) | static_cast<size_t>(data[2]) << 8;
  const std::string_view raw(reinterpret_cast<const char*>(data) + 3, size - 3);
  const std::string path = (orvosvr_fuzz::Folder() / "lines.txt").string();
  orvosvr_fuzz::WriteFile(path, raw);

  std::vector<std::string> pieces;
  std::string joined;
  host::TextReader file(path);
  std::string line;
  for (int got; (got = host::ReadLine(file, line, n)) >= 0;) {
    if (got != static_cast<int>(line.size()) || got > n - 1) __builtin_trap();
    pieces.push_back(line);
    joined += line;
    // A piece shorter than the limit ended at a LF, or at the end of the text.
    if (got < n - 1) joined += '\n';
  }
  std::string text;
  for (char c : orvosvr_fuzz::TextOf(raw)) {
    if (c != '\xff') text += c;
  }
  // Only a last line without a LF gains one in the joining.
  const bool open_end = !text.empty() && text.back() != '\n';
  if (joined != text && !(open_end && joined == text + "\n")) __builtin_trap();

  const size_t kNoSkip = SIZE_MAX;
  CheckLineReader(path, n, pieces, false, kNoSkip);
  CheckLineReader(path, n, pieces, true, kNoSkip);
  CheckLineReader(path, n, pieces, data[0] & 0x80, skip_at);
  return 0;
}
