// What orvo takes from its surroundings, so that tests can run it whole.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

namespace orvo {

struct Environment {
  std::optional<std::string> password_variable;  // ORVO_PASSWORD, when set
  // The other variables orvo reads (HOME, XDG_CONFIG_HOME, XDG_STATE_HOME,
  // TMPDIR, ORVO_PROFILE, VISUAL, EDITOR); nullopt when unset.
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

// $XDG_CONFIG_HOME/orvo/config, or ~/.config/orvo/config; empty when neither
// variable says where.
std::string ConfigFilePath(const Environment& env);

// $XDG_STATE_HOME/orvo/history, or ~/.local/state/orvo/history; empty when
// neither variable says where.
std::string HistoryFilePath(const Environment& env);

// `path` with a leading "~/" made the home folder; a relative path made
// relative to `base`.
std::string ExpandPath(const Environment& env, const std::string& path, const std::string& base);

// The folder part of `path` ("." when it has none).
std::string FolderOf(const std::string& path);

// Reads a whole local file, or standard input for "-". 0, or -1 with a reason.
int ReadLocalInput(const std::string& path, const Environment& env, std::string* data, std::string* error);

}  // namespace orvo
