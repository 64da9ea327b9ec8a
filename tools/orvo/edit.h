// orvo edit NAME: fetch a file of the game server into a private folder, let
// the user's editor change it, and store it back only when the file on the
// server still holds what was fetched (server_copy.h). Nothing typed is ever
// thrown away: whenever the edited copy cannot be stored, it stays where it
// is and orvo says where.
#pragma once

#include <string>

#include "tools/orvo/commands.h"

namespace orvo {

// The name that fetches, checksums and stores exactly the same file: a name
// without a folder gets "./", because a bare name would be stored in the
// scripts folder while it is fetched from the game server's folder.
std::string RoundTripName(const std::string& name);

// The editor command: $VISUAL, else $EDITOR, else the system's editor.
std::string EditorCommand(const Environment& env);

// Runs the edit command; a result of results.h (kConflict when the file
// changed on the server meanwhile).
int RunEdit(Context& ctx, const Options& options);

// The text to store: CR LF pairs made LF, since the service writes every LF
// as CR LF and would store a CR LF as CR CR LF.
std::string WithLfLineEnds(std::string_view text);

}  // namespace orvo
