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
#include "wire/commands.h"
#include "wire/replies.h"

namespace protocol {

namespace {

using gamedata::NameSource;

// What a row's log texts are filled with.
enum class LogArgs { kUser, kArgumentUser, kUserArgument };

// How a row ends: the session goes on, or it has ended.
enum class Next { kContinue, kEnd };

// What is special about a row.
enum RowFlag : unsigned {
  kWrite = 1,           // needs write level, and READONLY refuses it
  kRefuseWithZero = 2,  // refused with the reply "0" instead of the no-privilege text
  kReadsNamedFile = 4,  // reads the file its argument names: the account files need write level
};

// Logged when a session without write level names an account file, as GACT
// logs it.
constexpr const char* kAccountRefusal = "User %s lacks sufficient privelege to retrieve the account file";

struct Command;
using Handler = Next (*)(ClientSession& session, const std::string& argument, const Command& row);

struct Command {
  std::string_view word;
  unsigned flags;
  const char* action;   // logged before the work
  LogArgs action_args;
  const char* refusal;  // logged when the session may not write
  LogArgs refusal_args;
  Handler work;  // a row with GetFile or PutFile has a word with a fixed file (wire/commands.h)
};

Next GetFile(ClientSession& s, const std::string&, const Command& row) {
  gamedata::SendWholeFile(s.socket, std::string(wire::FixedFile(row.word)), NameSource::kFixed);
  return Next::kContinue;
}

// After an upload whose stream broke, the session ends: none of its bytes
// may be read as a command.
Next AfterUpload(ClientSession& s, int result) {
  if (result >= 0) return Next::kContinue;
  EndAfterReceiveFailure(s);
  return Next::kEnd;
}

Next PutFile(ClientSession& s, const std::string&, const Command& row) {
  return AfterUpload(s, gamedata::ReceiveWholeFile(s.socket, std::string(wire::FixedFile(row.word))));
}

Next SpawnPoints(ClientSession& s, const std::string&, const Command&) {
  gamedata::SendSpawnList(s.socket);
  return Next::kContinue;
}

Next MergeItem(ClientSession& s, const std::string&, const Command&) {
  return AfterUpload(s, gamedata::MergeCustomEntry(s.socket, s.user, true));
}

Next MergeNpc(ClientSession& s, const std::string&, const Command&) {
  return AfterUpload(s, gamedata::MergeCustomEntry(s.socket, s.user, false));
}

Next Quit(ClientSession& s, const std::string&, const Command&) {
  SendPacket(s.socket, wire::kClosingConnection);
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
  gamedata::SendWholeFile(s.socket, s.account_read_path, NameSource::kFixed);
  return Next::kContinue;
}

Next PutAccounts(ClientSession& s, const std::string&, const Command&) {
  return AfterUpload(s, gamedata::ReceiveWholeFile(s.socket, s.account_write_path));
}

Next Directory(ClientSession& s, const std::string& argument, const Command&) {
  // A session without write level does not see the account files.
  gamedata::SendDirectoryListing(s.socket, argument, NameSource::kClient, s.access == Access::kWrite);
  return Next::kContinue;
}

Next GetNamedFile(ClientSession& s, const std::string& argument, const Command&) {
  gamedata::SendWholeFile(s.socket, argument, NameSource::kClient);
  return Next::kContinue;
}

Next PutNamedFile(ClientSession& s, const std::string& argument, const Command&) {
  return AfterUpload(s, gamedata::ReceiveWholeFile(s.socket, argument));
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
constexpr Command kCommands[] = {
    {"GSPN", 0, "Retrieving SpawnPoints for user %s\n", U, nullptr, U, SpawnPoints},
    {"GITM", 0, "Retrieving Items for user %s\n", U, nullptr, U, GetFile},
    {"GCHR", 0, "Retrieving NPCs for user %s\n", U, nullptr, U, GetFile},
    {"GDFS", 0, "Retrieving defs for user %s\n", U, nullptr, U, GetFile},
    {"GMAP", 0, "Retrieving map for user %s\n", U, nullptr, U, GetFile},
    {"GTBL", 0, "Retrieving tables for user %s\n", U, nullptr, U, GetFile},
    {"GTPL", 0, "Retrieving templates for user %s\n", U, nullptr, U, GetFile},
    {"GMAG", 0, "Retrieving magic for user %s\n", U, nullptr, U, GetFile},
    {"GSKL", 0, "Retrieving skills for user %s\n", U, nullptr, U, GetFile},
    {"GSPE", 0, "Retrieving speech for user %s\n", U, nullptr, U, GetFile},
    {"GNAM", 0, "Retrieving names for user %s\n", U, nullptr, U, GetFile},
    {"SITM", kWrite, "Receiving custom item from user %s\n", U,
     "User %s has insufficient priveleges to update the items script\n", U, MergeItem},
    {"SCHR", kWrite, "Receiving custom NPC from user %s\n", U,
     "User %s has insufficient priveleges to update the NPC script\n", U, MergeNpc},
    {"SDFS", kWrite, "Updating defs from user %s\n", U,
     "User %s has insufficient priveleges to update the defs script\n", U, PutFile},
    {"SMAP", kWrite, "Updating map from user %s\n", U,
     "User %s has insufficient priveleges to update the map script\n", U, PutFile},
    {"STBL", kWrite, "Updating tables from user %s\n", U,
     "User %s has insufficient priveleges to update the tables script\n", U, PutFile},
    {"STPL", kWrite, "Updating templates from user %s\n", U,
     "User %s has insufficient priveleges to update the templates script\n", U, PutFile},
    {"SMAG", kWrite, "Updating magic from user %s\n", U,
     "User %s has insufficient priveleges to update the magic script\n", U, PutFile},
    {"SSKL", kWrite, "Updating skills from user %s\n", U,
     "User %s has insufficient priveleges to update the skills script\n", U, PutFile},
    {"SSPE", kWrite, "Updating speech from user %s\n", U,
     "User %s has insufficient priveleges to update the speech script\n", U, PutFile},
    {"SNAM", kWrite, "Updating names from user %s\n", U,
     "User %s has insufficient priveleges to update the names script\n", U, PutFile},
    {"QUIT", 0, nullptr, U, nullptr, U, Quit},
    {"GTRG", 0, "Retrieving Triggers for user %s\n", U, nullptr, U, GetFile},
    {"STRG", kWrite, "Updating triggers from user %s\n", U,
     "User %s has insufficient priveleges to update the trigger script\n", U, PutFile},
    {"PORT", kWrite | kRefuseWithZero, "Retrieving VORN port for user %s\n", U,
     "User %s has insufficient priveleges to retrieve the VORN port\n", U, Port},
    {"GINI", 0, "Retrieving ini file for user %s\n", U, nullptr, U, GetFile},
    {"SINI", kWrite, "Updating ini file from user %s\n", U,
     "User %s has insufficient priveleges to update the ini file\n", U, PutFile},
    {"STRT", 0, "User %s is attempting to start the server\n", U, nullptr, U, Start},
    {"GACT", kWrite, "Retrieving account file for user %s\n", U, kAccountRefusal, U, GetAccounts},
    {"SACT", kWrite, "Updating account file from user %s\n", U,
     "User %s has insufficient priveleges to update the account file\n", U, PutAccounts},
    {"GDIR", 0, "Retrieving directory information for path %s for user %s\n", AU, nullptr, U, Directory},
    {"GFIL", kReadsNamedFile, "Retrieving file %s for user %s\n", AU, nullptr, U, GetNamedFile},
    // Storing a file is writing: without write level, or under READONLY, it is refused.
    {"SFIL", kWrite, "Updating file %s from user %s\n", AU, "User %s has insufficient priveleges to update file %s\n",
     LogArgs::kUserArgument, PutNamedFile},
    {"SCH2", kWrite, "Updating NPC file from user %s\n", U,
     "User %s has insufficient priveleges to update the NPC file\n", U, PutFile},
    {"SIT2", kWrite, "Updating Item file from user %s\n", U,
     "User %s has insufficient priveleges to update the Item file\n", U, PutFile},
    {"GRES", 0, "Retrieving Resources for user %s\n", U, nullptr, U, Resources},
    {"GFCS", kReadsNamedFile, "Getting checksum on file %s for user %s\n", AU, nullptr, U, Checksum},
};
static_assert(std::size(kCommands) == 37);

constexpr const Command* FindRow(std::string_view word) {
  for (const Command& row : kCommands) {
    if (row.word == word) return &row;
  }
  return nullptr;
}

// The table and the words both ends of the protocol know agree: every word is
// a row, a script's words fetch and store its file, and no other row does.
constexpr bool AgreesWithWire() {
  for (const wire::ScriptWords& script : wire::kScriptWords) {
    const Command* fetch = FindRow(script.fetch);
    const Command* store = FindRow(script.store);
    if (fetch == nullptr || fetch->work != GetFile || store == nullptr || store->work != PutFile) return false;
  }
  for (std::string_view word : wire::kOtherWords) {
    if (FindRow(word) == nullptr) return false;
  }
  for (const Command& row : kCommands) {
    if ((row.work == GetFile || row.work == PutFile) && wire::FixedFile(row.word).empty()) return false;
  }
  return true;
}
static_assert(AgreesWithWire());

// Logs one of a row's texts, filled as the row says; the client's texts are
// written so that they cannot pass for lines of their own.
void LogRowText(const char* text, LogArgs args, const ClientSession& s, const std::string& argument) {
  if (text == nullptr) return;
  const std::string user = host::EscapeForLog(s.user);
  const std::string arg = host::EscapeForLog(argument);
  switch (args) {
    case LogArgs::kUser:
      host::WriteLog(text, user.c_str());
      break;
    case LogArgs::kArgumentUser:
      host::WriteLog(text, arg.c_str(), user.c_str());
      break;
    case LogArgs::kUserArgument:
      host::WriteLog(text, user.c_str(), arg.c_str());
      break;
  }
}

// False (and refused, the refusal logged with `refusal`) when the session may
// not write.
bool MayWrite(ClientSession& s, const Command& row, const char* refusal, LogArgs refusal_args,
              const std::string& argument) {
  if (host::Config().read_only) {
    host::WriteLog("Orvosvr is in readonly mode\n");
  } else if (s.access != Access::kWrite) {
    LogRowText(refusal, refusal_args, s, argument);
  } else {
    return true;
  }
  if (row.flags & kRefuseWithZero) {
    SendPacket(s.socket, wire::kPortRefused);
  } else {
    SendNoPrivilege(s);
  }
  return false;
}

// Performs one row; kEnd when the session has ended.
Next Perform(ClientSession& s, const Command& row, const std::string& argument) {
  if ((row.flags & kWrite) && !MayWrite(s, row, row.refusal, row.refusal_args, argument)) return Next::kContinue;
  // The account files and their companions are read at write level only.
  if ((row.flags & kReadsNamedFile) && gamedata::IsAccountCompanion(platform::NativePath(argument)) &&
      !MayWrite(s, row, kAccountRefusal, LogArgs::kUser, argument)) {
    return Next::kContinue;
  }
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

void RunCommandLoop(ClientSession& session) {
  std::string request;
  for (;;) {
    // Between commands a session waits for as long as its connection lasts.
    if (platform::WaitReadable(session.socket, -1) == platform::WaitResult::kError) {
      EndSession(session);
      return;
    }
    // Zero-length packets between commands do not end that wait.
    // A request longer than a word and a name is an attack.
    Received received = ReceivePacket(session.socket, request, wire::kMaxPayload, Patience::kConnection);
    if (EndOnBadReceive(session, received, request, wire::kMaxRequestLength)) return;
    if (received == Received::kIdle) {
      EndSession(session);
      return;
    }
    std::string word = request.substr(0, wire::kCommandWordLength);
    host::CutAtNul(word);
    std::string argument = request.size() > wire::kCommandWordLength ? request.substr(wire::kCommandWordLength) : std::string();
    host::CutAtNul(argument);

    int row = FindCommand(word);
    if (row < 0) {
      SendPacket(session.socket, wire::CommandUnknown(word));
      host::WriteLog("Unknown message %s received from user %s\n", host::EscapeForLog(word).c_str(),
                     host::EscapeForLog(session.user).c_str());
      continue;
    }
    if (Perform(session, kCommands[row], argument) == Next::kEnd) return;
  }
}

}  // namespace protocol
