// The fuzz targets' process layer: a fuzzed session may ask to start the game
// server (STRT) or the service manager's tool, and nothing is ever started.
#include "service/platform/process.h"

#include <cerrno>
#include <cstring>

namespace platform {

int StartDetached(const std::string&, const std::string&, const std::string&) { return EPERM; }

ToolRun RunTool(const std::vector<std::string>&) {
  ToolRun run;
  run.start_error = EPERM;
  return run;
}

const char* PlatformName() { return "Linux"; }

std::string ErrorText(int error) { return std::strerror(error); }

}  // namespace platform
