// The sync record: what a record of either version says, and that a saved
// record reads back, so that no local change is ever mistaken for none.
#include "tools/orvo/sync_record.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace orvo {
namespace {

namespace fs = std::filesystem;

TEST(SyncRecordTest, ReadsBothVersionsAndWritesTheSecond) {
  fs::path folder = fs::temp_directory_path() / ("orvo_sync_record_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  struct Case {
    const char* text;
    std::string name;
    uint64_t local;
    std::optional<long long> server_size;  // nullopt: the server's copy is unknown
  } cases[] = {
      {"orvo sync record 1\n00000000000000ff a b.scp\n", "a b.scp", 0xff, std::nullopt},
      {"orvo sync record 2\n00000000000000ff 0000000000000010 42 -7 a.scp\n", "a.scp", 0xff, 42},
      {"orvo sync record 2\n00000000000000ff - a.scp\n", "a.scp", 0xff, std::nullopt},
      {"orvo sync record 2\n00000000000000ff 10 x -7 a.scp\n", "a.scp", 0, std::nullopt},  // damaged: no entry
  };
  for (const Case& c : cases) {
    std::ofstream(folder / ".orvo-sync", std::ios::binary) << c.text;
    SyncRecord record;
    record.Load(folder.string());
    // A saved record reads back as it was.
    std::string error;
    ASSERT_EQ(record.Save(&error), 0) << error;
    record.Load(folder.string());
    std::optional<SyncedFile> found = record.Find(c.name);
    ASSERT_EQ(found.has_value(), c.local != 0) << c.text;
    if (!found) continue;
    EXPECT_EQ(found->local, c.local) << c.text;
    ASSERT_EQ(found->server.has_value(), c.server_size.has_value()) << c.text;
    if (found->server) {
      EXPECT_EQ(found->server->size, *c.server_size);
      EXPECT_EQ(found->server->hash, 0x10u);
      EXPECT_EQ(found->server->checksum, -7);
    }
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace orvo
