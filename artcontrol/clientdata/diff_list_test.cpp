#include "artcontrol/clientdata/diff_list.h"

#include <gtest/gtest.h>

#include "testing/temp_folder.h"
#include "testing/tilvo/synthetic_client.h"

namespace tilvo {
namespace {

using mkclient::Bytes;

Bytes ListOf(const std::vector<std::uint32_t>& blocks) { return mkclient::EncodePatchList(blocks); }

struct Lookup {
  std::uint32_t block;
  std::int64_t position;  // -1: not named
};

struct ListCase {
  const char* name;
  Bytes file;
  std::size_t pairs;
  std::vector<Lookup> lookups;
};

TEST(DiffList, LaterPositionWinsAndLookupsAreUnsigned) {
  Bytes fragment = ListOf({5, 6});
  fragment.push_back(0x07);
  fragment.push_back(0x00);
  fragment.push_back(0x00);
  const ListCase cases[] = {
      {"block 7 at positions 2 and 5", ListOf({1, 3, 7, 4, 9, 7}), 5, {{7, 5}, {1, 0}, {3, 1}, {4, 3}, {9, 4}, {8, -1}}},
      {"the same block three times", ListOf({2, 2, 2}), 1, {{2, 2}}},
      {"unsigned order", ListOf({0xFFFFFFFF, 0x80000000, 0, 1}), 4,
       {{0xFFFFFFFF, 0}, {0x80000000, 1}, {0, 2}, {1, 3}, {0x7FFFFFFF, -1}}},
      {"a trailing fragment is ignored", fragment, 2, {{5, 0}, {6, 1}, {7, -1}}},
      {"empty file", {}, 0, {{0, -1}}},
      {"only a fragment", Bytes{1, 2}, 0, {{0x0201, -1}}},
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.name);
    const DiffList list = ParseDiffList(c.file);
    EXPECT_EQ(list.pairs.size(), c.pairs);
    for (std::size_t i = 1; i < list.pairs.size(); ++i) EXPECT_LT(list.pairs[i - 1].block, list.pairs[i].block);
    for (const Lookup& lookup : c.lookups) {
      SCOPED_TRACE(lookup.block);
      EXPECT_EQ(FindDiffPosition(list, lookup.block), lookup.position);
    }
  }
}

TEST(DiffList, LoadRefillsTheListAndAMissingFileEmptiesIt) {
  testing_support::TempFolder folder;
  DiffList list;
  LoadDiffList(folder.Write("a.mul", ListOf({10, 11})), list);
  EXPECT_EQ(FindDiffPosition(list, 11), 1);
  LoadDiffList(folder.Write("b.mul", ListOf({12})), list);
  EXPECT_EQ(FindDiffPosition(list, 11), -1);
  EXPECT_EQ(FindDiffPosition(list, 12), 0);
  LoadDiffList(folder.File("missing.mul"), list);
  EXPECT_TRUE(list.pairs.empty());
  LoadDiffList(folder.Write("c.mul", ListOf({12})), list);
  LoadDiffList("", list);
  EXPECT_TRUE(list.pairs.empty());
  // A folder is not a list.
  LoadDiffList(folder.Path(), list);
  EXPECT_TRUE(list.pairs.empty());
}

TEST(DiffList, LookupOnAnEmptyListGivesMinusOne) {
  EXPECT_EQ(FindDiffPosition(DiffList{}, 0), -1);
  EXPECT_EQ(FindDiffPosition(DiffList{}, 0xFFFFFFFF), -1);
}

}  // namespace
}  // namespace tilvo
