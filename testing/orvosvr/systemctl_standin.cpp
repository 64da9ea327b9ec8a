#include "testing/orvosvr/systemctl_standin.h"

#include <fstream>

namespace testing_support {

namespace fs = std::filesystem;

SystemctlStandIn::SystemctlStandIn(const fs::path& folder) : folder_(folder) {
  fs::create_directories(folder_ / "bin");
  fs::path script = folder_ / "bin" / "systemctl";
  // The tests may put nothing but the stand-in on PATH.
  std::ofstream(script) << "#!/bin/sh\n"
                        << "PATH=/usr/bin:/bin\n"
                        << "dir='" << folder_.string() << "'\n"
                        << "printf '%s\\n' \"$*\" >> \"$dir/calls\"\n"
                        << "if [ -f \"$dir/fail$1\" ]; then cat \"$dir/fail$1\" >&2; exit 1; fi\n"
                        << "if [ \"$1\" = show ]; then\n"
                        << "  if [ -s \"$dir/states\" ]; then head -n 1 \"$dir/states\"; sed -i 1d \"$dir/states\";\n"
                        << "  else echo inactive; fi\n"
                        << "fi\n"
                        << "exit 0\n";
  fs::permissions(script, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
}

void SystemctlStandIn::QueueStates(const std::vector<std::string>& states) const {
  std::ofstream out(folder_ / "states", std::ios::app);
  for (const std::string& state : states) out << state << "\n";
}

void SystemctlStandIn::Fail(const std::string& verb, const std::string& message) const {
  std::ofstream(folder_ / ("fail" + verb)) << message << "\n";
}

std::vector<std::string> SystemctlStandIn::Calls() const {
  std::ifstream in(folder_ / "calls");
  std::vector<std::string> calls;
  for (std::string line; std::getline(in, line);) calls.push_back(line);
  return calls;
}

}  // namespace testing_support
