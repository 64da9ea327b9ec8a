#include "regsvr.h"

#include <cstdio>

#include "artcontrol/automation/registration.h"
#include "artcontrol/platform/module.h"
#include "tilvo/server.h"

namespace tilvo::regsvr_tool {
namespace {

constexpr const char* kUsage = "usage: tilvo-regsvr [-u] MODULE";

using EntryPoint = HRESULT (*)();

std::string Hex(HRESULT code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
  return text;
}

}  // namespace

int RunRegsvr(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  bool unregister = false;
  std::string module;
  for (const std::string& arg : args) {
    if (arg == "-u" || arg == "/u") {
      unregister = true;
    } else if (module.empty() && !arg.empty() && arg.front() != '-') {
      module = arg;
    } else {
      err << kUsage << "\n";
      return kBadArguments;
    }
  }
  if (module.empty()) {
    err << kUsage << "\n";
    return kBadArguments;
  }
  // A module is named by its path; a bare name means the one in this folder.
  if (module.find('/') == std::string::npos) module = "./" + module;

  const platform::LoadedModule loaded(module);
  if (!loaded.IsLoaded()) {
    err << "The module \"" << module << "\" failed to load.\n";
    return kLoadFailed;
  }
  const std::string entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  const auto call = reinterpret_cast<EntryPoint>(loaded.Symbol(entry));
  if (call == nullptr) {
    err << "The module \"" << module << "\" was loaded but the entry-point " << entry << " was not found.\n";
    return kNoEntryPoint;
  }
  const HRESULT result = call();
  if (result < 0) {
    err << entry << " in " << module << " failed. Return code was: " << Hex(result) << "\n";
    return kCallFailed;
  }
  out << entry << " in " << module << " succeeded (" << RegistrationFilePath() << ").\n";
  return kSucceeded;
}

}  // namespace tilvo::regsvr_tool
