#include "artcontrol/clientdata/client_file_set.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "testing/temp_folder.h"
#include "testing/tilvo/synthetic_client.h"

namespace tilvo {
namespace {

using mkclient::Bytes;

Bytes ListOf(const std::vector<std::uint32_t>& blocks) { return mkclient::EncodePatchList(blocks); }

struct NameCase {
  int slot;
  const char* name;  // empty: the slot has no default name
};

// The slots where the client's numbering is easiest to get wrong.
const NameCase kNameCases[] = {
    {0, "map0.mul"},       {2, "statics0.mul"},  {3, "artidx.mul"},    {4, "art.mul"},
    {5, "anim.idx"},       {6, "anim.mul"},      {7, "soundidx.mul"},  {18, "light.mul"},
    {19, ""},              {29, ""},             {30, "tiledata.mul"}, {32, "hues.mul"},
    {35, "radarcol.mul"},  {36, "verdata.mul"},  {39, "statics2.mul"}, {40, "anim2.mul"},
    {41, "anim2.idx"},     {42, ""},             {47, ""},             {48, "map3.mul"},
    {51, "anim3.mul"},     {52, "anim3.idx"},    {53, "mapdif3.mul"},  {54, "mapdifl3.mul"},
    {55, "stadif3.mul"},   {56, "stadifi3.mul"}, {57, "stadifl3.mul"}, {58, ""},
    {63, ""},              {64, "mapdif0.mul"},  {66, "mapdif2.mul"},  {67, "mapdifl0.mul"},
    {69, "mapdifl2.mul"},  {70, "stadif0.mul"},  {73, "stadifi0.mul"}, {75, "stadifi2.mul"},
    {76, "stadifl0.mul"},  {77, "stadifl1.mul"}, {78, ""},
};

TEST(ClientFileSet, BuildFileSetJoinsEveryDefaultNameToMulPath) {
  ClientFileSet files;
  files.SetClientDirectory("/games/uo/");
  for (const NameCase& c : kNameCases) {
    SCOPED_TRACE(c.slot);
    EXPECT_EQ(DefaultFileName(c.slot), c.name);
    const std::string expected = *c.name ? std::string("/games/uo/") + c.name : std::string();
    EXPECT_EQ(files.Path(c.slot), expected);
  }
  int named = 0;
  for (int slot = 0; slot < kClientFileSlotCount; ++slot) named += DefaultFileName(slot).empty() ? 0 : 1;
  EXPECT_EQ(named, 79 - 11 - 6 - 6 - 1);
  EXPECT_EQ(DefaultFileName(-1), "");
  EXPECT_EQ(DefaultFileName(79), "");
  EXPECT_EQ(files.Path(79), "");
  EXPECT_EQ(files.Path(-1), "");
}

TEST(ClientFileSet, EmptyMulPathLeavesBareNames) {
  ClientFileSet files;
  files.SetClientDirectory("");
  EXPECT_EQ(files.Path(3), "artidx.mul");
  EXPECT_EQ(files.GetMulPath(), "");
}

TEST(ClientFileSet, SetMulPathEndsThePathWithOneSeparator) {
  const struct {
    const char* given;
    const char* mulPath;
  } cases[] = {
      {"/data/client", "/data/client/"}, {"/data/client/", "/data/client/"}, {"", "/"}, {"rel", "rel/"},
      {"C:\\client", "C:\\client/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.given);
    ClientFileSet files;
    files.SetMulPath(c.given);
    EXPECT_EQ(files.GetMulPath(), c.mulPath);
    EXPECT_EQ(files.Path(3), std::string(c.mulPath) + "artidx.mul");
  }
}

TEST(ClientFileSet, SetCustomMulFileRefusesReservedSlotsAndEmptyPaths) {
  const struct {
    int slot;
    const char* path;
    bool accepted;
  } cases[] = {
      {20, "/x", false}, {19, "/x", false}, {29, "/x", false}, {79, "/x", false}, {-1, "/x", false},
      {-32768, "/x", false}, {3, "", false}, {0, "/x", true}, {18, "/x", true}, {30, "/x", true},
      {45, "/x", true}, {78, "/x", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.slot);
    ClientFileSet files;
    files.SetClientDirectory("/d/");
    const std::string before = files.Path(c.slot);
    EXPECT_EQ(files.SetCustomMulFile(static_cast<std::int16_t>(c.slot), c.path), c.accepted);
    EXPECT_EQ(files.Path(c.slot), c.accepted ? std::string(c.path) : before);
    EXPECT_EQ(files.GetCustomMulPath(static_cast<std::int16_t>(c.slot)), c.accepted ? std::string(c.path) : before);
  }
}

TEST(ClientFileSet, GetCustomMulPathIsEmptyForRefusedSlots) {
  ClientFileSet files;
  files.SetClientDirectory("/d/");
  EXPECT_EQ(files.GetCustomMulPath(25), "");
  EXPECT_EQ(files.GetCustomMulPath(100), "");
  EXPECT_EQ(files.GetCustomMulPath(-1), "");
  EXPECT_EQ(files.GetCustomMulPath(7), "/d/soundidx.mul");
}

TEST(ClientFileSet, SetMulPathOverwritesNamedSlotsButKeepsHostSlots) {
  ClientFileSet files;
  files.SetClientDirectory("/d/");
  ASSERT_TRUE(files.SetCustomMulFile(3, "/elsewhere/artidx.mul"));
  ASSERT_TRUE(files.SetCustomMulFile(45, "/host/extra.mul"));
  ASSERT_TRUE(files.SetCustomMulFile(78, "/host/stadifl2.mul"));
  files.SetMulPath("/new");
  EXPECT_EQ(files.Path(3), "/new/artidx.mul");
  EXPECT_EQ(files.GetCustomMulPath(45), "/host/extra.mul");
  EXPECT_EQ(files.Path(78), "/host/stadifl2.mul");
}

TEST(ClientFileSet, FacetSlotsNameThePatchListsInTheirOrder) {
  const int land[] = {67, 68, 69, 54};
  const int statics[] = {76, 77, 78, 57};
  const int staticsData[] = {2, 2, 39, 50};
  for (int facet = 0; facet < 4; ++facet) {
    SCOPED_TRACE(facet);
    EXPECT_EQ(kFacetSlots[facet].landPatchList, land[facet]);
    EXPECT_EQ(kFacetSlots[facet].staticsPatchList, statics[facet]);
    EXPECT_EQ(kFacetSlots[facet].statics, staticsData[facet]);
  }
  EXPECT_EQ(kFacetSlots[3].staticsPatchIndex, 56);
}

TEST(ClientFileSet, PatchListsFollowEveryPathChange) {
  testing_support::TempFolder folder;
  // Facet n's land list names block 100 + n at position 0; facet n's statics list block 200 + n.
  const char* landNames[] = {"mapdifl0.mul", "mapdifl1.mul", "mapdifl2.mul", "mapdifl3.mul"};
  const char* staticsNames[] = {"stadifl0.mul", "stadifl1.mul", nullptr, "stadifl3.mul"};
  for (std::uint32_t facet = 0; facet < 4; ++facet) {
    folder.Write(landNames[facet], ListOf({100 + facet}));
    if (staticsNames[facet]) folder.Write(staticsNames[facet], ListOf({200 + facet}));
  }
  ClientFileSet files;
  files.SetClientDirectory(folder.Dir());
  for (int facet = 0; facet < 4; ++facet) {
    SCOPED_TRACE(facet);
    EXPECT_EQ(FindDiffPosition(files.LandPatchList(facet), 100 + static_cast<std::uint32_t>(facet)), 0);
    // Facet 2's statics list has no default name, so nothing loads it.
    EXPECT_EQ(files.StaticsPatchList(facet).pairs.size(), facet == 2 ? 0u : 1u);
  }
  EXPECT_TRUE(files.LandPatchList(4).pairs.empty());
  EXPECT_TRUE(files.StaticsPatchList(-1).pairs.empty());

  // SetCustomMulFile on a list slot reloads that list at once, and only it.
  const std::string other = folder.Write("other.mul", ListOf({9, 9, 7}));
  ASSERT_TRUE(files.SetCustomMulFile(67, other));
  EXPECT_EQ(FindDiffPosition(files.LandPatchList(0), 9), 1);
  EXPECT_EQ(FindDiffPosition(files.LandPatchList(0), 100), -1);
  EXPECT_EQ(FindDiffPosition(files.LandPatchList(1), 101), 0);
  ASSERT_TRUE(files.SetCustomMulFile(78, other));
  EXPECT_EQ(FindDiffPosition(files.StaticsPatchList(2), 7), 2);

  // SetMulPath reloads all eight: the default names again, slot 78 still the host's file.
  files.SetMulPath(folder.Path());
  EXPECT_EQ(FindDiffPosition(files.LandPatchList(0), 100), 0);
  EXPECT_EQ(FindDiffPosition(files.StaticsPatchList(2), 7), 2);

  // A path with no file empties the list.
  ASSERT_TRUE(files.SetCustomMulFile(54, folder.File("missing.mul")));
  EXPECT_TRUE(files.LandPatchList(3).pairs.empty());
}

TEST(ClientFileSet, AContainerServesASlotWhoseFileIsMissing) {
  const struct {
    const char* name;
    std::vector<std::string> files;  // in the client folder; a name ending in "/" is a folder
    std::vector<std::pair<int, std::string>> paths;
  } cases[] = {
      {"containers alone",
       {"artLegacyMUL.uop", "gumpartLegacyMUL.uop", "map0LegacyMUL.uop", "map2LegacyMUL.uop", "map3LegacyMUL.uop",
        "MultiCollection.uop"},
       {{4, "artLegacyMUL.uop"}, {12, "gumpartLegacyMUL.uop"}, {0, "map0LegacyMUL.uop"}, {37, "map2LegacyMUL.uop"},
        {48, "map3LegacyMUL.uop"}, {14, "MultiCollection.uop"}, {3, "artidx.mul"}, {13, "multi.idx"}}},
      {"both: the file serves", {"art.mul", "artLegacyMUL.uop", "map0.mul"}, {{4, "art.mul"}, {0, "map0.mul"}}},
      {"a container named in other letters", {"ARTLEGACYMUL.UOP", "multicollection.uop"},
       {{4, "ARTLEGACYMUL.UOP"}, {14, "multicollection.uop"}}},
      {"a folder is no container", {"artLegacyMUL.uop/"}, {{4, "art.mul"}}},
      {"neither", {}, {{4, "art.mul"}, {12, "gumpart.mul"}}},
      {"no container for other files", {"hues.uop", "map1LegacyMUL.uop"}, {{32, "hues.mul"}, {0, "map0.mul"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::TempFolder folder;
    for (const std::string& name : c.files) {
      if (name.back() == '/') {
        std::filesystem::create_directories(folder.File(name));
      } else {
        folder.Write(name, Bytes{'M', 'Y', 'P', 0});
      }
    }
    ClientFileSet files;
    files.SetClientDirectory(folder.Dir());
    for (const auto& [slotNumber, name] : c.paths) {
      EXPECT_EQ(files.GetCustomMulPath(static_cast<std::int16_t>(slotNumber)), folder.File(name)) << slotNumber;
    }
  }
}

}  // namespace
}  // namespace tilvo
