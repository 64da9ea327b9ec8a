#include "service/protocol/session.h"

#include "service/host/log.h"
#include "service/protocol/framing.h"

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

bool EndOnBadReceive(ClientSession& session, long n, long limit) {
  if (n < 0) {
    EndAfterReceiveFailure(session);
    return true;
  }
  if (n >= limit) {
    platform::ShutdownBoth(session.socket);
    host::WriteLog("Exploit attempt from %s blocked.\n", session.address.c_str());
    session.socket.Close();
    return true;
  }
  return false;
}

void SendNoPrivilege(ClientSession& session) {
  SendFormatted(session.socket, "This user does not have sufficient priveleges on the remote server%c%c", '\r', '\n');
  PauseAfterSend();
}

}  // namespace protocol
