#include "tools/orvo/cli.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "tools/orvo/client.h"
#include "tools/orvo/replies.h"

namespace orvo {

namespace {

constexpr std::string_view kUsage =
    "usage: orvo [options] COMMAND [ARGUMENTS]\n"
    "commands:\n"
    "  get NAME [-o FILE]    fetch a file to FILE (default: the last part of NAME; - for standard output)\n"
    "  put NAME [FILE]       store FILE as NAME (default: the last part of NAME; - for standard input)\n"
    "  merge item|npc FILE   merge one item or NPC entry and print the ID it got\n"
    "  spawns                print the spawn list\n"
    "  dir PATH              list a folder of the game server (. for its own folder)\n"
    "  checksum NAME         print the checksum of a file\n"
    "  resources             print the resource files with their checksums\n"
    "  port                  print the game server's port\n"
    "  start                 start the game server\n"
    "  raw WORD [ARG]        send WORD followed directly by ARG and print each reply packet\n"
    "options:\n"
    "  --host HOST           the service's host (default 127.0.0.1)\n"
    "  --port PORT           the service's port (default 4006)\n"
    "  --user NAME           the account to log in with (required)\n"
    "  --password-file FILE  read the password from the first line of FILE\n"
    "  --timeout SECONDS     patience for each reply (default 120)\n"
    "  --idle SECONDS        raw: stop after this long without a reply (default 2)\n"
    "  --large               put: send a file of more than 2,999 packets (about 3 MB),\n"
    "                        to a service that accepts uploads up to its MAXUPLOADSIZE\n"
    "The password comes from --password-file, else from the environment variable\n"
    "ORVO_PASSWORD, else from a prompt on the terminal; never from the command line.\n"
    "Fetched files are written as they arrive: the service sends text with LF line ends.\n"
    "Exit status: 0 done, 1 refused or failed by the service, 2 bad usage, 3 login\n"
    "refused, 4 connection failed or broken, 5 a local file could not be read or written.\n";

// Transfers of more than this many bytes show their progress.
constexpr long long kProgressThreshold = 1024 * 1024;

struct Options {
  std::string host = kDefaultHost;
  uint16_t port = kDefaultPort;
  std::string user;
  std::optional<std::string> password_file;
  int timeout_ms = kDefaultTimeoutMs;
  int idle_ms = 2000;
  std::optional<std::string> output;  // get -o
  bool large = false;                 // put --large
  std::vector<std::string> words;     // the command and its arguments
  bool help = false;
};

// How many arguments each command takes after its name.
struct CommandShape {
  std::string_view name;
  size_t min_args;
  size_t max_args;
};

constexpr std::array<CommandShape, 10> kCommands{{
    {"get", 1, 1},
    {"put", 1, 2},
    {"merge", 2, 2},
    {"spawns", 0, 0},
    {"dir", 1, 1},
    {"checksum", 1, 1},
    {"resources", 0, 0},
    {"port", 0, 0},
    {"start", 0, 0},
    {"raw", 1, 2},
}};

bool ParseSeconds(const std::string& text, int* ms) {
  long long v = 0;
  if (!ParseDecimal(text, false, &v) || v < 1 || v > 86400) return false;
  *ms = static_cast<int>(v * 1000);
  return true;
}

// Fills `options`; an empty result, or what is wrong with the command line.
std::string ParseArguments(const std::vector<std::string>& args, Options* options) {
  bool only_words = false;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    if (only_words || arg == "-" || !arg.starts_with("-")) {
      options->words.push_back(arg);
      continue;
    }
    if (arg == "--") {
      only_words = true;
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      options->help = true;
      continue;
    }
    if (arg == "--large") {
      options->large = true;
      continue;
    }
    std::string value;
    size_t equals = arg.find('=');
    if (equals != std::string::npos && arg.starts_with("--")) {
      value = arg.substr(equals + 1);
      arg = arg.substr(0, equals);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return "option " + arg + " needs a value";
    }
    long long number = 0;
    if (arg == "--host") {
      options->host = value;
    } else if (arg == "--port") {
      if (!ParseDecimal(value, false, &number) || number < 1 || number > 65535) return "bad port " + value;
      options->port = static_cast<uint16_t>(number);
    } else if (arg == "--user") {
      options->user = value;
    } else if (arg == "--password-file") {
      options->password_file = value;
    } else if (arg == "--timeout") {
      if (!ParseSeconds(value, &options->timeout_ms)) return "bad time-out " + value;
    } else if (arg == "--idle") {
      if (!ParseSeconds(value, &options->idle_ms)) return "bad idle time " + value;
    } else if (arg == "-o" || arg == "--output") {
      options->output = value;
    } else if (arg == "--password") {
      return "the password is never taken from the command line: use ORVO_PASSWORD or --password-file";
    } else {
      return "unknown option " + arg;
    }
  }
  if (options->help) return "";
  if (options->words.empty()) return "no command given";
  const std::string& command = options->words.front();
  size_t given = options->words.size() - 1;
  for (const CommandShape& shape : kCommands) {
    if (shape.name != command) continue;
    if (given < shape.min_args || given > shape.max_args) return "wrong number of arguments for " + command;
    if (options->output && command != "get") return "-o belongs to get";
    if (options->large && command != "put") return "--large belongs to put";
    if (command == "merge" && options->words[1] != "item" && options->words[1] != "npc") {
      return "merge takes item or npc, not " + options->words[1];
    }
    if (options->user.empty()) return "--user is required";
    return "";
  }
  return "unknown command " + command;
}

// The last part of a name that may use either separator.
std::string LastPart(const std::string& name) {
  size_t sep = name.find_last_of("/\\");
  return sep == std::string::npos ? name : name.substr(sep + 1);
}

// Reads a whole local file, or standard input for "-"; false with a reason.
bool ReadLocalFile(const std::string& path, const Environment& env, std::string* data, std::string* error) {
  std::ifstream file;
  std::istream* in = env.in;
  if (path != "-") {
    file.open(path, std::ios::binary);
    in = &file;
  }
  if (!in || !*in) {
    *error = "cannot read " + path;
    return false;
  }
  data->assign(std::istreambuf_iterator<char>(*in), std::istreambuf_iterator<char>());
  if (in->bad()) {
    *error = "cannot read " + path;
    return false;
  }
  return true;
}

// The password: --password-file, else ORVO_PASSWORD, else the prompt.
bool FindPassword(const Options& options, const Environment& env, std::string* password, std::string* error) {
  if (options.password_file) {
    std::string data;
    if (!ReadLocalFile(*options.password_file, env, &data, error)) return false;
    *password = data.substr(0, data.find('\n'));
    if (password->ends_with('\r')) password->pop_back();
    return true;
  }
  if (env.password_variable) {
    *password = *env.password_variable;
    return true;
  }
  if (env.read_secret && env.read_secret("Password for " + options.user + ": ", password) == 0) return true;
  *error = "no password: set ORVO_PASSWORD, use --password-file, or run orvo on a terminal";
  return false;
}

// Shows the progress of transfers over one megabyte on standard error: in
// place on a terminal, otherwise one line per tenth.
class ProgressMeter {
 public:
  explicit ProgressMeter(const Environment& env) : env_(env) {}
  // Ends a line drawn in place, before any message follows it.
  void Finish() {
    if (drawn_ && env_.err_is_terminal) *env_.err << "\n";
    drawn_ = false;
  }
  void Update(long long done, long long total) {
    if (total <= kProgressThreshold) return;
    long long percent = done >= total ? 100 : done * 100 / total;
    long long step = env_.err_is_terminal ? percent : percent / 10 * 10;
    if (drawn_ && step == last_step_) return;
    drawn_ = true;
    last_step_ = step;
    char line[96];
    std::snprintf(line, sizeof line, "orvo: %3lld%% (%lld of %lld bytes)", step, done, total);
    *env_.err << (env_.err_is_terminal ? "\r" : "") << line << (env_.err_is_terminal ? "" : "\n");
    env_.err->flush();
  }

 private:
  const Environment& env_;
  bool drawn_ = false;
  long long last_step_ = -1;
};

// Runs the command of `options` on a logged-in session; a result of results.h.
int RunCommand(Session& s, const Options& options, const Environment& env) {
  const std::vector<std::string>& w = options.words;
  const std::string& command = w[0];
  std::ostream& out = *env.out;
  if (command == "get") {
    std::string target = options.output.value_or(LastPart(w[1]));
    if (target.empty()) return s.Fail(kInvalidInput, "name an output file with -o");
    if (target != "-") return FetchToFile(s, FetchRequest(w[1]), target);
    long long size = 0;
    return Fetch(s, FetchRequest(w[1]), [&](std::string_view chunk) {
      out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
      return static_cast<bool>(out);
    }, &size);
  }
  if (command == "put" || command == "merge") {
    std::string path = command == "merge" ? w[2] : (w.size() > 2 ? w[2] : LastPart(w[1]));
    std::string data, error;
    if (!ReadLocalFile(path, env, &data, &error)) return s.Fail(kLocalFileError, error);
    if (command == "put") {
      int r = Store(s, StoreRequest(w[1]), data, options.large);
      if (r == kOk) out << "stored " << w[1] << " (" << data.size() << " bytes)\n";
      return r;
    }
    uint32_t id = 0;
    int r = MergeEntry(s, w[1] == "item" ? EntryKind::kItem : EntryKind::kNpc, data, &id);
    if (r != kOk) return r;
    char text[16];
    std::snprintf(text, sizeof text, "%04x", id);
    out << text << "\n";
    return kOk;
  }
  if (command == "spawns") {
    std::string list;
    int r = FetchSpawnList(s, &list);
    if (r == kOk) out << list;
    return r;
  }
  if (command == "dir") {
    std::vector<DirectoryRecord> records;
    int r = ListDirectory(s, w[1], &records);
    if (r != kOk) return r;
    for (const DirectoryRecord& record : records) {
      char attributes[16];
      std::snprintf(attributes, sizeof attributes, "%08x", record.attributes);
      out << attributes << " " << AttributeLetters(record.attributes) << " " << record.name << "\n";
    }
    return kOk;
  }
  if (command == "checksum") {
    long long checksum = 0;
    int r = GetChecksum(s, w[1], &checksum);
    if (r == kOk) out << checksum << "\n";
    return r;
  }
  if (command == "resources") {
    std::vector<ResourceEntry> resources;
    int r = ListResources(s, &resources);
    if (r != kOk) return r;
    for (const ResourceEntry& entry : resources) out << entry.name << "\t" << entry.checksum << "\n";
    return kOk;
  }
  if (command == "port") {
    long long port = 0;
    int r = GetGamePort(s, &port);
    if (r == kOk) out << port << "\n";
    return r;
  }
  if (command == "start") {
    int r = StartGameServer(s);
    if (r != kOk) return r;
    // The service never answers STRT. When it starts the game server as a
    // system service it closes the connection; otherwise QUIT is answered.
    r = Quit(s);
    if (r != kOk && r != kConnectionLost) return r;
    out << "start requested; the service's log tells the outcome\n";
    return kOk;
  }
  // raw: every packet is shown; the first refusal or failure text decides the status.
  int refused = kOk;
  std::string refusal;
  int r = RawExchange(s, w[1] + (w.size() > 2 ? w[2] : ""), options.idle_ms, [&](std::string_view packet) {
    out << packet.size() << ": " << EscapedBytes(packet) << "\n";
    out.flush();
    int result = FailureReplyResult(packet);
    if (result != kProtocolError && refused == kOk) {
      refused = result;
      refusal = PrintableText(packet);
    }
  });
  if (r < 0) return r;
  if (refused != kOk) return s.Fail(refused, refusal);
  return kOk;
}

}  // namespace

int ExitStatusFor(int result) {
  switch (result) {
    case kOk:
      return kExitOk;
    case kRefused:
    case kFailedReply:
    case kUnknownCommand:
      return kExitRefused;
    case kBadCredentials:
    case kInsufficientLevel:
    case kAccountFileMissing:
      return kExitLogin;
    case kLocalFileError:
      return kExitLocalFile;
    case kInvalidInput:
      return kExitUsage;
    default:
      return kExitConnection;
  }
}

int RunOrvo(const std::vector<std::string>& args, const Environment& env) {
  Options options;
  std::string problem = ParseArguments(args, &options);
  if (options.help) {
    *env.out << kUsage;
    return kExitOk;
  }
  if (!problem.empty()) {
    *env.err << "orvo: " << problem << " (orvo --help shows the usage)\n";
    return kExitUsage;
  }
  std::string password;
  if (!FindPassword(options, env, &password, &problem)) {
    *env.err << "orvo: " << problem << "\n";
    return options.password_file ? kExitLocalFile : kExitUsage;
  }

  Session session;
  int r = Connect(options.host, options.port, options.timeout_ms, &session);
  if (r == kOk) r = Login(session, options.user, password);
  if (r != kOk) {
    *env.err << "orvo: login as " << options.user << ": " << session.Problem() << "\n";
    return ExitStatusFor(r);
  }
  ProgressMeter meter(env);
  session.SetProgress([&](long long done, long long total) { meter.Update(done, total); });

  r = RunCommand(session, options, env);
  meter.Finish();
  problem = session.Problem();
  // A command that leaves the session in step ends it politely.
  if (session.Usable() && options.words[0] != "raw") Quit(session);
  if (r != kOk) {
    std::string what = options.words[0];
    for (size_t i = 1; i < options.words.size() && i < 3; ++i) what += " " + options.words[i];
    *env.err << "orvo: " << what << ": " << problem << "\n";
  }
  return ExitStatusFor(r);
}

}  // namespace orvo
