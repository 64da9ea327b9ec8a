#include "service/gamedata/line_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "service/host/text_lines.h"
#include "service/tests/temp_game_folder.h"

namespace gamedata {
namespace {

class LineReaderTest : public testing_support::TempGameFolder {};

struct Piece {
  std::string whole;  // as ReadLine stores it
  std::string cut;    // up to its first CR or zero byte
};

std::vector<Piece> ReadLinePieces(const std::string& path, int size) {
  std::vector<Piece> pieces;
  host::TextReader in(path);
  std::string line;
  while (host::ReadLine(in, line, size) >= 0) {
    std::string cut = line.substr(0, std::min(line.find('\r'), line.find('\0')));
    pieces.push_back({line, cut});
  }
  return pieces;
}

std::string RandomText(std::mt19937& random, size_t size) {
  const std::string alphabet = std::string("ab[Y=\r\n\n\n\n\xff\x1a", 12) + std::string(1, '\0');
  std::string text;
  for (size_t i = 0; i < size; ++i) {
    char c = alphabet[random() % alphabet.size()];
    // Ctrl-Z ends the text: keep it rare so that most of a file is read.
    if (c == '\x1a' && random() % 200 != 0) c = 'q';
    // Now and then a long run without a line end.
    if (random() % 500 == 0) text += std::string(random() % 700, 'r');
    text += c;
  }
  return text;
}

// Every line comes as ReadLine gives it, over any bytes and across buffer fills.
TEST_F(LineReaderTest, PiecesAreThoseOfReadLine) {
  std::mt19937 random(3);
  for (int round = 0; round < 12; ++round) {
    size_t size = round == 0 ? (1u << 20) + random() % 300000 : random() % 20000;
    Write("t.txt", RandomText(random, size));
    for (int line_size : {2, 5, 260, 8192}) {
      for (bool cut : {false, true}) {
        SCOPED_TRACE(testing::Message() << "round " << round << " size " << line_size << " cut " << cut);
        std::vector<Piece> expected = ReadLinePieces("t.txt", line_size);
        LineReader reader("t.txt", static_cast<size_t>(line_size), cut);
        ASSERT_TRUE(reader.Ok());
        size_t i = 0;
        for (std::string_view line; reader.Next(&line); ++i) {
          ASSERT_LT(i, expected.size());
          ASSERT_EQ(line, cut ? expected[i].cut : expected[i].whole) << i;
        }
        EXPECT_EQ(i, expected.size());
      }
    }
  }
}

// Skipping leaves ReadLine's lines in order, only fewer of them, and never
// passes over a line that holds a mark byte.
TEST_F(LineReaderTest, SkippingPassesOnlyOverUnmarkedLines) {
  auto marked = [](std::string_view line) { return line.find_first_of("[Y") != std::string_view::npos; };
  std::mt19937 random(5);
  for (int round = 0; round < 12; ++round) {
    size_t size = round == 0 ? (1u << 20) + random() % 300000 : random() % 20000;
    Write("t.txt", RandomText(random, size));
    for (int line_size : {5, 260}) {
      for (bool cut : {false, true}) {
        SCOPED_TRACE(testing::Message() << "round " << round << " size " << line_size << " cut " << cut);
        std::vector<std::string> expected;
        size_t expected_marked = 0;
        for (const Piece& p : ReadLinePieces("t.txt", line_size)) {
          expected.push_back(cut ? p.cut : p.whole);
          if (marked(p.whole)) ++expected_marked;
        }
        LineReader reader("t.txt", static_cast<size_t>(line_size), cut, "[Y");
        size_t i = 0;
        size_t got_marked = 0;
        for (std::string_view line;;) {
          if (random() % 2 == 0) reader.SkipToMarkedLine();
          if (!reader.Next(&line)) break;
          while (i < expected.size() && expected[i] != line) ++i;
          ASSERT_LT(i, expected.size()) << "not one of ReadLine's lines, in order: " << line;
          ++i;
          if (marked(line)) ++got_marked;
        }
        if (!cut) {
          EXPECT_EQ(got_marked, expected_marked);
        }
      }
    }
  }
}

TEST_F(LineReaderTest, MissingFileReadsNothing) {
  LineReader reader("missing.txt", 260, true, "[");
  EXPECT_FALSE(reader.Ok());
  reader.SkipToMarkedLine();
  std::string_view line;
  EXPECT_FALSE(reader.Next(&line));
}

}  // namespace
}  // namespace gamedata
