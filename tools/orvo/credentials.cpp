#include "tools/orvo/credentials.h"

#include "tools/orvo/platform_files.h"
#include "tools/orvo/platform_process.h"

namespace orvo {

namespace {

std::string FirstLine(const std::string& text) {
  std::string line = text.substr(0, text.find('\n'));
  if (line.ends_with('\r')) line.pop_back();
  return line;
}

int ReadPasswordFile(const std::string& path, const Environment& env, std::string* password, std::string* error) {
  // Standard input, a pipe or a descriptor are the caller's to guard; a file
  // on disk that others may read gives the password away.
  platform::FileStatus status = platform::StatusOf(path);
  if (path != "-" && status.regular && (status.others_may_read || status.others_may_change)) {
    *error = "the password file " + path + " is open to others; run " + platform::MakePrivateCommand(path);
    return kPasswordSourceFailed;
  }
  std::string data;
  if (ReadLocalInput(path, env, &data, error) != 0) return kPasswordSourceFailed;
  *password = FirstLine(data);
  return 0;
}

}  // namespace

int FindPassword(const PasswordSources& sources, const std::string& user, const Environment& env,
                 std::string* password, std::string* error) {
  if (sources.option_file) return ReadPasswordFile(*sources.option_file, env, password, error);
  if (env.password_variable) {
    *password = *env.password_variable;
    return 0;
  }
  if (sources.profile_file) return ReadPasswordFile(*sources.profile_file, env, password, error);
  if (sources.profile_command) {
    std::string output;
    int code = platform::RunAndRead(*sources.profile_command, &output, error);
    if (code < 0) return kPasswordSourceFailed;
    if (code != 0) {
      *error = "the password command failed (exit status " + std::to_string(code) + "): " + *sources.profile_command;
      return kPasswordSourceFailed;
    }
    if (output.empty()) {
      *error = "the password command printed nothing: " + *sources.profile_command;
      return kPasswordSourceFailed;
    }
    *password = FirstLine(output);
    return 0;
  }
  if (env.read_secret && env.read_secret("Password for " + user + ": ", password) == 0) return 0;
  *error = "no password: set ORVO_PASSWORD, use --password-file or a profile, or run orvo on a terminal";
  return kNoPasswordSource;
}

}  // namespace orvo
