#include "service/protocol/command_table.h"

#include <string>

#include "service/gamedata/custom_entry.h"
#include "service/gamedata/file_transfer.h"
#include "service/gamedata/path_guard.h"
#include "service/gamedata/checksum.h"
#include "service/gamedata/directory_listing.h"
#include "service/gamedata/resources.h"
#include "service/gamedata/spawn_list.h"
#include "service/host/config.h"
#include "service/host/log.h"
#include "service/host/text_lines.h"
#include "service/platform/fs.h"
#include "service/protocol/framing.h"
#include "service/protocol/launch.h"
#include "service/protocol/login.h"

namespace protocol {

namespace {

// A request of this size or more is an attack: no argument is that long.
constexpr long kRequestLimit = 264;

using gamedata::NameSource;

// What a row's log texts are filled with.
enum class LogArgs { kUser, kArgumentUser, kUserArgument };

// How a row ends: the session goes on, or it has ended.
enum class Next { kContinue, kEnd };

struct Command;
using Handler = Next (*)(ClientSession& session, const std::string& argument, const Command& row);

struct Command {
  std::string_view word;
  bool write;
  const char* action;   // logged before the work
  LogArgs action_args;
  const char* refusal;  // logged when the session may not write
  LogArgs refusal_args;
  Handler work;
  const char* file;  // the fixed file of the row, if any
};

Next GetFile(ClientSession& s, const std::string&, const Command& row) {
  gamedata::SendWholeFile(s.socket, row.file, NameSource::kFixed);
  return Next::kContinue;
}

Next PutFile(ClientSession& s, const std::string&, const Command& row) {
  gamedata::ReceiveWholeFile(s.socket, row.file, NameSource::kFixed);
  return Next::kContinue;
}

Next SpawnPoints(ClientSession& s, const std::string&, const Command&) {
  gamedata::SendSpawnList(s.socket);
  return Next::kContinue;
}

Next MergeItem(ClientSession& s, const std::string&, const Command&) {
  gamedata::MergeCustomEntry(s.socket, s.user, true);
  return Next::kContinue;
}

Next MergeNpc(ClientSession& s, const std::string&, const Command&) {
  gamedata::MergeCustomEntry(s.socket, s.user, false);
  return Next::kContinue;
}

Next Quit(ClientSession& s, const std::string&, const Command&) {
  SendFormatted(s.socket, "Closing connection.%s", "\r\n");
  EndSession(s);
  return Next::kEnd;
}

Next Port(ClientSession& s, const std::string&, const Command&) {
  SendFormatted(s.socket, "%ld", static_cast<long>(host::Config().game_port));
  return Next::kContinue;
}

Next Start(ClientSession& s, const std::string&, const Command&) {
  return StartGameServer(s) ? Next::kEnd : Next::kContinue;
}

Next GetAccounts(ClientSession& s, const std::string&, const Command&) {
  gamedata::SendWholeFile(s.socket, AccountReadPath(), NameSource::kFixed);
  return Next::kContinue;
}

Next PutAccounts(ClientSession& s, const std::string&, const Command&) {
  gamedata::ReceiveWholeFile(s.socket, AccountWritePath(), NameSource::kFixed);
  return Next::kContinue;
}

Next Directory(ClientSession& s, const std::string& argument, const Command&) {
  gamedata::SendDirectoryListing(s.socket, argument, NameSource::kClient);
  return Next::kContinue;
}

Next GetNamedFile(ClientSession& s, const std::string& argument, const Command&) {
  gamedata::SendWholeFile(s.socket, argument, NameSource::kClient);
  return Next::kContinue;
}

Next PutNamedFile(ClientSession& s, const std::string& argument, const Command&) {
  gamedata::ReceiveWholeFile(s.socket, argument, NameSource::kClient);
  return Next::kContinue;
}

Next Resources(ClientSession& s, const std::string&, const Command&) {
  gamedata::SendResourceList(s.socket);
  return Next::kContinue;
}

Next Checksum(ClientSession& s, const std::string& argument, const Command&) {
  gamedata::SendFileChecksum(s.socket, argument, NameSource::kClient);
  return Next::kContinue;
}

constexpr LogArgs U = LogArgs::kUser;
constexpr LogArgs AU = LogArgs::kArgumentUser;

// The command table; the row number is the command's index.
const Command kCommands[] = {
    {"GSPN", false, "Retrieving SpawnPoints for user %s\n", U, nullptr, U, SpawnPoints, nullptr},
    {"GITM", false, "Retrieving Items for user %s\n", U, nullptr, U, GetFile, "gyrionitem2.scp"},
    {"GCHR", false, "Retrieving NPCs for user %s\n", U, nullptr, U, GetFile, "gyrionchar2.scp"},
    {"GDFS", false, "Retrieving defs for user %s\n", U, nullptr, U, GetFile, "gyriondefs2.scp"},
    {"GMAP", false, "Retrieving map for user %s\n", U, nullptr, U, GetFile, "gyrionmap2.scp"},
    {"GTBL", false, "Retrieving tables for user %s\n", U, nullptr, U, GetFile, "gyriontables.scp"},
    {"GTPL", false, "Retrieving templates for user %s\n", U, nullptr, U, GetFile, "gyriontemplate2.scp"},
    {"GMAG", false, "Retrieving magic for user %s\n", U, nullptr, U, GetFile, "gyrionmagic.scp"},
    {"GSKL", false, "Retrieving skills for user %s\n", U, nullptr, U, GetFile, "gyrionskill.scp"},
    {"GSPE", false, "Retrieving speech for user %s\n", U, nullptr, U, GetFile, "gyrionspee.scp"},
    {"GNAM", false, "Retrieving names for user %s\n", U, nullptr, U, GetFile, "gyrionname.scp"},
    {"SITM", true, "Receiving custom item from user %s\n", U,
     "User %s has insufficient priveleges to update the items script\n", U, MergeItem, nullptr},
    {"SCHR", true, "Receiving custom NPC from user %s\n", U,
     "User %s has insufficient priveleges to update the NPC script\n", U, MergeNpc, nullptr},
    {"SDFS", true, "Updating defs from user %s\n", U,
     "User %s has insufficient priveleges to update the defs script\n", U, PutFile, "gyriondefs2.scp"},
    {"SMAP", true, "Updating map from user %s\n", U,
     "User %s has insufficient priveleges to update the map script\n", U, PutFile, "gyrionmap2.scp"},
    {"STBL", true, "Updating tables from user %s\n", U,
     "User %s has insufficient priveleges to update the tables script\n", U, PutFile, "gyriontables.scp"},
    {"STPL", true, "Updating templates from user %s\n", U,
     "User %s has insufficient priveleges to update the templates script\n", U, PutFile, "gyriontemplate2.scp"},
    {"SMAG", true, "Updating magic from user %s\n", U,
     "User %s has insufficient priveleges to update the magic script\n", U, PutFile, "gyrionmagic.scp"},
    {"SSKL", true, "Updating skills from user %s\n", U,
     "User %s has insufficient priveleges to update the skills script\n", U, PutFile, "gyrionskill.scp"},
    {"SSPE", true, "Updating speech from user %s\n", U,
     "User %s has insufficient priveleges to update the speech script\n", U, PutFile, "gyrionspee.scp"},
    {"SNAM", true, "Updating names from user %s\n", U,
     "User %s has insufficient priveleges to update the names script\n", U, PutFile, "gyrionname.scp"},
    {"QUIT", false, nullptr, U, nullptr, U, Quit, nullptr},
    {"GTRG", false, "Retrieving Triggers for user %s\n", U, nullptr, U, GetFile, "gyriontrig2.scp"},
    {"STRG", true, "Updating triggers from user %s\n", U,
     "User %s has insufficient priveleges to update the trigger script\n", U, PutFile, "gyriontrig2.scp"},
    {"PORT", true, "Retrieving VORN port for user %s\n", U,
     "User %s has insufficient priveleges to retrieve the VORN port\n", U, Port, nullptr},
    {"GINI", false, "Retrieving ini file for user %s\n", U, nullptr, U, GetFile, "gyrion.ini"},
    {"SINI", true, "Updating ini file from user %s\n", U,
     "User %s has insufficient priveleges to update the ini file\n", U, PutFile, "gyrion.ini"},
    {"STRT", false, "User %s is attempting to start the server\n", U, nullptr, U, Start, nullptr},
    {"GACT", true, "Retrieving account file for user %s\n", U,
     "User %s lacks sufficient privelege to retrieve the account file", U, GetAccounts, nullptr},
    {"SACT", true, "Updating account file from user %s\n", U,
     "User %s has insufficient priveleges to update the account file\n", U, PutAccounts, nullptr},
    {"GDIR", false, "Retrieving directory information for path %s for user %s\n", AU, nullptr, U, Directory,
     nullptr},
    {"GFIL", false, "Retrieving file %s for user %s\n", AU, nullptr, U, GetNamedFile, nullptr},
    // Storing a file is writing: without write level, or under READONLY, it is refused.
    {"SFIL", true, "Updating file %s from user %s\n", AU, "User %s has insufficient priveleges to update file %s\n",
     LogArgs::kUserArgument, PutNamedFile, nullptr},
    {"SCH2", true, "Updating NPC file from user %s\n", U,
     "User %s has insufficient priveleges to update the NPC file\n", U, PutFile, "gyrionchar2.scp"},
    {"SIT2", true, "Updating Item file from user %s\n", U,
     "User %s has insufficient priveleges to update the Item file\n", U, PutFile, "gyrionitem2.scp"},
    {"GRES", false, "Retrieving Resources for user %s\n", U, nullptr, U, Resources, nullptr},
    {"GFCS", false, "Getting checksum on file %s for user %s\n", AU, nullptr, U, Checksum, nullptr},
};
static_assert(std::size(kCommands) == 37);

constexpr int kGactRow = 28;

// Logs one of a row's texts, filled as the row says.
void LogRowText(const char* text, LogArgs args, const ClientSession& s, const std::string& argument) {
  if (text == nullptr) return;
  switch (args) {
    case LogArgs::kUser:
      host::WriteLog(text, s.user.c_str());
      break;
    case LogArgs::kArgumentUser:
      host::WriteLog(text, argument.c_str(), s.user.c_str());
      break;
    case LogArgs::kUserArgument:
      host::WriteLog(text, s.user.c_str(), argument.c_str());
      break;
  }
}

// False (and refused) when the session may not write.
bool MayWrite(ClientSession& s, const Command& row, const std::string& argument) {
  if (host::Config().read_only) {
    host::WriteLog("Orvosvr is in readonly mode\n");
  } else if (s.access != kWriteAccess) {
    LogRowText(row.refusal, row.refusal_args, s, argument);
  } else {
    return true;
  }
  if (row.work == Port) {
    SendPacket(s.socket, "0");
  } else {
    SendNoPrivilege(s);
  }
  return false;
}

// GFIL and GFCS of the account files need write level, like GACT.
bool NamesAccountFile(const Command& row, const std::string& argument) {
  if (row.work != GetNamedFile && row.work != Checksum) return false;
  return gamedata::IsAccountFile(platform::NativePath(argument));
}

// Performs one row; kEnd when the session has ended.
Next Perform(ClientSession& s, const Command& row, const std::string& argument) {
  if (row.write && !MayWrite(s, row, argument)) return Next::kContinue;
  if (NamesAccountFile(row, argument) && !MayWrite(s, kCommands[kGactRow], argument)) return Next::kContinue;
  LogRowText(row.action, row.action_args, s, argument);
  return row.work(s, argument, row);
}

}  // namespace

int FindCommand(std::string_view word) {
  for (size_t i = 0; i < std::size(kCommands); ++i) {
    if (kCommands[i].word.size() == word.size() && host::StartsWithNoCase(word, kCommands[i].word)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void SendNoPrivilege(ClientSession& session) {
  SendFormatted(session.socket, "This user does not have sufficient priveleges on the remote server%c%c", '\r', '\n');
  PauseAfterSend();
}

void EndSession(ClientSession& session) {
  platform::ShutdownBoth(session.socket);
  host::WriteLog("Socket %ld from %s closed.\n", session.socket.Id(), session.address.c_str());
  session.socket.Close();
}

void RunCommandLoop(ClientSession& session) {
  std::string request;
  for (;;) {
    // Between commands a session waits for as long as its connection lasts.
    if (platform::WaitReadable(session.socket, -1) == platform::WaitResult::kError) {
      EndSession(session);
      return;
    }
    long n = ReceivePacket(session.socket, request, kMaxPayload);
    if (n < 0) {
      platform::ShutdownBoth(session.socket);
      host::WriteLog("Error receiving data on socket %ld.  Closing\n", session.socket.Id());
      host::WriteLog("Socket %ld from %s closed.\n", session.socket.Id(), session.address.c_str());
      session.socket.Close();
      return;
    }
    if (n >= kRequestLimit) {
      platform::ShutdownBoth(session.socket);
      host::WriteLog("Exploit attempt from %s blocked.\n", session.address.c_str());
      session.socket.Close();
      return;
    }
    if (n == 0) {
      EndSession(session);
      return;
    }
    std::string word = request.substr(0, 4);
    host::CutAtNul(word);
    std::string argument = request.size() > 4 ? request.substr(4) : std::string();
    host::CutAtNul(argument);

    int row = FindCommand(word);
    if (row < 0) {
      SendFormatted(session.socket, "Command unknown (%s).%s", word.c_str(), "\r\n");
      host::WriteLog("Unknown message %s received from user %s\n", word.c_str(), session.user.c_str());
      continue;
    }
    if (Perform(session, kCommands[row], argument) == Next::kEnd) return;
  }
}

}  // namespace protocol
