#include "service/protocol/launch.h"

#include <string>

#include "service/host/log.h"
#include "service/host/text_lines.h"
#include "service/platform/fs.h"
#include "service/platform/process.h"
#include "service/platform/service_manager.h"
#include "service/protocol/session.h"

namespace protocol {

namespace {

constexpr int kLineSize = 1024;
constexpr const char* kExecutable = "gyrionsvr";
// Where no console of its own is made for it, the started game server
// writes its console output here, in its own folder.
constexpr const char* kConsoleFile = "gyrionsvr.out";

struct LaunchSettings {
  bool as_service = false;
  std::string server_name;
};

LaunchSettings ReadLaunchSettings() {
  LaunchSettings settings;
  host::TextReader file("gyrion.ini");
  if (!file.Ok()) {
    host::WriteLog("Unable to open the INI file...using defaults\n");
    return settings;
  }
  std::string line;
  while (host::ReadLine(file, line, kLineSize) >= 0) {
    host::CutAtNul(line);
    size_t comment = line.find("//");
    if (comment != std::string::npos) line.resize(comment);
    host::UpperCase(line);
    if (line.find("NTSERVICE=1") != std::string::npos) settings.as_service = true;
    if (line.find("[SERVERS]") != std::string::npos) {
      std::string name;
      if (host::ReadLine(file, name, kLineSize) < 0) name.clear();
      host::CutAtNul(name);
      settings.server_name = name;
    }
  }
  return settings;
}

}  // namespace

bool StartGameServer(ClientSession& session) {
  LaunchSettings settings = ReadLaunchSettings();
  std::string cwd = platform::CurrentDirectory();

  if (!settings.as_service) {
    std::string path = host::JoinFolder(cwd, std::string(kExecutable) + platform::kExecutableSuffix);
    host::WriteLog("Attempting CreateProcess() for %s\n", path.c_str());
    int error = platform::StartDetached(path, cwd, host::JoinFolder(cwd, kConsoleFile));
    if (error != 0) {
      host::WriteLog("CreateProcess() returned error %ld  - %s\n", static_cast<long>(error),
                     platform::ErrorText(error).c_str());
    }
    return false;
  }

  std::string name = "Gyrion - " + settings.server_name;
  std::string unit = platform::ServiceUnitName(name);
  host::WriteLog("Attempting to open the SCUM\n");
  if (!platform::OpenServiceManager()) {
    host::WriteLog("Unable to open the SCUM\n");
  } else {
    host::WriteLog("Attempting to open the %s service\n", name.c_str());
    if (!platform::OpenServiceUnit(unit)) {
      host::WriteLog("Unable to open the service\n");
    } else {
      host::WriteLog("Attempting to start the service\n");
      host::WriteLog(platform::StartServiceUnit(unit) ? "Service Started Successfully\n" : "Service Start Failed\n");
    }
  }
  EndSession(session);
  return true;
}

}  // namespace protocol
