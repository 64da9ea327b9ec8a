// orvo shell: one login, then the commands of the command line read one per
// line, with help and quit. On a terminal lines are edited, with history and
// completion; otherwise standard input is a script, which stops at the first
// failing command with that command's exit status.
#pragma once

#include "tools/orvo/cli.h"
#include "tools/orvo/commands.h"

namespace orvo {

// Runs the shell on the logged-in session of `ctx`; the exit status.
int RunShell(Context& ctx, const Settings& settings);

}  // namespace orvo
