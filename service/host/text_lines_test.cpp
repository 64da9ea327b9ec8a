#include "service/host/text_lines.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace host {
namespace {

class TempFile {
 public:
  explicit TempFile(const std::string& bytes) {
    path_ = (std::filesystem::temp_directory_path() /
             ("text_lines_test_" + std::to_string(counter_++) + "_" + std::to_string(::getpid())))
                .string();
    std::ofstream(path_, std::ios::binary) << bytes;
  }
  ~TempFile() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }
  std::string Contents() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  static inline int counter_ = 0;
  std::string path_;
};

std::vector<std::pair<int, std::string>> ReadAll(const std::string& bytes, int n) {
  TempFile f(bytes);
  TextReader r(f.path());
  std::vector<std::pair<int, std::string>> lines;
  std::string line;
  for (;;) {
    int rc = ReadLine(r, line, n);
    lines.emplace_back(rc, line);
    if (rc < 0) break;
  }
  return lines;
}

using Lines = std::vector<std::pair<int, std::string>>;

TEST(ReadLine, TextModeAndLimits) {
  struct Case {
    const char* name;
    std::string bytes;
    int n;
    Lines want;
  };
  const Case cases[] = {
      {"crlf becomes lf", "ab\r\ncd\r\n", 260, {{2, "ab"}, {2, "cd"}, {-1, ""}}},
      {"lone cr stays", "a\rb\n", 260, {{3, "a\rb"}, {-1, ""}}},
      {"last line without end", "ab\r\ncd", 260, {{2, "ab"}, {2, "cd"}, {-1, ""}}},
      {"empty lines count zero", "\r\n\nx", 260, {{0, ""}, {0, ""}, {1, "x"}, {-1, ""}}},
      {"ctrl-z ends the file", "ab\r\n\x1a" "cd\r\n", 260, {{2, "ab"}, {-1, ""}}},
      {"byte 255 is dropped", "a\xff" "b\n\xff\n", 260, {{2, "ab"}, {0, ""}, {-1, ""}}},
      {"long line in pieces", "abcdef\n", 4, {{3, "abc"}, {3, "def"}, {0, ""}, {-1, ""}}},
      {"empty file", "", 260, {{-1, ""}}},
      {"nul is kept", std::string("a\0b\n", 4), 260, {{3, std::string("a\0b", 3)}, {-1, ""}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadAll(c.bytes, c.n), c.want) << c.name;
  }
}

TEST(ReadLine, CrLfSplitAcrossBufferBoundary) {
  // A CR LF pair that straddles the reader's 64 KiB buffer still reads as one LF.
  std::string bytes(65535, 'x');
  bytes += "\r\nyz";
  auto lines = ReadAll(bytes, 70000);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].first, 65535);
  EXPECT_EQ(lines[1].second, "yz");
}

TEST(TextReader, FolderIsNotAFile) {
  EXPECT_FALSE(TextReader(std::filesystem::temp_directory_path().string()).Ok());
  EXPECT_FALSE(TextReader("/no/such/file").Ok());
}

TEST(TextWriter, StoresEachLfAsCrLf) {
  TempFile f("");
  TextWriter w(f.path(), false);
  ASSERT_TRUE(w.Ok());
  EXPECT_TRUE(w.Write("a\nb\r\n%d\n"));
  EXPECT_TRUE(w.Close());
  EXPECT_EQ(f.Contents(), "a\r\nb\r\r\n%d\r\n");
}

TEST(LineRoutines, Table) {
  EXPECT_EQ(ParseDecimal("  \t-42x"), -42);
  EXPECT_EQ(ParseDecimal("=4006"), 0);
  EXPECT_EQ(ParseDecimal("+7"), 7);
  EXPECT_EQ(ParseDecimal(""), 0);
  EXPECT_EQ(ParseDecimal("99999999999999999999"), 2147483647);
  EXPECT_EQ(ParseDecimal("-99999999999999999999"), -2147483648L);

  EXPECT_EQ(JoinFolder("logs", "a.log"), "logs/a.log");
  EXPECT_EQ(JoinFolder("logs/", "a.log"), "logs/a.log");
  EXPECT_EQ(JoinFolder("logs\\", "a.log"), "logs\\a.log");

  EXPECT_EQ(ContainsNoCase("abcPLevel=x", "plevel="), 3u);
  EXPECT_EQ(ContainsNoCase("abc", "abcd"), std::string_view::npos);
  EXPECT_TRUE(StartsWithNoCase("worldsave=x", "WORLDSAVE="));
  EXPECT_FALSE(StartsWithNoCase(" WORLDSAVE=x", "WORLDSAVE="));

  const std::vector<std::string_view> table = {"GSPN", "GITM"};
  EXPECT_EQ(FindInTable("gitm", table), 1);
  EXPECT_EQ(FindInTable("GIT", table), -1);

  std::string s = "abc\r\ndef";
  StripLineEnds(s);
  EXPECT_EQ(s, "abc");
  s = std::string("ab\0cd", 5);
  CutAtNul(s);
  EXPECT_EQ(s, "ab");
}

}  // namespace
}  // namespace host
