#include "artcontrol/render/art_size_table.h"

#include <gtest/gtest.h>

#include "testing/temp_folder.h"
#include "testing/tilvo/container_writer.h"
#include "testing/tilvo/synthetic_client.h"

namespace tilvo {
namespace {

struct Size {
  std::uint32_t entry;
  std::uint16_t width, height;
};

class ArtSizeTableTest : public ::testing::Test {
 protected:
  // Writes the standard client with its files changed by edit, and points a file set at it.
  template <typename Edit>
  void WriteClient(Edit edit) {
    mkclient::ClientFolder client = mkclient::StandardClient();
    edit(client);
    std::string error;
    ASSERT_TRUE(client.Write(folder_.Path(), error)) << error;
    files_.SetClientDirectory(folder_.Dir());
  }
  void Check(const ArtSizeTable& table, std::initializer_list<Size> sizes) {
    for (const Size& s : sizes) {
      EXPECT_EQ(table.Width(s.entry), s.width) << std::hex << s.entry;
      EXPECT_EQ(table.Height(s.entry), s.height) << std::hex << s.entry;
    }
  }
  // Builds the table in a session of its own, as each regeneration has.
  void Build(ArtSizeTable& table) {
    FileSession session;
    table.Build(files_, session);
  }
  testing_support::TempFolder folder_;
  ClientFileSet files_;
};

TEST_F(ArtSizeTableTest, ReadsEveryHeaderWithoutPatchesOrChecks) {
  for (const bool containers : {false, true}) {
    SCOPED_TRACE(containers ? "from the art container" : "from art.mul");
    WriteClient([containers](mkclient::ClientFolder& c) {
      if (containers) c = mkclient::ContainerTwin(c);
    });
    ArtSizeTable table;
    Build(table);
    ASSERT_TRUE(table.IsBuilt());
    Check(table, {
                     {1, 44, 44},         // land tiles
                     {0x4010, 44, 44},    // an item number holding a land tile
                     {0x4001, 20, 30},
                     {0x4003, 4, 4},      // the base entry: patches are not consulted
                     {0x4004, 44, 44},    // offset 0xFFFFFFFF
                     {0x4008, 1025, 1},   // as read, unchecked
                     {0x8001, 8, 8},
                     {0xFFFF, 44, 44},
                     {0x13FF0, 6, 12},    // item 0xFFF0, the highest entries there are
                     {0x14000, 44, 44},   // a number past them
                 });
  }
}

TEST_F(ArtSizeTableTest, StaysUnbuiltUntilTheIndexOpens) {
  ArtSizeTable table;
  files_.SetClientDirectory(folder_.Dir());
  Build(table);
  EXPECT_FALSE(table.IsBuilt());
  EXPECT_EQ(table.Width(0x4001), 0);
  WriteClient([](mkclient::ClientFolder&) {});
  Build(table);
  EXPECT_TRUE(table.IsBuilt());
  EXPECT_EQ(table.Width(0x4001), 20);
  // Once built it is never rebuilt, whatever the files become.
  files_.SetMulPath(folder_.File("gone"));
  Build(table);
  EXPECT_EQ(table.Width(0x4001), 20);
}

TEST_F(ArtSizeTableTest, DamagedFilesMeasureAsMissingEntries) {
  struct Case {
    const char* name;
    void (*edit)(mkclient::ClientFolder&);
    std::initializer_list<Size> sizes;
  } cases[] = {
      {"no art.mul", [](mkclient::ClientFolder& c) { c.files.erase("art.mul"); }, {{0x4001, 44, 44}, {0x8001, 44, 44}}},
      {"index cut after 0x4001 records",
       [](mkclient::ClientFolder& c) { c.files["artidx.mul"].resize(0x4001 * 12 + 5); },
       {{0x4001, 44, 44}, {1, 44, 44}, {0x8001, 44, 44}}},
      {"art.mul cut inside the header of 0x8001",
       [](mkclient::ClientFolder& c) {
         mkclient::Bytes& index = c.files["artidx.mul"];
         std::uint32_t offset = index[0x8001 * 12] | index[0x8001 * 12 + 1] << 8 | index[0x8001 * 12 + 2] << 16 |
                                static_cast<std::uint32_t>(index[0x8001 * 12 + 3]) << 24;
         c.files["art.mul"].resize(offset + 7);
       },
       {{0x4001, 20, 30}, {0x8001, 44, 44}}},
      {"offset past the end",
       [](mkclient::ClientFolder& c) {
         for (int i = 0; i < 4; ++i) c.files["artidx.mul"][0x4001 * 12 + i] = 0x7F;
       },
       {{0x4001, 44, 44}, {0x4002, 32, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteClient(c.edit);
    ArtSizeTable table;
    Build(table);
    EXPECT_TRUE(table.IsBuilt());
    Check(table, c.sizes);
  }
}

}  // namespace
}  // namespace tilvo
