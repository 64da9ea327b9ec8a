// STRT: starting the game server, as a program or as a service of its own.
#pragma once

#include "service/protocol/session.h"

namespace protocol {

// Starts the game server as "gyrion.ini" says; logs every outcome and sends no
// reply. True when the session has ended (the service path ends it).
bool StartGameServer(ClientSession& session);

}  // namespace protocol
