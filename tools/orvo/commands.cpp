#include "tools/orvo/commands.h"

#include <array>
#include <cstdio>
#include <ostream>

#include "tools/orvo/edit.h"
#include "tools/orvo/json.h"
#include "tools/orvo/profiles.h"
#include "tools/orvo/replies.h"
#include "tools/orvo/sync.h"

namespace orvo {

namespace {

// The last part of a name that may use either separator.
std::string LastPart(const std::string& name) {
  size_t sep = name.find_last_of("/\\");
  return sep == std::string::npos ? name : name.substr(sep + 1);
}

int RunGet(Context& ctx, const Options& o) {
  Session& s = *ctx.session;
  const std::string& name = o.words[1];
  std::string target = o.output.value_or(LastPart(name));
  if (target.empty()) return s.Fail(kInvalidInput, "name an output file with -o");
  if (target != "-") return FetchToFile(s, FetchRequest(name), target);
  long long size = 0;
  std::ostream& out = *ctx.env.out;
  return Fetch(s, FetchRequest(name), [&](std::string_view chunk) {
    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    return static_cast<bool>(out);
  }, &size);
}

// The shell's standard input holds its commands, not a file.
int RefuseStandardInput(Context& ctx, const std::string& path) {
  if (!ctx.in_shell || path != "-") return kOk;
  return ctx.session->Fail(kInvalidInput, "standard input holds the shell's commands; name a file");
}

int RunPut(Context& ctx, const Options& o) {
  const std::string& name = o.words[1];
  std::string path = o.words.size() > 2 ? o.words[2] : LastPart(name);
  if (int r = RefuseStandardInput(ctx, path); r != kOk) return r;
  std::string data, error;
  if (ReadLocalInput(path, ctx.env, &data, &error) != 0) return ctx.session->Fail(kLocalFileError, error);
  int r = Store(*ctx.session, StoreRequest(name), data, o.large);
  if (r == kOk) *ctx.env.out << "stored " << name << " (" << data.size() << " bytes)\n";
  return r;
}

int RunMerge(Context& ctx, const Options& o) {
  if (int r = RefuseStandardInput(ctx, o.words[2]); r != kOk) return r;
  std::string data, error;
  if (ReadLocalInput(o.words[2], ctx.env, &data, &error) != 0) return ctx.session->Fail(kLocalFileError, error);
  uint32_t id = 0;
  int r = MergeEntry(*ctx.session, o.words[1] == "item" ? EntryKind::kItem : EntryKind::kNpc, data, &id);
  if (r != kOk) return r;
  char text[16];
  std::snprintf(text, sizeof text, "%04x", id);
  *ctx.env.out << text << "\n";
  return kOk;
}

int RunSpawns(Context& ctx, const Options& o) {
  std::string list;
  int r = FetchSpawnList(*ctx.session, &list);
  if (r != kOk) return r;
  if (!o.json) {
    *ctx.env.out << list;
    return kOk;
  }
  // Each line is KIND,WHAT,POSITION; the position holds commas of its own.
  JsonWriter json;
  json.BeginArray();
  for (size_t start = 0; start < list.size();) {
    size_t end = list.find('\n', start);
    std::string line = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
    start = end == std::string::npos ? list.size() : end + 1;
    if (line.ends_with('\r')) line.pop_back();
    if (line.empty()) continue;
    size_t first = line.find(',');
    size_t second = first == std::string::npos ? first : line.find(',', first + 1);
    json.BeginObject().Key("kind").String(line.substr(0, first));
    json.Key("what").String(first == std::string::npos ? "" : line.substr(first + 1, second - first - 1));
    json.Key("position").String(second == std::string::npos ? "" : line.substr(second + 1)).EndObject();
  }
  *ctx.env.out << json.EndArray().Text();
  return kOk;
}

int RunDir(Context& ctx, const Options& o) {
  std::vector<DirectoryRecord> records;
  int r = ListDirectory(*ctx.session, o.words[1], &records);
  if (r != kOk) return r;
  JsonWriter json;
  json.BeginArray();
  for (const DirectoryRecord& record : records) {
    if (o.json) {
      json.BeginObject().Key("name").String(record.name).Key("attributes").Number(record.attributes);
      json.Key("folder").Bool((record.attributes & kAttrDirectory) != 0).EndObject();
      continue;
    }
    char attributes[16];
    std::snprintf(attributes, sizeof attributes, "%08x", record.attributes);
    *ctx.env.out << attributes << " " << AttributeLetters(record.attributes) << " " << record.name << "\n";
  }
  if (o.json) *ctx.env.out << json.EndArray().Text();
  return kOk;
}

int RunChecksum(Context& ctx, const Options& o) {
  long long checksum = 0;
  int r = GetChecksum(*ctx.session, o.words[1], &checksum);
  if (r != kOk) return r;
  if (o.json) {
    *ctx.env.out << JsonWriter().BeginObject().Key("name").String(o.words[1]).Key("checksum").Number(checksum)
                        .EndObject().Text();
  } else {
    *ctx.env.out << checksum << "\n";
  }
  return kOk;
}

int RunResources(Context& ctx, const Options& o) {
  std::vector<ResourceEntry> resources;
  int r = ListResources(*ctx.session, &resources);
  if (r != kOk) return r;
  JsonWriter json;
  json.BeginArray();
  for (const ResourceEntry& entry : resources) {
    if (o.json) {
      json.BeginObject().Key("name").String(entry.name).Key("checksum").Number(entry.checksum).EndObject();
    } else {
      *ctx.env.out << entry.name << "\t" << entry.checksum << "\n";
    }
  }
  if (o.json) *ctx.env.out << json.EndArray().Text();
  return kOk;
}

int RunPort(Context& ctx, const Options& o) {
  long long port = 0;
  int r = GetGamePort(*ctx.session, &port);
  if (r != kOk) return r;
  if (o.json) {
    *ctx.env.out << JsonWriter().BeginObject().Key("port").Number(port).EndObject().Text();
  } else {
    *ctx.env.out << port << "\n";
  }
  return kOk;
}

int RunStart(Context& ctx, const Options&) {
  // The service never answers STRT. When it starts the game server as a
  // system service it closes the connection, otherwise it answers QUIT: a
  // QUIT tells where the session stands, and a shell logs in again for the
  // next command.
  Session& s = *ctx.session;
  int r = StartGameServer(s);
  if (r != kOk) return r;
  r = Quit(s);
  if (r != kOk && r != kConnectionLost) return r;
  s.MarkClosed();
  *ctx.env.out << "start requested; the service's log tells the outcome\n";
  return kOk;
}

int RunRaw(Context& ctx, const Options& o) {
  Session& s = *ctx.session;
  std::ostream& out = *ctx.env.out;
  // Every packet is shown; the first refusal or failure text decides the result.
  int refused = kOk;
  std::string refusal;
  int r = RawExchange(s, o.words[1] + (o.words.size() > 2 ? o.words[2] : ""), o.idle_ms, [&](std::string_view packet) {
    out << packet.size() << ": " << EscapedBytes(packet) << "\n";
    out.flush();
    int result = FailureReplyResult(packet);
    if (result != kProtocolError && refused == kOk) {
      refused = result;
      refusal = PrintableText(packet);
    }
  });
  // Nothing says where the exchange stands now: a shell starts afresh.
  s.MarkClosed();
  if (r < 0) return r;
  if (refused != kOk) return s.Fail(refused, refusal);
  return kOk;
}

int RunProfiles(Context& ctx, const Options& o) {
  std::string path = ConfigFilePath(ctx.env), error;
  std::vector<Profile> profiles;
  if (path.empty()) return ctx.session->Fail(kLocalFileError, "neither XDG_CONFIG_HOME nor HOME is set");
  if (LoadProfiles(ctx.env, path, &profiles, &error) != 0) return ctx.session->Fail(kLocalFileError, error);
  // The mark goes to the profile that these options would connect with.
  const Options& chosen_by = ctx.command_line ? *ctx.command_line : o;
  const Profile* chosen = nullptr;
  std::optional<std::string> wanted = chosen_by.profile ? chosen_by.profile : ctx.env.Variable("ORVO_PROFILE");
  ChooseProfile(profiles, wanted, chosen_by.host, chosen_by.ssh, &chosen, &error);
  if (profiles.empty()) *ctx.env.out << "no profiles in " << path << "\n";
  for (const Profile& p : profiles) {
    std::string where = p.user.value_or("?") + "@" + p.host.value_or(kDefaultHost) + ":" +
                        std::to_string(p.port.value_or(kDefaultPort)) + (p.ssh ? " via ssh " + *p.ssh : "");
    std::string password = p.password_file ? "password file " + *p.password_file
                           : p.password_command ? "password command"
                                                : "password asked";
    *ctx.env.out << (&p == chosen ? "* " : "  ") << p.name << "\t" << where << "\t" << password << "\n";
  }
  return kOk;
}

int RunHelp(Context& ctx, const Options&) {
  *ctx.env.out << CommandUsage(Where::kShell);
  return kOk;
}

constexpr std::array<CommandRow, 16> kCommands{{
    {"get", 1, 1, kTakesOutput, "NAME [-o FILE]",
     "fetch a file to FILE (default: the last part of NAME; - for standard output)", "r", RunGet},
    {"put", 1, 2, kTakesLarge, "NAME [FILE]",
     "store FILE as NAME (default: the last part of NAME; - for standard input)", "rl", RunPut},
    {"merge", 2, 2, 0, "item|npc FILE", "merge one item or NPC entry and print the ID it got", "kl", RunMerge},
    {"edit", 1, 1, kTakesLarge, "NAME",
     "fetch a file, edit it with $VISUAL or $EDITOR, store it back if unchanged there", "r", RunEdit},
    {"sync", 2, 3, kTakesSync | kTakesJson | kTakesLarge,
     "pull|push LOCALDIR [REMOTEDIR] [--dry-run] [--delete] [--force]",
     "bring a local folder and a remote one (default .) in step; push refuses files changed on the server since the "
     "last sync unless --force", "klf", RunSync},
    {"spawns", 0, 0, kTakesJson, "", "print the spawn list", "", RunSpawns},
    {"dir", 1, 1, kTakesJson, "PATH", "list a folder of the game server (. for its own folder)", "f", RunDir},
    {"checksum", 1, 1, kTakesJson, "NAME", "print the checksum of a file", "r", RunChecksum},
    {"resources", 0, 0, kTakesJson, "", "print the resource files with their checksums", "", RunResources},
    {"port", 0, 0, kTakesJson, "", "print the game server's port", "", RunPort},
    {"start", 0, 0, 0, "", "start the game server", "", RunStart},
    {"raw", 1, 2, 0, "WORD [ARG]", "send WORD followed directly by ARG and print each reply packet", "", RunRaw},
    {"shell", 0, 0, kNotInShell, "", "log in once and read commands (with line editing on a terminal)", "", nullptr},
    {"profiles", 0, 0, kNoSession, "", "list the saved servers of the config file", "", RunProfiles},
    {"help", 0, 0, kNoSession | kOnlyInShell, "", "show the commands", "", RunHelp},
    {"quit", 0, 0, kOnlyInShell, "", "end the session (so does the end of the input)", "", nullptr},
}};

}  // namespace

bool Available(const CommandRow& row, Where where) {
  return !(where == Where::kShell && (row.flags & kNotInShell)) &&
         !(where == Where::kCommandLine && (row.flags & kOnlyInShell));
}

const CommandRow* FindCommand(std::string_view name) {
  for (const CommandRow& row : kCommands) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

void ForEachCommand(const std::function<void(const CommandRow&)>& visit) {
  for (const CommandRow& row : kCommands) visit(row);
}

std::string CommandUsage(Where where) {
  std::string text;
  for (const CommandRow& row : kCommands) {
    if (!Available(row, where)) continue;
    std::string left = "  " + std::string(row.name) + (row.usage.empty() ? "" : " ") + std::string(row.usage);
    if (row.flags & kTakesJson) left += " [--json]";
    text += left + "\n      " + std::string(row.help) + "\n";
  }
  return text;
}

std::string CheckCommand(const Options& o, Where where) {
  if (o.words.empty()) return "no command given";
  const std::string& command = o.words.front();
  const CommandRow* row = FindCommand(command);
  if (row == nullptr || !Available(*row, where)) {
    return "unknown command " + command + (where == Where::kShell ? " (help lists them)" : "");
  }
  size_t given = o.words.size() - 1;
  if (given < row->min_args || given > row->max_args) return "wrong number of arguments for " + command;
  if (o.output && !(row->flags & kTakesOutput)) return "-o belongs to get";
  if (o.json && !(row->flags & kTakesJson)) return "--json belongs to spawns, dir, checksum, resources, port and sync";
  if ((o.dry_run || o.delete_extra) && !(row->flags & kTakesSync)) return "--dry-run and --delete belong to sync";
  if (o.large && !(row->flags & kTakesLarge)) return "--large belongs to put, edit and sync";
  if (o.force && !(command == "sync" && o.words[1] == "push")) return "--force belongs to sync push";
  if (command == "merge" && o.words[1] != "item" && o.words[1] != "npc") {
    return "merge takes item or npc, not " + o.words[1];
  }
  if (command == "sync") {
    if (o.words[1] != "pull" && o.words[1] != "push") return "sync takes pull or push, not " + o.words[1];
    if (o.words[1] == "push" && o.delete_extra) return "push never deletes remote files: --delete belongs to pull";
  }
  return "";
}

int RunCommand(Context& ctx, const Options& options) {
  const CommandRow* row = FindCommand(options.words.front());
  if (row == nullptr || row->run == nullptr) return ctx.session->Fail(kInvalidInput, "not a command here");
  return row->run(ctx, options);
}

std::string CommandTitle(const Options& options) {
  std::string what;
  for (size_t i = 0; i < options.words.size() && i < 3; ++i) what += (i ? " " : "") + options.words[i];
  return what;
}

}  // namespace orvo
