#include "service/platform/process.h"

// What every platform builds on RunTool.
namespace platform {

int RunAndWait(const std::vector<std::string>& args) { return RunTool(args).exit_code; }

int RunAndCapture(const std::vector<std::string>& args, std::string* out) {
  ToolRun run = RunTool(args);
  *out = std::move(run.out);
  return run.exit_code;
}

}  // namespace platform
