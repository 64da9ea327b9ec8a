#include "artcontrol/clientdata/file_session.h"

#include <gtest/gtest.h>

#include "testing/temp_folder.h"

namespace tilvo {
namespace {

TEST(FileSession, OpensEachPathOnceAndReadsRangesLikeOneShotReads) {
  testing_support::TempFolder folder;
  const std::vector<std::uint8_t> ten = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  const std::string path = folder.Write("a.mul", ten);
  const std::string missing = folder.File("missing.mul");
  FileSession session;
  std::vector<std::uint8_t> bytes;
  const struct {
    std::uint64_t offset;
    std::size_t count;
  } ranges[] = {{0, 10}, {2, 3}, {8, 5}, {10, 1}, {0, SIZE_MAX}, {UINT64_MAX, 4}};
  for (const auto& r : ranges) {
    std::vector<std::uint8_t> once;
    ASSERT_TRUE(platform::ReadFileRange(path, r.offset, r.count, once));
    ASSERT_TRUE(session.ReadRange(path, r.offset, r.count, bytes));
    EXPECT_EQ(bytes, once) << r.offset;
    EXPECT_FALSE(session.ReadRange(missing, r.offset, r.count, bytes));
    EXPECT_TRUE(bytes.empty());
  }
  EXPECT_TRUE(session.Opens(path));
  EXPECT_FALSE(session.Opens(missing));
  EXPECT_EQ(session.FilesTried(), 2u);
  // A file that appears during the session is not tried again until the next one.
  folder.Write("missing.mul", ten);
  EXPECT_FALSE(session.Opens(missing));
  EXPECT_TRUE(FileSession().Opens(missing));
}

}  // namespace
}  // namespace tilvo
