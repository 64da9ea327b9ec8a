#include "service/host/entry.h"

#include "service/host/service_control.h"
#include "service/host/text_lines.h"
#include "service/platform/fs.h"
#include "service/protocol/listener.h"

namespace host {

namespace {
constexpr int kEntryLineSize = 1024;  // lines of at most 1023 characters
}  // namespace

std::string ReadServerName() {
  TextReader file("gyrion.ini");
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

int EntryMain(int argc, char** argv) {
  ServiceControl& service = Service();
  service.short_name = "orvosvr";
  service.display_name = "Orvo Server";
  SetServerName("");
  ReportStatus();

  std::string exe = platform::ExecutablePath();
  size_t cut = exe.find_last_of('/');
  if (cut != std::string::npos) platform::ChangeDirectory(cut == 0 ? "/" : exe.substr(0, cut));

  SetServerName(ReadServerName());
  ReportStatus();

  // This platform has no service manager for the service yet: the process is
  // always the console server, and its arguments are not examined.
  return protocol::ServerMain(argc, argv);
}

}  // namespace host
