#pragma once
// One run of tilvo-regsvr: "tilvo-regsvr [-u] MODULE" loads the module and
// calls its DllRegisterServer (or, with -u, DllUnregisterServer).

#include <ostream>
#include <string>
#include <vector>

namespace tilvo::regsvr_tool {

// Exit statuses, as regsvr32 gives them.
enum Status : int {
  kSucceeded = 0,
  kBadArguments = 1,
  kLoadFailed = 3,     // the module does not load
  kNoEntryPoint = 4,   // it exports no such entry point
  kCallFailed = 5,     // the entry point returned a failure code
};

// Runs the arguments after the program name: the outcome goes to out, a
// failure's reason to err, each on one line.
int RunRegsvr(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tilvo::regsvr_tool
