#include "tools/orvo/environment.h"

#include <istream>
#include <iterator>

#include "tools/orvo/platform_files.h"

namespace orvo {

namespace {

// The folder an XDG variable names, or its default under the home folder.
// Relative values are not valid there and are ignored.
std::string XdgFolder(const Environment& env, const std::string& variable, const std::string& home_default) {
  std::optional<std::string> value = env.Variable(variable);
  if (value && value->starts_with('/')) return *value;
  std::optional<std::string> home = env.Variable("HOME");
  if (!home) return {};
  return *home + "/" + home_default;
}

}  // namespace

std::string ConfigFilePath(const Environment& env) {
  std::string folder = XdgFolder(env, "XDG_CONFIG_HOME", ".config");
  return folder.empty() ? folder : folder + "/orvo/config";
}

std::string HistoryFilePath(const Environment& env) {
  std::string folder = XdgFolder(env, "XDG_STATE_HOME", ".local/state");
  return folder.empty() ? folder : folder + "/orvo/history";
}

std::string ExpandPath(const Environment& env, const std::string& path, const std::string& base) {
  if (path == "~" || path.starts_with("~/")) {
    std::optional<std::string> home = env.Variable("HOME");
    if (home) return *home + path.substr(1);
  }
  if (path.starts_with('/') || base.empty()) return path;
  return base + "/" + path;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

int ReadLocalInput(const std::string& path, const Environment& env, std::string* data, std::string* error) {
  if (path != "-") return platform::ReadWholeFile(path, data, error);
  if (env.in == nullptr || !*env.in) {
    *error = "cannot read standard input";
    return -1;
  }
  data->assign(std::istreambuf_iterator<char>(*env.in), std::istreambuf_iterator<char>());
  if (env.in->bad()) {
    *error = "cannot read standard input";
    return -1;
  }
  return 0;
}

}  // namespace orvo
