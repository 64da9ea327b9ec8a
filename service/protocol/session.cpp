#include "service/protocol/session.h"

#include "service/host/log.h"
#include "service/protocol/framing.h"
#include "wire/replies.h"

namespace protocol {

void EndSession(ClientSession& session) {
  platform::ShutdownBoth(session.socket);
  host::WriteLog("Socket %ld from %s closed.\n", session.socket.Id(), session.address.c_str());
  session.socket.Close();
}

void EndAfterReceiveFailure(ClientSession& session) {
  host::WriteLog("Error receiving data on socket %ld.  Closing\n", session.socket.Id());
  EndSession(session);
}

bool EndOnBadReceive(ClientSession& session, Received received, const std::string& packet, size_t most) {
  if (received != Received::kPacket && received != Received::kIdle) {
    EndAfterReceiveFailure(session);
    return true;
  }
  if (packet.size() > most) {
    platform::ShutdownBoth(session.socket);
    host::WriteLog("Exploit attempt from %s blocked.\n", session.address.c_str());
    session.socket.Close();
    return true;
  }
  return false;
}

void SendNoPrivilege(ClientSession& session) {
  SendPacket(session.socket, wire::kNoPrivilege);
  PauseAfterSend();
}

}  // namespace protocol
