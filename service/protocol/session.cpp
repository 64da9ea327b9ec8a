#include "service/protocol/session.h"

#include <algorithm>

#include "service/gamedata/accounts.h"
#include "service/host/config.h"
#include "service/host/log.h"
#include "service/host/text_lines.h"
#include "service/platform/clock.h"
#include "service/protocol/command_table.h"
#include "service/protocol/framing.h"
#include "wire/replies.h"

namespace protocol {

namespace {

// Counts a failed login of the session's address, and logs the block it
// begins.
void NoteLoginFailure(const ClientSession& session) {
  LoginFailures* failures = session.login_failures.get();
  if (failures == nullptr || !failures->RecordFailure(session.address, platform::MonotonicMs())) return;
  host::WriteLog("Address %s blocked for %d seconds after %d failed logins\n", session.address.c_str(),
                 static_cast<int>(host::Config().login_block_time), failures->Most());
}

// Receives one login text; false when the session has ended. Nothing that
// arrived in time is no text at all: a time-out ends the session like a failed
// receive, so that it never passes for an empty password.
bool ReceiveLoginText(ClientSession& session, std::string* text) {
  std::string payload;
  // A user name or password packet longer than a name is an attack.
  Received received = ReceivePacket(session.socket, payload, wire::kMaxPayload);
  // A time-out and an attack count as failed logins; a peer that goes away
  // has tried nothing.
  bool failed = received == Received::kIdle || received == Received::kTooLong ||
                (received == Received::kPacket && payload.size() > wire::kMaxNameLength);
  bool ended = EndOnBadReceive(session, received, payload, wire::kMaxNameLength);
  if (!ended && received == Received::kIdle) {
    EndAfterReceiveFailure(session);
    ended = true;
  }
  if (failed) NoteLoginFailure(session);
  if (ended) return false;
  host::CutAtNul(payload);
  host::StripLineEnds(payload);
  *text = payload;
  return true;
}

}  // namespace

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

void SessionMain(ClientSession& session) {
  platform::SetLinger(session.socket, 60);
  // A peer that stops reading cannot hold a session's thread for ever.
  platform::SetSendTimeout(session.socket, std::max(host::Config().receive_timeout, 1000));
  SendPacket(session.socket, wire::kGreeting);
  if (!ReceiveLoginText(session, &session.user)) return;
  SendPacket(session.socket, wire::kPasswordPrompt);
  if (!ReceiveLoginText(session, &session.password)) return;

  using gamedata::LoginResult;
  const gamedata::FoundAccount account = gamedata::FindAccount(session.user, session.password);
  const std::string user = host::EscapeForLog(session.user);
  switch (account.result) {
    case LoginResult::kBadCredentials:
      // The password a peer tried is never written down.
      host::WriteLog("Login attempt from IP %s failed: userid=%s password=%s\n", session.address.c_str(), user.c_str(),
                     "<hidden>");
      // Counted before the reply, so that a peer that tries again at once
      // already finds its address blocked.
      NoteLoginFailure(session);
      SendPacket(session.socket, wire::kLoginBadCredentials);
      break;
    case LoginResult::kInsufficientLevel:
      host::WriteLog("Login attempt from IP %s failed -- insufficient priveledge: userid=%s\n",
                     session.address.c_str(), user.c_str());
      NoteLoginFailure(session);
      SendPacket(session.socket, wire::kLoginInsufficientLevel);
      break;
    case LoginResult::kAccountFileMissing:
      SendPacket(session.socket, wire::kLoginAccountFileMissing);
      break;
    case LoginResult::kReadAccess:
    case LoginResult::kWriteAccess:
      session.access = account.result == LoginResult::kWriteAccess ? Access::kWrite : Access::kRead;
      session.account_read_path = account.read_path;
      session.account_write_path = account.write_path;
      if (session.login_failures) session.login_failures->RecordSuccess(session.address);
      host::WriteLog("Login from IP %s successful for user %s\n", session.address.c_str(), user.c_str());
      SendPacket(session.socket, wire::kLoginSuccessful);
      RunCommandLoop(session);
      return;
  }
  EndSession(session);
}

}  // namespace protocol
