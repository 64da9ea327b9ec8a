// The results of orvo's calls: 0 or a count for success, negative for failure.
#pragma once

namespace orvo {

inline constexpr int kOk = 0;
// The service refused the command: the no-privilege reply, or "0" for PORT.
inline constexpr int kRefused = -1;
// The service answered with its failure text (a file it cannot open, ...).
inline constexpr int kFailedReply = -2;
// The service does not know the command word.
inline constexpr int kUnknownCommand = -3;
// The connection closed or failed.
inline constexpr int kConnectionLost = -4;
// Nothing arrived within the time-out.
inline constexpr int kTimedOut = -5;
// A reply that the exchange does not allow; the session is out of step.
inline constexpr int kProtocolError = -6;
// Login: no such account, or the password does not match.
inline constexpr int kBadCredentials = -7;
// Login: the account's privilege level is below GM.
inline constexpr int kInsufficientLevel = -8;
// Login: the service cannot find the game server's account file.
inline constexpr int kAccountFileMissing = -9;
// The service could not be reached.
inline constexpr int kConnectFailed = -10;
// A local file could not be read or written.
inline constexpr int kLocalFileError = -11;
// The request cannot be sent as asked (a name too long, an entry too big, ...).
inline constexpr int kInvalidInput = -12;
// The file changed on the server since it was fetched; nothing was stored.
inline constexpr int kConflict = -13;
// The user interrupted the exchange (Ctrl-C in the shell); the connection is
// closed, so that the service drops a store under way and keeps its file.
inline constexpr int kInterrupted = -14;

}  // namespace orvo
