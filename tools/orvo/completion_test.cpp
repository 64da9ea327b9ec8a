// The shell's words: how a line splits, and what completion offers where.
#include "tools/orvo/completion.h"

#include <gtest/gtest.h>

#include "tools/orvo/options.h"

namespace orvo {
namespace {

TEST(SplitWordsTest, BlanksSeparateAndQuotesKeepThem) {
  struct Case {
    std::string line;
    std::vector<std::string> words;
    std::string problem;
  } cases[] = {
      {"  get  gyrion.ini\t-o x ", {"get", "gyrion.ini", "-o", "x"}, ""},
      {"put \"my scripts/a b.scp\" 'c d'", {"put", "my scripts/a b.scp", "c d"}, ""},
      {"get scripts\\test.scp", {"get", "scripts\\test.scp"}, ""},
      {"get ''", {"get", ""}, ""},
      {"get \"open", {}, "no closing \""},
  };
  for (const Case& c : cases) {
    std::vector<std::string> words;
    EXPECT_EQ(SplitWords(c.line, &words), c.problem) << c.line;
    if (c.problem.empty()) {
      EXPECT_EQ(words, c.words) << c.line;
    }
  }
}

TEST(CompleteTest, OffersWhatEachPlaceTakes) {
  std::vector<std::string> listed;
  RemoteLister list = [&](const std::string& folder, std::vector<DirectoryRecord>* records) {
    listed.push_back(folder);
    if (folder == ".") {
      *records = {{kAttrDirectory, "scripts"}, {kAttrNormal, "gyrion.ini"}, {kAttrNormal, "gyrionitem2.scp"},
                  {kAttrDirectory, "."}};
    } else if (folder == "scripts") {
      *records = {{kAttrNormal, "gyrionchar.scp"}, {kAttrDirectory, "old"}};
    } else {
      return false;
    }
    return true;
  };
  struct Case {
    std::string before, word;
    std::vector<std::string> candidates;
    bool local_files;
  } cases[] = {
      {"", "s", {"spawns", "start", "sync"}, false},
      {"", "qu", {"quit"}, false},
      {"get ", "gyrion", {"gyrion.ini", "gyrionitem2.scp"}, false},
      {"get ", "s", {"scripts/"}, false},
      {"get ", "scripts/", {"scripts/gyrionchar.scp", "scripts/old/"}, false},
      {"dir ", "", {"scripts/"}, false},
      {"dir ", "scripts/", {"scripts/old/"}, false},
      {"put gyrion.ini ", "", {}, true},
      {"get gyrion.ini -o ", "", {}, true},
      {"merge ", "", {"item", "npc"}, false},
      {"merge ", "n", {"npc"}, false},
      {"merge npc ", "og", {}, true},
      {"sync ", "pu", {"pull", "push"}, false},
      {"sync pull here ", "", {"scripts/"}, false},
      {"checksum ", "nothere/", {}, false},
      {"port ", "", {}, false},
      {"frobnicate ", "", {}, false},
  };
  for (const Case& c : cases) {
    Completion got = Complete(c.before, c.word, list);
    EXPECT_EQ(got.candidates, c.candidates) << c.before << "|" << c.word;
    EXPECT_EQ(got.local_files, c.local_files) << c.before << "|" << c.word;
  }
}

}  // namespace
}  // namespace orvo
