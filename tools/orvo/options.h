// orvo's command line, and the same words typed into its shell: the options
// and the command with its arguments.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvo {

struct Options {
  // Where to connect and as whom; what the command line leaves out comes from
  // the profile, then from the defaults.
  std::optional<std::string> host;
  std::optional<uint16_t> port;
  std::optional<std::string> ssh;  // --ssh [user@]host[:port]: through OpenSSH's client
  std::optional<std::string> user;
  std::optional<std::string> password_file;
  std::optional<std::string> profile;
  std::optional<int> timeout_ms;
  int idle_ms = 2000;
  // The command, its arguments and its own options.
  std::vector<std::string> words;
  std::optional<std::string> output;  // get -o
  bool json = false;                  // --json
  bool large = false;                 // --large: stores of more than 2,999 packets
  bool force = false;                 // sync push --force: store what changed on the server too
  bool dry_run = false;               // sync --dry-run
  bool delete_extra = false;          // sync pull --delete
  bool help = false;
};

// Whether the words come from orvo's command line or from a line of its shell,
// where the options that choose the connection have no place.
enum class Where { kCommandLine, kShell };

// Reads a port number (1 to 65535); false for anything else.
bool ParsePort(const std::string& text, uint16_t* port);
// Reads a number of seconds (1 to 86400) as milliseconds; false for anything else.
bool ParseSeconds(const std::string& text, int* ms);

// Fills `options` from `args`; an empty result, or what is wrong. The command
// words are checked against the command table.
std::string ParseArguments(const std::vector<std::string>& args, Where where, Options* options);

// Splits a line of the shell into words at blanks; single or double quotes
// keep blanks inside a word (a backslash is an ordinary character, as in
// the service's names). An empty result, or what is wrong.
std::string SplitWords(const std::string& line, std::vector<std::string>* words);

}  // namespace orvo
