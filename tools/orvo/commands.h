// orvo's commands as one table: their arguments, options and usage lines,
// and what each does on a logged-in session.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "tools/orvo/client.h"
#include "tools/orvo/environment.h"
#include "tools/orvo/options.h"
#include "tools/orvo/progress.h"

namespace orvo {

// What a command works with.
struct Context {
  const Environment& env;
  Session* session = nullptr;
  // Opens a new connection and logs in again, replacing *session; a result.
  std::function<int()> reconnect;
  bool in_shell = false;
  ProgressMeter* meter = nullptr;  // ends its line after each command
  // orvo's own command line, which chose the connection (a shell's lines
  // cannot).
  const Options* command_line = nullptr;
};

// What a row allows and needs.
enum CommandFlag : unsigned {
  kTakesOutput = 1u << 0,  // -o FILE
  kTakesJson = 1u << 1,    // --json
  kTakesSync = 1u << 2,    // --dry-run, --delete
  kNoSession = 1u << 3,    // runs without connecting
  kNotInShell = 1u << 4,   // only on orvo's command line
  kOnlyInShell = 1u << 5,  // only in the shell
  kTakesLarge = 1u << 6,   // --large
};

struct CommandRow {
  std::string_view name;
  size_t min_args;
  size_t max_args;
  unsigned flags;
  std::string_view usage;  // the arguments, for the usage text
  std::string_view help;   // one line on what it does
  // What the shell completes, one letter per argument: r a remote file, f a
  // remote folder, l a local file, k one of the words of the usage ("item|npc").
  std::string_view completes;
  int (*run)(Context& ctx, const Options& options);  // a result of results.h
};

// The row of a command word; nullptr for an unknown word.
const CommandRow* FindCommand(std::string_view name);

// Whether a row can be used `where`.
bool Available(const CommandRow& row, Where where);

// Visits every row in the table's order.
void ForEachCommand(const std::function<void(const CommandRow&)>& visit);

// The usage lines of the commands available `where`.
std::string CommandUsage(Where where);

// Whether `options` names a command that fits its row; an empty result, or
// what is wrong.
std::string CheckCommand(const Options& options, Where where);

// Runs the command of `options`; a result of results.h. A failure's
// explanation is in the session's Problem().
int RunCommand(Context& ctx, const Options& options);

// "orvo: " and what the command was, for messages: the word and up to two
// arguments.
std::string CommandTitle(const Options& options);

}  // namespace orvo
