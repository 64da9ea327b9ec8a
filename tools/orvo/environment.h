// What orvo takes from its surroundings, so that tests can run it whole.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace orvo {

struct Environment {
  std::optional<std::string> password_variable;  // ORVO_PASSWORD, when set
  // The other variables orvo reads (HOME, XDG_CONFIG_HOME, XDG_STATE_HOME,
  // TMPDIR, ORVO_PROFILE, VISUAL, EDITOR; on Windows USERPROFILE, APPDATA,
  // LOCALAPPDATA, TMP and TEMP instead of the first four); nullopt when unset.
  std::function<std::optional<std::string>(const std::string& name)> variable;
  // The prompt without echo: 0 and the password, or -1 when there is no terminal.
  std::function<int(const std::string& prompt, std::string* secret)> read_secret;
  std::istream* in = nullptr;   // standard input, for the file "-" and the shell's commands
  std::ostream* out = nullptr;  // standard output: what a command prints
  std::ostream* err = nullptr;  // standard error: messages and progress
  bool err_is_terminal = false;  // progress is drawn in place on a terminal
  bool in_is_terminal = false;   // the shell edits lines on a terminal

  // A variable that is set and not empty.
  std::optional<std::string> Variable(const std::string& name) const {
    std::optional<std::string> value = variable ? variable(name) : std::nullopt;
    if (value && value->empty()) return std::nullopt;
    return value;
  }
};

// Where the user's files are. Each is empty when no variable says where.
// The home folder: $HOME (on Windows %USERPROFILE%).
std::string HomeFolder(const Environment& env);
// $XDG_CONFIG_HOME/orvo/config, or ~/.config/orvo/config (on Windows
// %APPDATA%\orvo\config).
std::string ConfigFilePath(const Environment& env);
// $XDG_STATE_HOME/orvo/history, or ~/.local/state/orvo/history (on Windows
// %LOCALAPPDATA%\orvo\history).
std::string HistoryFilePath(const Environment& env);
// How the usage names the config file's place.
std::string_view ConfigFilePlace();
// The folder for scratch files: $TMPDIR, else /tmp (on Windows %TMP%, else
// %TEMP%, else the home folder).
std::string TempFolder(const Environment& env);

// `path` with a leading "~/" (on Windows also "~\") made the home folder; a
// relative path made relative to `base`.
std::string ExpandPath(const Environment& env, const std::string& path, const std::string& base);

// Reads a whole local file, or standard input for "-". 0, or -1 with a reason.
int ReadLocalInput(const std::string& path, const Environment& env, std::string* data, std::string* error);

}  // namespace orvo
