#include "artcontrol/platform/file_access.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "testing/temp_folder.h"

namespace tilvo::platform {
namespace {

const std::vector<std::uint8_t> kTen = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

TEST(FileAccess, RangesStopAtTheEndOfTheFile) {
  testing_support::TempFolder folder;
  const std::string path = folder.Write("f.mul", kTen);
  const struct {
    std::uint64_t offset;
    std::size_t count;
    std::size_t got;
  } cases[] = {
      {0, 10, 10}, {2, 3, 3}, {8, 5, 2}, {10, 1, 0}, {11, 1, 0}, {0, SIZE_MAX, 10},
      {UINT64_MAX, 4, 0}, {0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.offset);
    std::vector<std::uint8_t> bytes = {0xFF};
    ASSERT_TRUE(ReadFileRange(path, c.offset, c.count, bytes));
    ASSERT_EQ(bytes.size(), c.got);
    if (c.got > 0) {
      EXPECT_EQ(bytes[0], kTen[static_cast<std::size_t>(c.offset)]);
    }
  }
}

TEST(FileAccess, FilesThatDoNotOpenAreReportedAndYieldNothing) {
  testing_support::TempFolder folder;
  std::vector<std::uint8_t> bytes = {0xFF};
  for (const std::string& path : {folder.File("missing.mul"), std::string(), folder.Path()}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(ReadFileRange(path, 0, 4, bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(ReadWholeFile(path, 100, bytes));
    EXPECT_EQ(FileSize(path), -1);
    EXPECT_FALSE(ReadOnlyFile(path).IsOpen());
  }
}

TEST(FileAccess, WholeFilesAreReadUpToALimit) {
  testing_support::TempFolder folder;
  const std::string path = folder.Write("f.mul", kTen);
  std::vector<std::uint8_t> bytes;
  EXPECT_TRUE(ReadWholeFile(path, 10, bytes));
  EXPECT_EQ(bytes, kTen);
  EXPECT_FALSE(ReadWholeFile(path, 9, bytes));
  EXPECT_TRUE(bytes.empty());
  EXPECT_EQ(FileSize(path), 10);
  EXPECT_TRUE(ReadWholeFile(folder.Write("empty.mul", {}), 0, bytes));
  EXPECT_TRUE(bytes.empty());
}

TEST(FileAccess, AFileHeldOpenCanStillBeRewrittenAndDeletedByOthers) {
  testing_support::TempFolder folder;
  const std::string path = folder.Write("f.mul", kTen);
  const ReadOnlyFile file(path);
  ASSERT_TRUE(file.IsOpen());
  // The client is patched while the control reads: the open file sees the new bytes.
  const std::vector<std::uint8_t> patched = {7, 7, 7};
  folder.Write("f.mul", patched);
  std::vector<std::uint8_t> bytes(3);
  EXPECT_EQ(file.ReadAt(0, bytes), 3);
  EXPECT_EQ(bytes, patched);
  std::error_code error;
  EXPECT_TRUE(std::filesystem::remove(path, error)) << error.message();
}

}  // namespace
}  // namespace tilvo::platform
