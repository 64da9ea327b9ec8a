#include "service/host/entry.h"

#include <string_view>

#include "service/host/config.h"
#include "service/host/log.h"
#include "service/host/service_control.h"
#include "service/host/service_dispatch.h"
#include "service/host/service_setup.h"
#include "service/host/text_lines.h"
#include "service/platform/fs.h"
#include "service/protocol/listener.h"

namespace host {

namespace {

constexpr int kEntryLineSize = 1024;  // lines of at most 1023 characters

int Install(int, char**) {
  InstallService();
  return 0;
}

int Remove(int, char**) {
  RemoveService();
  return 0;
}

// The words of the first argument after its "-" or "/", and what each does;
// the result is the exit code.
struct ServiceSwitch {
  std::string_view word;
  int (*run)(int argc, char** argv);
};

const ServiceSwitch kSwitches[] = {
    {"install", Install},
    {"remove", Remove},
    {"debug", DebugService},
};

const ServiceSwitch* FindSwitch(const char* argument) {
  if (argument[0] != '-' && argument[0] != '/') return nullptr;
  std::string_view word = argument + 1;
  for (const ServiceSwitch& row : kSwitches) {
    if (word.size() == row.word.size() && StartsWithNoCase(word, row.word)) return &row;
  }
  return nullptr;
}

}  // namespace

namespace {

std::string ServerNameFrom(const std::string& ini) {
  TextReader file(ini);
  if (!file.Ok()) return {};
  std::string line;
  while (ReadLine(file, line, kEntryLineSize) >= 0) {
    CutAtNul(line);
    if (line.find("[SERVERS]") == std::string::npos) continue;
    if (ReadLine(file, line, kEntryLineSize) < 0) return {};
    CutAtNul(line);
    return line;
  }
  return {};
}

}  // namespace

std::string ReadServerName() {
  if (TextReader("gyrion.ini").Ok()) return ServerNameFrom("gyrion.ini");
  // An executable kept apart from the game server (an installed copy, for
  // one) is named after the game server that its configuration serves, so
  // that services for two game servers never share a name.
  std::string game_folder = ConfiguredGamePath();
  if (game_folder.empty()) return {};
  return ServerNameFrom(JoinFolder(platform::NativePath(game_folder), "gyrion.ini"));
}

bool ServiceModeConfigured() {
  TextReader file("orvosvr.cfg");
  if (!file.Ok()) return false;
  std::string line;
  while (ReadLine(file, line, kEntryLineSize) >= 0) {
    if (line.rfind("NTSERVICE", 0) == 0) return true;
  }
  return false;
}

int EntryMain(int argc, char** argv) {
  ServiceControl& service = Service();
  service.short_name = "orvosvr";
  service.display_name = "Orvo Server";
  SetServerName("");
  ReportStatus();

  std::string folder = platform::FolderOf(platform::ExecutablePath());
  if (!folder.empty()) platform::ChangeDirectory(folder);

  SetServerName(ReadServerName());
  ReportStatus();

  bool service_mode = ServiceModeConfigured();
  ReportStatus();
  if (!service_mode) {
    if (argc > 1) {
      PrintConsole("You don't have Orvo Server configured as a service in orvosvr.cfg\n");
      return -1;
    }
    return protocol::ServerMain(argc, argv);
  }

  const ServiceSwitch* chosen = argc > 1 ? FindSwitch(argv[1]) : nullptr;
  if (chosen != nullptr) return chosen->run(argc, argv);
  PrintConsole("orvosvr -install\t\t\tto install the service\n");
  PrintConsole("orvosvr -remove\t\t\tto remove the service\n");
  PrintConsole("orvosvr -debug\t\t\tto debug the service\n");
  int exit_code = RunDispatcher(argc, argv);
  service.current_state.store(kStateStopped);
  ReportStatus();
  return exit_code;
}

}  // namespace host
