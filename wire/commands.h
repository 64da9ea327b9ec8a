// The command words of the administration protocol: four letters at the start
// of a request packet, matched by the service without regard to case, and for
// the scripts with words of their own, the file each word fetches or stores.
#pragma once

#include <array>
#include <string_view>

namespace wire {

// A script whose name is fixed: the word that fetches it and the one that
// replaces it whole.
struct ScriptWords {
  std::string_view file;
  std::string_view fetch;
  std::string_view store;
};

// Names match exactly: on a file system that tells case apart, another
// spelling is another file, which GFIL and SFIL reach.
inline constexpr std::array<ScriptWords, 12> kScriptWords{{
    {"gyrionitem2.scp", "GITM", "SIT2"},
    {"gyrionchar2.scp", "GCHR", "SCH2"},
    {"gyriondefs2.scp", "GDFS", "SDFS"},
    {"gyrionmap2.scp", "GMAP", "SMAP"},
    {"gyriontables.scp", "GTBL", "STBL"},
    {"gyriontemplate2.scp", "GTPL", "STPL"},
    {"gyrionmagic.scp", "GMAG", "SMAG"},
    {"gyrionskill.scp", "GSKL", "SSKL"},
    {"gyrionspee.scp", "GSPE", "SSPE"},
    {"gyrionname.scp", "GNAM", "SNAM"},
    {"gyriontrig2.scp", "GTRG", "STRG"},
    {"gyrion.ini", "GINI", "SINI"},
}};

// The file that `word` (as the table writes it) fetches or stores; empty for
// a word without a fixed file.
constexpr std::string_view FixedFile(std::string_view word) {
  for (const ScriptWords& row : kScriptWords) {
    if (row.fetch == word || row.store == word) return row.file;
  }
  return {};
}

// The other words: each is followed directly by its argument, if it takes one.
inline constexpr std::string_view kSpawnList = "GSPN";      // the spawn list
inline constexpr std::string_view kMergeItem = "SITM";      // merges one item entry
inline constexpr std::string_view kMergeNpc = "SCHR";       // merges one NPC entry
inline constexpr std::string_view kQuit = "QUIT";           // ends the session
inline constexpr std::string_view kGamePort = "PORT";       // the game server's port
inline constexpr std::string_view kStartServer = "STRT";    // starts the game server
inline constexpr std::string_view kFetchAccounts = "GACT";  // the account file
inline constexpr std::string_view kStoreAccounts = "SACT";  // replaces the account file
inline constexpr std::string_view kListDirectory = "GDIR";  // + a folder
inline constexpr std::string_view kFetchFile = "GFIL";      // + a file name
inline constexpr std::string_view kStoreFile = "SFIL";      // + a file name
inline constexpr std::string_view kResources = "GRES";      // the resource files and their checksums
inline constexpr std::string_view kChecksum = "GFCS";       // + a file name

inline constexpr std::array<std::string_view, 13> kOtherWords{
    kSpawnList,     kMergeItem,     kMergeNpc,      kQuit,      kGamePort,  kStartServer, kFetchAccounts,
    kStoreAccounts, kListDirectory, kFetchFile,     kStoreFile, kResources, kChecksum};

}  // namespace wire
