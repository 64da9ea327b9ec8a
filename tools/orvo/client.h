// The client side of the administration protocol: a session on one
// connection, the login, and one function per exchange. Every function returns
// kOk (or a count) on success and a negative result of results.h on failure,
// with a one-line explanation in Session::Problem().
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tools/orvo/command_words.h"
#include "tools/orvo/directory_record.h"
#include "tools/orvo/packets.h"
#include "tools/orvo/platform.h"
#include "tools/orvo/platform_tunnel.h"
#include "tools/orvo/results.h"

namespace orvo {

inline constexpr const char* kDefaultHost = "127.0.0.1";
inline constexpr uint16_t kDefaultPort = 4006;
// Patience for each packet. The service gives a silent peer about a minute
// before it gives up, so the client waits longer than that.
inline constexpr int kDefaultTimeoutMs = 120000;

// Limits the service sets on what it accepts.
using wire::kMaxEntryBytes;
using wire::kMaxEntryChunk;
using wire::kMaxNameLength;
using wire::kMaxUploadChunk;

// Told after each chunk of a transfer: the bytes moved so far and the total
// expected (the announced size of a fetch, the size of an upload).
using ProgressFn = std::function<void(long long done, long long total)>;
// Takes each chunk of a fetched file in order; false stops the fetch.
using ChunkSink = std::function<bool(std::string_view chunk)>;
// Takes each packet of a raw exchange as it arrives.
using PacketSink = std::function<void(std::string_view packet)>;

// One connection to the service and what the client knows about its state.
class Session {
 public:
  Session() = default;
  explicit Session(platform::Connection connection, int timeout_ms = kDefaultTimeoutMs);
  // A session whose connection is the end of a program's standard input and
  // output (ssh -W).
  Session(platform::Connection connection, std::unique_ptr<platform::Tunnel> tunnel, int timeout_ms);
  Session(Session&&) = default;
  // The old connection closes before its tunnel's program is waited for.
  Session& operator=(Session&& other) noexcept;

  // Sends one packet; kOk, or the failure (recorded, the session unusable).
  int Send(std::string_view payload);
  // Receives one packet within the session's time-out; its length, or the
  // failure (recorded, the session unusable).
  int Receive(std::string* payload) { return ReceiveWithin(payload, timeout_ms_); }
  // The same with a time-out of its own.
  int ReceiveWithin(std::string* payload, int timeout_ms);

  // Records why an exchange failed and returns `result`. A result that leaves
  // the connection out of step (lost, timed out, protocol error) makes the
  // session unusable.
  int Fail(int result, std::string problem);

  // Whether the connection is open and in step, so another command may follow.
  bool Usable() const { return usable_ && connection_.Valid(); }
  // Marks the connection as finished (after QUIT, or a reply that closes it).
  void MarkClosed() { usable_ = false; }
  // Whether the service has closed the connection while the session was idle,
  // asked without waiting.
  bool PeerHasClosed() const { return platform::PeerClosed(connection_); }
  // One line saying what went wrong in the last failed call.
  const std::string& Problem() const { return problem_; }
  int TimeoutMs() const { return timeout_ms_; }
  // How the tunnel's program ended ("ssh exited with status 255"), waiting
  // a moment for it; empty without a tunnel or while it runs.
  std::string TunnelEnd();

  // The function told of each transfer's progress, and setting it.
  void SetProgress(ProgressFn progress) { progress_ = std::move(progress); }
  const ProgressFn& Progress() const { return progress_; }
  // Tells the progress function, if there is one.
  void ReportProgress(long long done, long long total) const {
    if (progress_) progress_(done, total);
  }

 private:
  // Destroyed after the connection: the program sees its input end first.
  std::unique_ptr<platform::Tunnel> tunnel_;
  platform::Connection connection_;
  int timeout_ms_ = kDefaultTimeoutMs;
  bool usable_ = false;
  std::string problem_;
  ProgressFn progress_;
};

// Connects to the service; kOk, or kConnectFailed.
int Connect(const std::string& host, uint16_t port, int timeout_ms, Session* session);
// Reaches the service at host:port as the SSH server `destination` sees it,
// through `ssh_program` (OpenSSH's client, with -W); kOk, kInvalidInput for a
// bad destination, or kConnectFailed when the program cannot be started.
// Whatever ssh itself finds wrong, it says on standard error, and the login
// then fails with kConnectionLost.
int ConnectThroughSsh(const std::string& ssh_program, const std::string& destination, const std::string& host,
                      uint16_t port, int timeout_ms, Session* session);

// Reads the greeting and logs in. kOk; kBadCredentials, kInsufficientLevel or
// kAccountFileMissing for the service's three refusals (it then closes the
// connection); kInvalidInput for a user name or password the service cannot
// take (empty user, over 259 bytes, CR, LF or NUL inside); kConnectionLost,
// kTimedOut or kProtocolError.
int Login(Session& s, std::string_view user, std::string_view password);

// Sends `request` (a fetch word such as GITM, GINI, GACT, or GFIL and a name)
// and takes the file: the size announcement, then every chunk, each handed to
// `sink` and acknowledged with its byte count, up to the end marker. Fills
// `announced_size` (the size on the service's disk; the bytes arrive with LF
// line ends, so usually fewer come). kOk; kRefused, kFailedReply (the service
// cannot open the file), kUnknownCommand; kLocalFileError when `sink` refuses
// a chunk (the fetch is stopped and the session stays usable).
int Fetch(Session& s, std::string_view request, const ChunkSink& sink, long long* announced_size);

// Fetch into the file `path`, written under a temporary name and renamed over
// `path` only when the whole file has arrived; after any failure an existing
// file at `path` is untouched.
int FetchToFile(Session& s, std::string_view request, const std::string& path);

// Sends `request` (a store word such as SDFS, SINI, SACT, or SFIL and a name)
// and uploads `data` in acknowledged chunks of at most 1023 bytes, then the end
// marker, and waits for "File Received". kOk; kRefused, kFailedReply (the
// service cannot create the file), kUnknownCommand; kInvalidInput when the
// data needs more packets than the service reads (nothing is sent). With
// `large` the data may take any number of packets, for a service that reads
// uploads up to its MAXUPLOADSIZE.
int Store(Session& s, std::string_view request, std::string_view data, bool large = false);

// Merges one item (SITM) or NPC (SCHR) entry: uploads `entry` in acknowledged
// chunks of at most 1024 bytes, then the end marker, and reads "OK - ID=" with
// the entry's ID into `id`. kOk; kRefused; kInvalidInput for an empty entry or
// one over 8191 bytes (nothing is sent); kTimedOut when the service sends no
// answer (it cannot open the script, see its log).
int MergeEntry(Session& s, EntryKind kind, std::string_view entry, uint32_t* id);

// GSPN: the spawn list, one line per spawn point with CR LF line ends.
int FetchSpawnList(Session& s, std::string* list);

// GDIR of `path`: the listed entries. kFailedReply when the service answers
// with its "Invalid Path" record.
int ListDirectory(Session& s, std::string_view path, std::vector<DirectoryRecord>* records);

// GFCS of `name`: the file's checksum (0 also for a file the service cannot open).
int GetChecksum(Session& s, std::string_view name, long long* checksum);

struct ResourceEntry {
  std::string name;  // as the service sends it: upper case, blanks kept
  long long checksum = 0;
};
// GRES: the resource files of the tables script with their checksums.
// kFailedReply when the service cannot open "gyriontables.scp".
int ListResources(Session& s, std::vector<ResourceEntry>* resources);

// PORT: the game server's port. kRefused when the service answers "0" (the
// account lacks write level, or the service is read-only).
int GetGamePort(Session& s, long long* port);

// STRT: asks the service to start the game server. The service never answers;
// the outcome is only in its log.
int StartGameServer(Session& s);

// QUIT: ends the session. kOk when the service said "Closing connection.";
// kConnectionLost when the connection had already closed.
int Quit(Session& s);

// Sends `request` as it is and hands every packet to `sink` until the service
// is silent for `idle_ms` or closes the connection; nothing is acknowledged.
// Returns the number of packets; kConnectionLost when the connection closed
// before any packet came.
int RawExchange(Session& s, std::string_view request, int idle_ms, const PacketSink& sink);

}  // namespace orvo
