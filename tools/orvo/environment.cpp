#include "tools/orvo/environment.h"

#include <istream>
#include <iterator>

#include "tools/orvo/platform_files.h"

namespace orvo {

std::string ExpandPath(const Environment& env, const std::string& path, const std::string& base) {
  // "~/" on every platform, and "~" followed by the platform's own separator.
  const std::string home_prefix = platform::JoinPath("~", "");
  if (path == "~" || path.starts_with("~/") || path.starts_with(home_prefix)) {
    std::string home = HomeFolder(env);
    if (!home.empty()) return path.size() <= 2 ? home : platform::JoinPath(home, path.substr(2));
  }
  if (platform::IsAbsolutePath(path) || base.empty()) return path;
  return platform::JoinPath(base, path);
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
