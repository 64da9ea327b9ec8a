#include "service/host/config.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "service/host/entry.h"
#include "service/platform/fs.h"
#include "service/tests/scratch_folder.h"

namespace host {
namespace {

namespace fs = std::filesystem;
using testing_support::ScratchFolder;

using ServiceConfigFile = ScratchFolder;

TEST_F(ServiceConfigFile, Keys) {
  struct Case {
    const char* name;
    std::string cfg;
    void (*check)(const ServiceConfig&);
  };
  const Case cases[] = {
      {"canonical lines", "PORT 4010\r\nMAXCONNECTIONS 9\r\nSPAWNREFRESHTIME 30\r\nRECEIVETIMEOUT 500\r\n",
       [](const ServiceConfig& c) {
         EXPECT_EQ(c.port, 4010);
         EXPECT_EQ(c.max_connections, 9);
         EXPECT_EQ(c.spawn_refresh_time, 30);
         EXPECT_EQ(c.receive_timeout, 500);
       }},
      {"equals sign stops numbers but not text", "PORT=4010\r\nRECEIVETIMEOUT=77\r\nALLOWEDHOSTS=127.0.0.1\r\n",
       [](const ServiceConfig& c) {
         EXPECT_EQ(c.port, 0);
         EXPECT_EQ(c.receive_timeout, 77);
         EXPECT_EQ(c.allowed_hosts, "127.0.0.1");
       }},
      {"port wraps to 16 bits", "PORT 70000\r\n", [](const ServiceConfig& c) { EXPECT_EQ(c.port, 4464); }},
      {"comments", "# PORT 1\r\n  # READONLY\r\nPORT 5000 # PORT 7\r\n",
       [](const ServiceConfig& c) {
         EXPECT_EQ(c.port, 5000);
         EXPECT_FALSE(c.read_only);
       }},
      {"flags by presence", "xxNOMULTITHREADINGxx\r\nREADONLY 0\r\n",
       [](const ServiceConfig& c) {
         EXPECT_TRUE(c.no_multithreading);
         EXPECT_TRUE(c.read_only);
       }},
      {"key inside another value", "ALLOWEDPATHS scripts/PORTAL\r\n",
       [](const ServiceConfig& c) {
         EXPECT_EQ(c.allowed_paths, "scripts/PORTAL");
         EXPECT_EQ(c.port, 0);
       }},
      {"text keeps trailing blanks", "DENIEDHOSTS 10.0.0.1, \r\nALLOWEDEXTENSIONS scp:ini\r\n",
       [](const ServiceConfig& c) {
         EXPECT_EQ(c.denied_hosts, "10.0.0.1, ");
         EXPECT_EQ(c.allowed_extensions, "scp:ini");
       }},
      {"key at the end of the line", "ALLOWEDHOSTS\r\nPORT\r\n",
       [](const ServiceConfig& c) {
         EXPECT_EQ(c.allowed_hosts, "");
         EXPECT_EQ(c.port, 0);
       }},
      {"transfer pause and upload limit", "TRANSFERPAUSE 10\r\nMAXUPLOADSIZE 1048576\r\n",
       [](const ServiceConfig& c) {
         EXPECT_EQ(c.transfer_pause, 10);
         EXPECT_EQ(c.max_upload_size, 1048576);
       }},
      {"exposure keys, the address without blanks around it",
       "LISTENADDRESS \t127.0.0.1  \r\nMAXLOGINFAILURES 5\r\nLOGINBLOCKTIME 600\r\n",
       [](const ServiceConfig& c) {
         EXPECT_EQ(c.listen_address, "127.0.0.1");
         EXPECT_EQ(c.max_login_failures, 5);
         EXPECT_EQ(c.login_block_time, 600);
       }},
      {"later line wins", "PORT 1\r\nPORT 2\r\n", [](const ServiceConfig& c) { EXPECT_EQ(c.port, 2); }},
      {"long line read in pieces", std::string(255, 'x') + "PORT 4011\r\n",
       [](const ServiceConfig& c) { EXPECT_EQ(c.port, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetKeepingLog();
    Write("orvosvr.cfg", c.cfg);
    ReadServiceConfig();
    c.check(Config());
  }
}

TEST_F(ServiceConfigFile, MissingFileKeepsDefaults) {
  std::string log_dir = Config().log_directory;
  ResetConfig();
  Config().log_directory = log_dir;
  ReadServiceConfig();
  EXPECT_EQ(Config().port, 4006);
  EXPECT_EQ(Config().spawn_refresh_time, 1200);
  EXPECT_EQ(Config().receive_timeout, 60000);
  EXPECT_EQ(Config().transfer_pause, 0);
  EXPECT_EQ(Config().max_upload_size, 256 * 1024 * 1024);
}

TEST_F(ServiceConfigFile, GyrionPathBecomesTheWorkingDirectory) {
  fs::create_directories(folder_ / "game");
  Write("orvosvr.cfg", "GYRIONPATH " + (folder_ / "game").string() + "\r\n");
  ReadServiceConfig();
  EXPECT_EQ(fs::current_path(), fs::canonical(folder_ / "game"));
  fs::current_path(folder_);
}

using GameIni = ScratchFolder;

TEST_F(GameIni, PortLogAndFolders) {
  struct Case {
    const char* name;
    std::string ini;
    int32_t port;
    std::string log;
  };
  const Case cases[] = {
      {"third line of the section", "LOG=logs\\\r\n[SERVERS]\r\nShard\r\n127.0.0.1\r\n2600\r\n", 2600, "logs\\"},
      {"header as the last line", "[SERVERS]\r\n", 0, ""},
      {"section cut short", "[SERVERS]\r\nShard\r\n", 0, ""},
      {"log after the section is ignored", "LOG=a\r\nLOG=b\r\n[SERVERS]\r\nx\r\ny\r\n9\r\nLOG=c\r\n", 9, "b"},
      {"no section", "LOG=x\r\n", 2593, "x"},
      {"lower-case log key is not the key", "log=x\r\n", 2593, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string log_dir = Config().log_directory;
    Config().log_directory.clear();
    Write("gyrion.ini", c.ini);
    ReadGameIni();
    EXPECT_EQ(Config().game_port, c.port);
    EXPECT_EQ(Config().log_directory, c.log);
    Config().log_directory = log_dir;
  }
}

TEST_F(GameIni, FolderLookups) {
  Write("gyrion.ini", "worldsave=\r\nWORLDSAVE=Save\\\r\nScpFiles=Scripts\r\nACCTFILES=Accounts\r\n[SERVERS]\r\nMy Shard \r\n");
  std::string folder;
  EXPECT_EQ(FindAccountFolder(&folder), 1);
  EXPECT_EQ(folder, "Accounts");
  EXPECT_EQ(ScriptsFolder(), "Scripts");
  EXPECT_EQ(FindIniValue("WORLDSAVE=", true).value_or("?"), "Save\\");
  EXPECT_EQ(FindIniValue("WORLDSAVE=", false).value_or("?"), "");
  EXPECT_EQ(ReadServerName(), "My Shard ");

  Write("gyrion.ini", "WORLDSAVE=first\r\nWORLDSAVE=second\r\n");
  EXPECT_EQ(FindAccountFolder(&folder), 1);
  EXPECT_EQ(folder, "first");

  Write("gyrion.ini", "[SERVERS]\r\n");
  EXPECT_EQ(FindAccountFolder(&folder), 0);
  EXPECT_EQ(ReadServerName(), "");

  fs::remove(folder_ / "gyrion.ini");
  EXPECT_EQ(FindAccountFolder(&folder), -1);
  EXPECT_FALSE(FindIniValue("SCPFILES=", false).has_value());
}

}  // namespace
}  // namespace host
