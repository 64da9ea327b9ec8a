#include "tools/orvo/profiles.h"

#include "tools/orvo/client.h"
#include "tools/orvo/options.h"
#include "tools/orvo/platform_files.h"

namespace orvo {

namespace {

std::string_view Trim(std::string_view s) {
  size_t first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  size_t last = s.find_last_not_of(" \t\r");
  return s.substr(first, last + 1 - first);
}

// Sets one key of `p`; an empty result, or what is wrong with it.
std::string SetKey(Profile* p, std::string_view key, const std::string& value, const Environment& env,
                   const std::string& folder) {
  uint16_t port = 0;
  int ms = 0;
  if (key == "host") {
    p->host = value;
  } else if (key == "port") {
    if (!ParsePort(value, &port)) return "bad port " + value;
    p->port = port;
  } else if (key == "ssh") {
    p->ssh = value;
  } else if (key == "user") {
    p->user = value;
  } else if (key == "password-file") {
    p->password_file = ExpandPath(env, value, folder);
  } else if (key == "password-command") {
    p->password_command = value;
  } else if (key == "timeout") {
    if (!ParseSeconds(value, &ms)) return "bad time-out " + value;
    p->timeout_ms = ms;
  } else if (key == "password") {
    return "the password itself is never kept here: use password-file or password-command";
  } else {
    return "unknown key " + std::string(key);
  }
  if (p->password_file && p->password_command) return "give password-file or password-command, not both";
  return "";
}

}  // namespace

std::string ParseProfiles(std::string_view text, const Environment& env, const std::string& folder,
                          std::vector<Profile>* profiles) {
  profiles->clear();
  int number = 0;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++number;
    std::string where = "line " + std::to_string(number) + ": ";
    if (line.empty() || line.starts_with('#') || line.starts_with(';')) continue;
    if (line.starts_with('[')) {
      if (!line.ends_with(']') || Trim(line.substr(1, line.size() - 2)).empty()) return where + "bad section header";
      std::string name(Trim(line.substr(1, line.size() - 2)));
      for (const Profile& p : *profiles) {
        if (p.name == name) return where + "a second profile " + name;
      }
      profiles->push_back(Profile{name, {}, {}, {}, {}, {}, {}, {}});
      continue;
    }
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) return where + "expected KEY = VALUE";
    if (profiles->empty()) return where + "a key before the first [profile]";
    std::string value(Trim(line.substr(equals + 1)));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    std::string problem = SetKey(&profiles->back(), Trim(line.substr(0, equals)), value, env, folder);
    if (!problem.empty()) return where + problem;
  }
  return "";
}

int LoadProfiles(const Environment& env, const std::string& path, std::vector<Profile>* profiles,
                 std::string* error) {
  profiles->clear();
  platform::FileStatus status = platform::StatusOf(path);
  if (!status.exists) return 0;
  std::string text;
  if (platform::ReadWholeFile(path, &text, error) != 0) return -1;
  std::string problem = ParseProfiles(text, env, platform::FolderOf(path), profiles);
  if (!problem.empty()) {
    *error = path + ": " + problem;
    return -1;
  }
  if (status.others_may_change) {
    *error = path + ": others may change it, and it names what gives your passwords; run " +
             platform::KeepOthersFromChangingCommand(path);
    return -1;
  }
  for (const Profile& p : *profiles) {
    if (p.password_file && status.others_may_read) {
      *error = path + ": it names a password file, so others must not read it; run " +
               platform::MakePrivateCommand(path);
      return -1;
    }
  }
  return 0;
}

int ChooseProfile(const std::vector<Profile>& profiles, const std::optional<std::string>& wanted,
                  const std::optional<std::string>& host, const std::optional<std::string>& ssh,
                  const Profile** chosen, std::string* error) {
  std::string name = wanted.value_or(std::string(kDefaultProfile));
  *chosen = nullptr;
  for (const Profile& p : profiles) {
    if (p.name != name) continue;
    // Only a profile asked for by name follows --host to another machine.
    if (!wanted && host && *host != p.host.value_or(kDefaultHost)) return 0;
    if (!wanted && ssh && ssh != p.ssh) return 0;
    *chosen = &p;
    return 0;
  }
  if (!wanted) return 0;
  *error = "no profile " + name;
  if (!profiles.empty()) {
    *error += " (there are:";
    for (const Profile& p : profiles) *error += " " + p.name;
    *error += ")";
  }
  return -1;
}

}  // namespace orvo
