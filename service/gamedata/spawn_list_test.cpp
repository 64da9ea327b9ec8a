#include "service/gamedata/spawn_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "service/tests/test_peer.h"
#include "service/host/text_lines.h"
#include "service/tests/temp_game_folder.h"

namespace gamedata {
namespace {

using testing_support::LogMark;
using testing_support::TestPeer;
using testing_support::WithCrLf;
using Packets = std::vector<std::string>;

class SpawnListTest : public testing_support::TempGameFolder {
 protected:
  SpawnScan Scan(const std::string& lf_world) {
    WriteText("save/gyrionworld.scp", lf_world);
    SpawnScan scan;
    EXPECT_TRUE(ScanWorldFile("save/gyrionworld.scp", &scan));
    return scan;
  }
  void TearDown() override {
    ClearSpawnList();
    TempGameFolder::TearDown();
  }
};

struct ScanCase {
  const char* title;
  std::string world;  // LF line ends; stored with CR LF
  std::string list;
  long items;
  long npcs;
};

TEST_F(SpawnListTest, ScanFollowsTheRecords) {
  const std::string long79(79, 'L');
  const ScanCase cases[] = {
      {"NPC spawn in a marked section",
       "[WORLDITEM I_SPAWNBIT]\nTYPE=T_SPAWN_CHAR\nMORE1=c_ogre\nP=100,200,0\n[WORLDITEM 0eed]\n",
       "NPC,C_OGRE,100,200,0\r\n", 0, 1},
      {"the same without a marker",
       "[WORLDITEM 0eed]\nTYPE=T_SPAWN_CHAR\nMORE1=c_ogre\nP=100,200,0\n[WORLDITEM 0eed]\n",
       "NPC,C_OGRE,100,200,0\r\n", 0, 1},
      {"numeric NPC types", "[A]\nTYPE=34\nMORE=x\n[B]\nTYPE=034\n[C]\n", "NPC,X,-1,-1,-1,0\r\nNPC,<invalid>,-1,-1,-1,0\r\n",
       0, 2},
      {"item P= after TYPE outside a marker is not taken",
       "[WORLDITEM 0eed]\nP=5,5,5\nTYPE=T_SPAWN_ITEM\nMORE1=i_gold\nP=1,2,3\n[X]\n", "ITEM,I_GOLD,-1,-1,-1,0\r\n", 1, 0},
      {"item in a marked section keeps the P= before TYPE",
       "[WORLDITEM I_WORLDGEM_BIT]\nP=7,8,9\nTYPE=069\nMORE=i_x\nP=1,2,3\n[X]\n", "ITEM,I_X,7,8,9\r\n", 1, 0},
      {"MOREP= does not move an NPC", "[A]\nTYPE=34\nP=1,1,1\nMOREP=2,3,4\n[B]\n", "NPC,<invalid>,1,1,1\r\n", 0, 1},
      {"a record at the end of the file is counted, not listed", "[A]\nTYPE=69\nMORE=x\n", "", 1, 0},
      {"lower-case keys, upper-cased values", "[worlditem i_pet_x]\ndispid=i_pet_horse\nmore1=c_horse\np=3,4,5\n[x]\n",
       "NPC,C_HORSE,3,4,5\r\n", 0, 1},
      {"DISPID=I_PET_ needs a marker", "[WORLDITEM 0eed]\nDISPID=I_PET_HORSE\nMORE1=c\n[X]\n", "", 0, 0},
      {"the line that ends an NPC record can start an item record",
       "[A]\nTYPE=34\nMORE1=npc\nP=1,2,3\n[B] TYPE=69\nMORE1=itm\n[C]\n", "NPC,NPC,1,2,3\r\nITEM,ITM,1,2,3\r\n", 1, 1},
      {"the line that ends a record sets no marker",
       "[A]\nTYPE=69\n[WORLDITEM I_SPAWNBIT]\nP=1,1,1\nTYPE=69\n[B]\n", "ITEM,<invalid>,-1,-1,-1,0\r\nITEM,<invalid>,-1,-1,-1,0\r\n",
       2, 0},
      {"MORE= after MORE1= on one line takes the text from the sixth character",
       "[A]\nTYPE=34\nMORE1=a MORE=b\n[B]\n", "NPC,=A MORE=B,-1,-1,-1,0\r\n", 0, 1},
      {"values at fixed places, keys anywhere", "[A]\nTYPE=34\nXMORE1=abcdef\nTIMESTAMP=9\n[B]\n",
       "NPC,=ABCDEF,MESTAMP=9\r\n", 0, 1},
      {"long values end at 79 characters", "[A]\nTYPE=34\nMORE1=" + long79 + "tail\n[B]\n",
       "NPC," + long79 + ",-1,-1,-1,0\r\n", 0, 1},
      {"a piece of a long line that begins with [ ends a record",
       "[A]\nTYPE=34\nMORE1=x\nDESC=" + std::string(254, 'd') + "[NEXT]\nMORE1=y\n", "NPC,X,-1,-1,-1,0\r\n", 0, 1},
      {"a key split between two pieces is not found", "[A]\nDESC=" + std::string(251, 'd') + "TYPE=34\n[B]\n", "", 0, 0},
      {"a marker keeps its position for later records",
       "[WORLDITEM I_SPAWNBIT]\nP=9,9,9\nTYPE=34\n[WORLDITEM I_SPAWNBIT]\nTYPE=34\n[Z]\n",
       "NPC,<invalid>,9,9,9\r\nNPC,<invalid>,9,9,9\r\n", 0, 2},
  };
  for (const ScanCase& c : cases) {
    SCOPED_TRACE(c.title);
    SpawnScan scan = Scan(c.world);
    EXPECT_EQ(scan.list, c.list);
    EXPECT_EQ(scan.items, c.items);
    EXPECT_EQ(scan.npcs, c.npcs);
  }
}

// The scan as it reads when written straight from the rules, line by line
// through ReadLine: the quick scan must agree with it on any input.
SpawnScan ReferenceScan(const std::string& path) {
  SpawnScan scan;
  host::TextReader in(path);
  std::string line;
  auto next = [&]() {
    if (host::ReadLine(in, line, 260) < 0) return false;
    host::CutAtNul(line);
    host::StripLineEnds(line);
    host::UpperCase(line);
    return true;
  };
  auto has = [&](const char* key) { return line.find(key) != std::string::npos; };
  auto field = [&](size_t from) { return line.substr(from, 79); };
  bool marker = false;
  std::string more, pos = "-1,-1,-1,0";
  auto record = [&](const char* kind, bool npc) {
    ++(npc ? scan.npcs : scan.items);
    more = "<invalid>";
    while (next()) {
      if (!line.empty() && line[0] == '[') {
        scan.list += std::string(kind) + "," + more + "," + pos + "\r\n";
        return true;
      }
      if (has("MORE1=") && line.size() > 6) more = field(6);
      if (has("MORE=") && line.size() > 5) more = field(5);
      if (npc && has("P=") && line.size() > 2 && !has("MOREP=")) pos = field(2);
    }
    return false;
  };
  while (true) {
    if (!marker) pos = "-1,-1,-1,0";
    if (!next()) break;
    if (has("[WORLDITEM I_WORLDGEM_BIT") || has("[WORLDITEM I_PET_") || has("[WORLDITEM I_SPAWNBIT")) {
      marker = true;
    } else if (has("[")) {
      marker = false;
    }
    if (line.rfind("P=", 0) == 0 && line.size() > 2 && marker) pos = field(2);
    if (has("TYPE=34") || has("TYPE=T_SPAWN_CHAR") || has("TYPE=034") || (has("DISPID=I_PET_") && marker)) {
      if (!record("NPC", true)) break;
    }
    if (has("TYPE=69") || has("TYPE=T_SPAWN_ITEM") || has("TYPE=069")) {
      if (!record("ITEM", false)) break;
    }
  }
  return scan;
}

TEST_F(SpawnListTest, QuickScanAgreesWithTheRules) {
  const std::vector<std::string> pieces = {
      "[WORLDITEM I_SPAWNBIT]", "[WORLDITEM I_PET_X]", "[worlditem i_worldgem_bit]", "[WORLDITEM 0eed]", "[X]",
      "TYPE=T_SPAWN_CHAR", "TYPE=34", "type=069", "TYPE=T_SPAWN_ITEM", "DISPID=I_PET_A", "MORE1=c_a", "MORE=b",
      "P=1,2,3", "p=4,5,6", "MOREP=7", "SERIAL=1", "TIMESTAMP=3", "NAME=Ymir", "x\ry", std::string("a\0b", 3),
      "\xff[X]", "TY\xffPE=34", "\x1a", std::string(258, 'w'), std::string(259, 'w'), std::string(300, 'w') + "[Q]",
      std::string(255, 'v') + "TYPE=34", "", "\r",
  };
  std::mt19937 random(7);
  for (int round = 0; round < 60; ++round) {
    std::string world;
    int lines = 20 + static_cast<int>(random() % 200);
    for (int i = 0; i < lines; ++i) {
      world += pieces[random() % pieces.size()];
      // Mostly CR LF, sometimes a bare LF.
      world += random() % 5 == 0 ? "\n" : "\r\n";
    }
    SCOPED_TRACE(round);
    Write("save/gyrionworld.scp", world);
    SpawnScan quick;
    ASSERT_TRUE(ScanWorldFile("save/gyrionworld.scp", &quick));
    SpawnScan reference = ReferenceScan("save/gyrionworld.scp");
    EXPECT_EQ(quick.list, reference.list);
    EXPECT_EQ(quick.items, reference.items);
    EXPECT_EQ(quick.npcs, reference.npcs);
  }
}

TEST_F(SpawnListTest, FiveHundredRecordsMakeALongList) {
  std::string world;
  for (int i = 0; i < 500; ++i) world += "[A]\nTYPE=34\nMORE1=c_ogre\nP=" + std::to_string(1000 + i) + ",200,0\n";
  world += "[END]\n";
  SpawnScan scan = Scan(world);
  EXPECT_EQ(scan.npcs, 500);
  EXPECT_GT(scan.list.size(), 8096u);
  EXPECT_EQ(scan.list.substr(0, 24), "NPC,C_OGRE,1000,200,0\r\nN");
}

TEST_F(SpawnListTest, LoadLogsTheOutcomeAndReplacesTheList) {
  WriteText("save/gyrionworld.scp", "[A]\nTYPE=34\nMORE1=a\n[B]\nTYPE=69\nMORE1=b\n[C]\nTYPE=34\n[D]\n");
  LogMark loaded;
  LoadSpawnList();
  EXPECT_EQ(loaded.Added(), "Spawn Information Loaded. 1 items and 2 npc spawn points\n");
  ASSERT_TRUE(CurrentSpawnList());
  EXPECT_EQ(*CurrentSpawnList(), "NPC,A,-1,-1,-1,0\r\nITEM,B,-1,-1,-1,0\r\nNPC,<invalid>,-1,-1,-1,0\r\n");

  struct Case {
    const char* title;
    std::vector<std::string> ini;  // empty: no gyrion.ini
    std::string log;
  } failures[] = {
      {"no gyrion.ini", {}, "Error -- Could not open gyrion.ini\n"},
      {"no WORLDSAVE= value", {"WORLDSAVE=", "SCPFILES=x"}, "Error -- Worldsave Path has a length of 0\n"},
      {"no world file", {"worldsave=elsewhere"}, "Error -- Could not open world file elsewhere/gyrionworld.scp\n"},
  };
  for (const Case& c : failures) {
    SCOPED_TRACE(c.title);
    std::filesystem::remove(folder_ / "gyrion.ini");
    if (!c.ini.empty()) {
      std::string text;
      for (const std::string& line : c.ini) text += line + "\r\n";
      Write("gyrion.ini", text);
    }
    LogMark log;
    LoadSpawnList();
    EXPECT_EQ(log.Added(), c.log);
    ASSERT_TRUE(CurrentSpawnList());
    EXPECT_EQ(*CurrentSpawnList(), "");
  }
}

TEST_F(SpawnListTest, WorldSaveFolderKeepsItsCase) {
  WriteIni({"WorldSave=Save\\Mixed\\"});
  WriteText("Save/Mixed/gyrionworld.scp", "[A]\nTYPE=34\n[B]\n");
  LoadSpawnList();
  ASSERT_TRUE(CurrentSpawnList());
  EXPECT_EQ(*CurrentSpawnList(), "NPC,<invalid>,-1,-1,-1,0\r\n");
}

TEST_F(SpawnListTest, SendBuildsTheListFirstAndSplitsIt) {
  std::string world;
  for (int i = 0; i < 100; ++i) world += "[A]\nTYPE=34\nMORE1=c\nP=" + std::to_string(1000 + i) + ",2,3\n";
  world += "[END]\n";
  WriteText("save/gyrionworld.scp", world);
  ASSERT_FALSE(CurrentSpawnList());
  TestPeer peer;
  SendSpawnList(peer.Service());
  Packets got = peer.Received();
  ASSERT_TRUE(CurrentSpawnList());
  const std::string& list = *CurrentSpawnList();
  ASSERT_EQ(list.size(), 1600u);  // 100 lines "NPC,C,1xxx,2,3" with CR LF
  EXPECT_EQ(got, (Packets{"1600", list.substr(0, 1024), list.substr(1024), ".\r\n"}));
}

TEST_F(SpawnListTest, EmptyListIsSentAsZeroAndTheStop) {
  std::filesystem::remove(folder_ / "gyrion.ini");
  TestPeer peer;
  SendSpawnList(peer.Service());
  EXPECT_EQ(peer.Received(), (Packets{"0", ".\r\n"}));
}

}  // namespace
}  // namespace gamedata
