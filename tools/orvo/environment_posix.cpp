// Where the user's files are on POSIX systems: the XDG base directories.
#include "tools/orvo/environment.h"

namespace orvo {

namespace {

// The folder an XDG variable names, or its default under the home folder.
// Relative values are not valid there and are ignored.
std::string XdgFolder(const Environment& env, const std::string& variable, const std::string& home_default) {
  std::optional<std::string> value = env.Variable(variable);
  if (value && value->starts_with('/')) return *value;
  std::string home = HomeFolder(env);
  return home.empty() ? home : home + "/" + home_default;
}

}  // namespace

std::string HomeFolder(const Environment& env) { return env.Variable("HOME").value_or(""); }

std::string ConfigFilePath(const Environment& env) {
  std::string folder = XdgFolder(env, "XDG_CONFIG_HOME", ".config");
  return folder.empty() ? folder : folder + "/orvo/config";
}

std::string HistoryFilePath(const Environment& env) {
  std::string folder = XdgFolder(env, "XDG_STATE_HOME", ".local/state");
  return folder.empty() ? folder : folder + "/orvo/history";
}

std::string_view ConfigFilePlace() { return "$XDG_CONFIG_HOME/orvo/config (~/.config/orvo/config)"; }

std::string TempFolder(const Environment& env) { return env.Variable("TMPDIR").value_or("/tmp"); }

}  // namespace orvo
