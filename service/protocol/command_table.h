// The session's command loop and the table of its 37 commands.
#pragma once

#include <string_view>

#include "service/protocol/session.h"

namespace protocol {

// Serves one command per request packet until QUIT, a connection failure or
// a game-server start through the service manager; closes the connection.
void RunCommandLoop(ClientSession& session);

// The row number of a command word (matched without regard to case), or -1.
int FindCommand(std::string_view word);

}  // namespace protocol
