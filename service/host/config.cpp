#include "service/host/config.h"

#include <string_view>

#include "service/host/log.h"
#include "service/host/text_lines.h"
#include "service/platform/fs.h"

namespace host {

namespace {

constexpr int kLineSize = 260;  // lines of at most 259 characters

std::string TrimBlanks(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

enum class KeyKind { kNumber, kNumberAfterOne, kText, kFlag };

struct ConfigKey {
  const char* key;
  KeyKind kind;
  void (*apply)(ServiceConfig& c, long number, const std::string& text);
};

// The keys of "orvosvr.cfg", tested in this order on every line.
const ConfigKey kConfigKeys[] = {
    {"PORT", KeyKind::kNumber, [](ServiceConfig& c, long n, const std::string&) { c.port = static_cast<uint16_t>(n); }},
    {"MAXCONNECTIONS", KeyKind::kNumber,
     [](ServiceConfig& c, long n, const std::string&) { c.max_connections = static_cast<int32_t>(n); }},
    {"NOMULTITHREADING", KeyKind::kFlag, [](ServiceConfig& c, long, const std::string&) { c.no_multithreading = true; }},
    {"READONLY", KeyKind::kFlag, [](ServiceConfig& c, long, const std::string&) { c.read_only = true; }},
    {"SPAWNREFRESHTIME", KeyKind::kNumber,
     [](ServiceConfig& c, long n, const std::string&) { c.spawn_refresh_time = static_cast<int32_t>(n); }},
    {"ALLOWEDPATHS", KeyKind::kText, [](ServiceConfig& c, long, const std::string& t) { c.allowed_paths = t; }},
    {"ALLOWEDEXTENSIONS", KeyKind::kText,
     [](ServiceConfig& c, long, const std::string& t) { c.allowed_extensions = t; }},
    {"RECEIVETIMEOUT", KeyKind::kNumberAfterOne,
     [](ServiceConfig& c, long n, const std::string&) { c.receive_timeout = static_cast<int32_t>(n); }},
    {"ALLOWEDHOSTS", KeyKind::kText, [](ServiceConfig& c, long, const std::string& t) { c.allowed_hosts = t; }},
    {"DENIEDHOSTS", KeyKind::kText, [](ServiceConfig& c, long, const std::string& t) { c.denied_hosts = t; }},
    {"GYRIONPATH", KeyKind::kText, [](ServiceConfig& c, long, const std::string& t) { c.gyrion_path = t; }},
    {"TRANSFERPAUSE", KeyKind::kNumber,
     [](ServiceConfig& c, long n, const std::string&) { c.transfer_pause = static_cast<int32_t>(n); }},
    {"MAXUPLOADSIZE", KeyKind::kNumber, [](ServiceConfig& c, long n, const std::string&) { c.max_upload_size = n; }},
    {"LISTENADDRESS", KeyKind::kText,
     [](ServiceConfig& c, long, const std::string& t) { c.listen_address = TrimBlanks(t); }},
    {"MAXLOGINFAILURES", KeyKind::kNumber,
     [](ServiceConfig& c, long n, const std::string&) { c.max_login_failures = static_cast<int32_t>(n); }},
    {"LOGINBLOCKTIME", KeyKind::kNumber,
     [](ServiceConfig& c, long n, const std::string&) { c.login_block_time = static_cast<int32_t>(n); }},
};

// The text that starts `skip` characters after position `pos`, or nothing when
// the line ends before it.
std::string_view After(const std::string& line, size_t pos, size_t skip) {
  if (pos + skip >= line.size()) return {};
  return std::string_view(line).substr(pos + skip);
}

void ApplyConfigLine(ServiceConfig& config, const std::string& line) {
  for (const ConfigKey& k : kConfigKeys) {
    size_t pos = line.find(k.key);
    if (pos == std::string::npos) continue;
    size_t len = std::string_view(k.key).size();
    switch (k.kind) {
      case KeyKind::kNumber:
        k.apply(config, ParseDecimal(After(line, pos, len)), {});
        break;
      case KeyKind::kNumberAfterOne:
        k.apply(config, ParseDecimal(After(line, pos, len + 1)), {});
        break;
      case KeyKind::kText:
        k.apply(config, 0, std::string(After(line, pos, len + 1)));
        break;
      case KeyKind::kFlag:
        k.apply(config, 0, {});
        break;
    }
  }
}

// Applies every line of an open "orvosvr.cfg" to `config`.
void ApplyConfigFile(TextReader& file, ServiceConfig& config) {
  std::string line;
  while (ReadLine(file, line, kLineSize) >= 0) {
    CutAtNul(line);
    if (line.empty()) continue;
    size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    if (line.empty()) continue;
    ApplyConfigLine(config, line);
  }
}

}  // namespace

ServiceConfig& Config() {
  static ServiceConfig config;
  return config;
}

void ResetConfig() { Config() = ServiceConfig(); }

std::string ConfiguredGamePath() {
  TextReader file("orvosvr.cfg");
  if (!file.Ok()) return {};
  ServiceConfig config;
  ApplyConfigFile(file, config);
  return config.gyrion_path;
}

void ReadServiceConfig() {
  ServiceConfig& config = Config();
  WriteLog("Reading configuration file....");
  TextReader file("orvosvr.cfg");
  if (!file.Ok()) {
    WriteLog("\nUnable to open orvosvr.cfg...using default values.\n");
  } else {
    ApplyConfigFile(file, config);
    WriteLog("done.\n");
  }
  if (!config.gyrion_path.empty()) platform::ChangeDirectory(platform::NativePath(config.gyrion_path));
}

void ReadGameIni() {
  ServiceConfig& config = Config();
  config.game_port = 2593;
  // What a client's names may reach is fixed here: a "gyrion.ini" stored later
  // cannot widen it.
  config.startup_scripts_folder = ScriptsFolder();
  FindAccountFolder(&config.startup_account_folder);
  TextReader file("gyrion.ini");
  if (!file.Ok()) {
    WriteLog("\nUnable to open gyrion.ini...using default values.\n");
    return;
  }
  std::string line;
  while (ReadLine(file, line, kLineSize) >= 0) {
    CutAtNul(line);
    if (line.find("[SERVERS") != std::string::npos) {
      // The third line of the section is the port; a section cut short by the
      // end of the file reads the last line it has.
      std::string last = line;
      for (int i = 0; i < 3 && ReadLine(file, line, kLineSize) >= 0; ++i) last = line;
      config.game_port = static_cast<int32_t>(ParseDecimal(last));
      return;
    }
    if (line.rfind("LOG=", 0) == 0) {
      StripLineEnds(line);
      config.log_directory = line.substr(4);
    }
  }
}

std::optional<std::string> FindIniValue(const char* key, bool need_value) {
  TextReader file("gyrion.ini");
  if (!file.Ok()) return std::nullopt;
  size_t len = std::string_view(key).size();
  std::string line;
  while (ReadLine(file, line, kLineSize) >= 0) {
    CutAtNul(line);
    StripLineEnds(line);
    if (!StartsWithNoCase(line, key)) continue;
    if (need_value && line.size() <= len) continue;
    return line.substr(len);
  }
  return std::nullopt;
}

int FindAccountFolder(std::string* folder) {
  folder->clear();
  TextReader file("gyrion.ini");
  if (!file.Ok()) return -1;
  std::string line;
  while (ReadLine(file, line, kLineSize) >= 0) {
    CutAtNul(line);
    StripLineEnds(line);
    if (line.empty()) continue;
    if (StartsWithNoCase(line, "WORLDSAVE=") && folder->empty()) *folder = line.substr(10);
    if (StartsWithNoCase(line, "ACCTFILES=")) {
      *folder = line.substr(10);
      break;
    }
  }
  return folder->empty() ? 0 : 1;
}

std::string ScriptsFolder() { return FindIniValue("SCPFILES=", false).value_or(std::string()); }

}  // namespace host
