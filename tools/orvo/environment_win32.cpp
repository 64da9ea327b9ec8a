// Where the user's files are on Windows: the roaming and local application
// data folders of the user's profile.
#include "tools/orvo/environment.h"

#include "tools/orvo/platform_files.h"

namespace orvo {

namespace {

// The folder `variable` names when it is absolute, else `fallback` under the
// user's profile (empty when that is unknown too).
std::string KnownFolder(const Environment& env, const std::string& variable, const std::string& fallback) {
  std::optional<std::string> value = env.Variable(variable);
  if (value && platform::IsAbsolutePath(*value)) return *value;
  std::string home = HomeFolder(env);
  return home.empty() ? home : platform::JoinPath(home, fallback);
}

}  // namespace

std::string HomeFolder(const Environment& env) { return env.Variable("USERPROFILE").value_or(""); }

std::string ConfigFilePath(const Environment& env) {
  std::string folder = KnownFolder(env, "APPDATA", "AppData\\Roaming");
  return folder.empty() ? folder : platform::JoinPath(folder, "orvo\\config");
}

std::string HistoryFilePath(const Environment& env) {
  std::string folder = KnownFolder(env, "LOCALAPPDATA", "AppData\\Local");
  return folder.empty() ? folder : platform::JoinPath(folder, "orvo\\history");
}

std::string_view ConfigFilePlace() { return "%APPDATA%\\orvo\\config"; }

std::string TempFolder(const Environment& env) {
  if (auto tmp = env.Variable("TMP")) return *tmp;
  if (auto temp = env.Variable("TEMP")) return *temp;
  return HomeFolder(env);
}

}  // namespace orvo
