// One accepted connection: its whole life from the greeting and the login to
// the ways a session ends.
#pragma once

#include <memory>
#include <string>

#include "service/platform/net.h"
#include "service/protocol/framing.h"
#include "service/protocol/login_failures.h"

namespace protocol {

// What a logged-in session may do: write commands need kWrite.
enum class Access { kRead, kWrite };

struct ClientSession {
  platform::Socket socket;
  std::string address;  // the peer's address: dotted IPv4, or IPv6 text
  std::string user;
  std::string password;
  Access access = Access::kRead;
  // The account files as this session's login found them in "gyrion.ini":
  // GACT sends the first, SACT replaces the second.
  std::string account_read_path;
  std::string account_write_path;
  // Where failed logins are counted (MAXLOGINFAILURES); none when off.
  std::shared_ptr<LoginFailures> login_failures;
};

// Greets the peer, logs it in and serves its commands; closes the connection
// at the end.
void SessionMain(ClientSession& session);

// Shuts the connection down, logs its end and closes it.
void EndSession(ClientSession& session);

// Ends the session after a failed receive, logging that first.
void EndAfterReceiveFailure(ClientSession& session);

// Ends the session when a receive of a login text or request failed (neither
// a packet nor idle) or brought a packet longer than `most` bytes (an attack,
// logged as such and answered with nothing). True when the session has ended.
bool EndOnBadReceive(ClientSession& session, Received received, const std::string& packet, size_t most);

// Sends the no-privilege reply.
void SendNoPrivilege(ClientSession& session);

}  // namespace protocol
