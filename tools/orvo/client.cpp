#include "tools/orvo/client.h"

#include <utility>

#include "tools/orvo/replies.h"
#include "tools/orvo/ssh.h"
#include "wire/commands.h"

namespace orvo {

namespace {

constexpr const char* kInterruptedProblem = "interrupted";

// A request is the four-letter word and at most 259 characters after it; the
// service ends the argument at a zero byte.
int CheckRequest(Session& s, std::string_view request) {
  if (request.size() < wire::kCommandWordLength) return s.Fail(kInvalidInput, "a request needs a four-letter command word");
  if (request.size() > wire::kMaxRequestLength) {
    return s.Fail(kInvalidInput, "the name is longer than 259 characters");
  }
  if (request.find('\0') != std::string_view::npos) {
    return s.Fail(kInvalidInput, "the name holds a zero byte");
  }
  return kOk;
}

// The user name and password travel as text that the service cuts at the
// first CR, LF or zero byte.
int CheckLoginText(Session& s, std::string_view what, std::string_view text) {
  if (text.size() > kMaxNameLength) {
    return s.Fail(kInvalidInput, std::string(what) + " is longer than 259 characters");
  }
  if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
    return s.Fail(kInvalidInput, std::string(what) + " holds a line end or a zero byte");
  }
  return kOk;
}

// Turns a reply that came instead of the expected one into the result.
int FailWithReply(Session& s, std::string_view reply) {
  int result = FailureReplyResult(reply);
  if (result == kProtocolError) return s.Fail(kProtocolError, "unexpected reply: " + PrintableText(reply));
  return s.Fail(result, PrintableText(reply));
}

// Sends the chunks of an upload, each answered by its byte count, then the end
// marker. Returns kOk or the failure.
int SendAcknowledgedChunks(Session& s, const std::vector<std::string_view>& chunks,
                           long long total) {
  long long done = 0;
  std::string ack;
  for (std::string_view chunk : chunks) {
    int r = s.Send(chunk);
    if (r != kOk) return r;
    r = s.Receive(&ack);
    if (r < 0) return r;
    std::string expected = std::to_string(chunk.size());
    if (ack != expected) {
      return s.Fail(kProtocolError, "the service acknowledged " + PrintableText(ack) + " for a chunk of " +
                                        expected + " bytes");
    }
    done += static_cast<long long>(chunk.size());
    s.ReportProgress(done, total);
  }
  return s.Send(kEndMarker);
}

// Plans an upload: the chunks, or kInvalidInput when the service would stop
// reading before the end marker (unless it reads `large` uploads).
int PlanUpload(Session& s, std::string_view data, size_t max_chunk, bool large,
               std::vector<std::string_view>* chunks) {
  *chunks = PlanChunks(data, max_chunk);
  if (!large && chunks->size() + 1 > wire::kUploadPasses) {
    return s.Fail(kInvalidInput, "the data needs " + std::to_string(chunks->size()) +
                                     " packets; the service reads at most " +
                                     std::to_string(wire::kUploadPasses - 1) + " before the end marker");
  }
  return kOk;
}

// Sends `request` and waits for the ready text that opens an upload.
int OpenUpload(Session& s, std::string_view request, std::string_view ready) {
  int r = s.Send(request);
  if (r != kOk) return r;
  std::string reply;
  r = s.Receive(&reply);
  if (r < 0) return r;
  if (reply != ready) return FailWithReply(s, reply);
  return kOk;
}

// Reads the packets of a reply that ends with the end marker, handing each
// other packet to `take`, which returns kOk or a failure.
template <typename Take>
int ReceiveUntilEndMarker(Session& s, Take take) {
  std::string packet;
  for (bool first = true;; first = false) {
    int r = s.Receive(&packet);
    if (r < 0) return r;
    if (packet == kEndMarker) return kOk;
    r = take(packet, first);
    if (r != kOk) return r;
  }
}

}  // namespace

Session::Session(platform::Connection connection, int timeout_ms)
    : connection_(std::move(connection)), timeout_ms_(timeout_ms), usable_(connection_.Valid()) {}

Session::Session(platform::Connection connection, std::unique_ptr<platform::Tunnel> tunnel, int timeout_ms)
    : tunnel_(std::move(tunnel)),
      connection_(std::move(connection)),
      timeout_ms_(timeout_ms),
      usable_(connection_.Valid()) {}

Session& Session::operator=(Session&& other) noexcept {
  if (this == &other) return *this;
  connection_ = std::move(other.connection_);
  tunnel_ = std::move(other.tunnel_);
  timeout_ms_ = other.timeout_ms_;
  usable_ = other.usable_;
  problem_ = std::move(other.problem_);
  progress_ = std::move(other.progress_);
  return *this;
}

std::string Session::TunnelEnd() {
  if (!tunnel_) return "";
  // ssh ends at once when its connection or its forwarding fails.
  int code = tunnel_->ExitCode(2000);
  return code < 0 ? "" : "ssh exited with status " + std::to_string(code);
}

int Session::Send(std::string_view payload) {
  if (!Usable()) return Fail(kConnectionLost, "the connection is closed");
  int r = SendPacket(connection_, payload, timeout_ms_);
  if (r == kConnectionLost) return Fail(r, "the connection closed");
  if (r == kTimedOut) return Fail(r, "the service takes no more data");
  if (r == kInterrupted) return Fail(r, kInterruptedProblem);
  if (r != kOk) return Fail(r, "a packet must hold 1 to 1024 bytes");
  return kOk;
}

int Session::ReceiveWithin(std::string* payload, int timeout_ms) {
  if (!Usable()) return Fail(kConnectionLost, "the connection is closed");
  int r = ReceivePacket(connection_, payload, kMaxPayload, timeout_ms);
  if (r == kConnectionLost) return Fail(r, "the service closed the connection");
  if (r == kTimedOut) {
    return Fail(r, "no reply from the service within " + std::to_string(timeout_ms / 1000) + " s");
  }
  if (r == kProtocolError) return Fail(r, "the service sent a packet with a bad length");
  if (r == kInterrupted) return Fail(r, kInterruptedProblem);
  return r;
}

int Session::Fail(int result, std::string problem) {
  problem_ = std::move(problem);
  if (result == kConnectionLost || result == kTimedOut || result == kProtocolError || result == kInterrupted) {
    usable_ = false;
  }
  // The service learns of an interrupted exchange by the end of the
  // connection: a store under way is dropped and its file stays whole.
  if (result == kInterrupted) connection_.Close();
  return result;
}

int Connect(const std::string& host, uint16_t port, int timeout_ms, Session* session) {
  platform::Connection connection;
  std::string error;
  if (platform::Connect(host, port, timeout_ms, &connection, &error) != 0) {
    *session = Session();
    return session->Fail(kConnectFailed,
                         "cannot connect to " + host + ":" + std::to_string(port) + ": " + error);
  }
  *session = Session(std::move(connection), timeout_ms);
  return kOk;
}

int ConnectThroughSsh(const std::string& ssh_program, const std::string& destination, const std::string& host,
                      uint16_t port, int timeout_ms, Session* session) {
  std::vector<std::string> args;
  std::string problem = SshArguments(destination, host, port, &args);
  *session = Session();
  if (!problem.empty()) return session->Fail(kInvalidInput, problem);
  auto tunnel = std::make_unique<platform::Tunnel>();
  platform::Connection connection;
  std::string error;
  if (tunnel->Start(ssh_program, args, &connection, &error) != 0) return session->Fail(kConnectFailed, error);
  *session = Session(std::move(connection), std::move(tunnel), timeout_ms);
  return kOk;
}

int Login(Session& s, std::string_view user, std::string_view password) {
  if (user.empty()) return s.Fail(kInvalidInput, "the user name is empty");
  int r = CheckLoginText(s, "the user name", user);
  if (r == kOk) r = CheckLoginText(s, "the password", password);
  if (r != kOk) return r;

  std::string reply;
  r = s.Receive(&reply);
  if (r == kConnectionLost) {
    std::string tunnel_end = s.TunnelEnd();
    if (!tunnel_end.empty()) return s.Fail(r, "no connection through ssh: " + tunnel_end);
    return s.Fail(r, "the service closed the connection before its greeting (is this host allowed?)");
  }
  if (r < 0) return r;
  if (!reply.ends_with(kUsernamePrompt)) return s.Fail(kProtocolError, "unexpected greeting: " + PrintableText(reply));
  if ((r = s.Send(user)) != kOk) return r;
  if ((r = s.Receive(&reply)) < 0) return r;
  if (reply != kPasswordPrompt) return s.Fail(kProtocolError, "unexpected reply: " + PrintableText(reply));
  // A packet is never empty; the service reads a lone line end as an empty
  // password.
  if ((r = s.Send(password.empty() ? std::string_view("\r\n") : password)) != kOk) return r;
  if ((r = s.Receive(&reply)) < 0) return r;
  r = LoginReplyResult(reply);
  if (r == kProtocolError) return s.Fail(r, "unexpected reply: " + PrintableText(reply));
  if (r != kOk) {
    s.MarkClosed();  // the service closes the connection after a refusal
    return s.Fail(r, PrintableText(reply));
  }
  return kOk;
}

int Fetch(Session& s, std::string_view request, const ChunkSink& sink, long long* announced_size) {
  int r = CheckRequest(s, request);
  if (r != kOk) return r;
  if ((r = s.Send(request)) != kOk) return r;
  std::string packet;
  if ((r = s.Receive(&packet)) < 0) return r;
  long long size = 0;
  if (!ParseDecimal(packet, false, &size)) return FailWithReply(s, packet);
  *announced_size = size;

  long long done = 0;
  for (;;) {
    if ((r = s.Receive(&packet)) < 0) return r;
    // The end marker comes as a packet of its own; a data chunk never equals
    // it except in a file whose last chunk is exactly those five bytes, which
    // the protocol cannot tell apart.
    if (packet == kEndMarker) return kOk;
    if (!sink(packet)) {
      // An acknowledgement that does not match makes the service stop this
      // fetch without an end marker; the session stays in step.
      if ((r = s.Send("0")) != kOk) return r;
      return s.Fail(kLocalFileError, "the fetched data could not be written");
    }
    if ((r = s.Send(std::to_string(packet.size()))) != kOk) return r;
    done += static_cast<long long>(packet.size());
    s.ReportProgress(done, size);
  }
}

int FetchToFile(Session& s, std::string_view request, const std::string& path) {
  platform::AtomicFile file;
  std::string error;
  if (file.Open(path, &error) != 0) return s.Fail(kLocalFileError, error);
  long long size = 0;
  int r = Fetch(
      s, request, [&](std::string_view chunk) { return file.Write(chunk.data(), chunk.size(), &error) == 0; },
      &size);
  if (r == kLocalFileError) return s.Fail(r, error);
  if (r != kOk) return r;
  if (file.Commit(&error) != 0) return s.Fail(kLocalFileError, error);
  return kOk;
}

int Store(Session& s, std::string_view request, std::string_view data, bool large) {
  std::vector<std::string_view> chunks;
  int r = CheckRequest(s, request);
  if (r == kOk) r = PlanUpload(s, data, kMaxUploadChunk, large, &chunks);
  if (r != kOk) return r;
  if ((r = OpenUpload(s, request, kReadyForFile)) != kOk) return r;
  if ((r = SendAcknowledgedChunks(s, chunks, static_cast<long long>(data.size()))) != kOk) return r;
  std::string reply;
  if ((r = s.Receive(&reply)) < 0) return r;
  if (reply != kFileReceived) return s.Fail(kProtocolError, "unexpected reply: " + PrintableText(reply));
  return kOk;
}

int MergeEntry(Session& s, EntryKind kind, std::string_view entry, uint32_t* id) {
  if (entry.empty()) return s.Fail(kInvalidInput, "the entry is empty");
  if (entry.size() > kMaxEntryBytes) {
    // The service would keep only the first part and read the rest as commands.
    return s.Fail(kInvalidInput, "the entry has " + std::to_string(entry.size()) +
                                     " bytes; the service takes at most 8191");
  }
  std::vector<std::string_view> chunks;
  int r = PlanUpload(s, entry, kMaxEntryChunk, false, &chunks);
  if (r != kOk) return r;
  if ((r = OpenUpload(s, MergeRequest(kind), kReadyForEntry)) != kOk) return r;
  if ((r = SendAcknowledgedChunks(s, chunks, static_cast<long long>(entry.size()))) != kOk) return r;
  std::string reply;
  r = s.Receive(&reply);
  if (r == kTimedOut) {
    return s.Fail(r, "no answer to the entry: the service could not merge it (its log says why)");
  }
  if (r < 0) return r;
  if (!reply.starts_with(kMergedPrefix) || !ParseHex(std::string_view(reply).substr(kMergedPrefix.size()), id)) {
    return s.Fail(kProtocolError, "unexpected reply: " + PrintableText(reply));
  }
  return kOk;
}

int FetchSpawnList(Session& s, std::string* list) {
  int r = s.Send(wire::kSpawnList);
  if (r != kOk) return r;
  std::string packet;
  if ((r = s.Receive(&packet)) < 0) return r;
  long long length = 0;
  if (!ParseDecimal(packet, false, &length)) return FailWithReply(s, packet);
  // The announced length tells where the list ends, so a list packet can never
  // be mistaken for the closing "." CR LF.
  list->clear();
  while (static_cast<long long>(list->size()) < length) {
    if ((r = s.Receive(&packet)) < 0) return r;
    list->append(packet);
  }
  if (static_cast<long long>(list->size()) != length) {
    return s.Fail(kProtocolError, "the spawn list is longer than its announced " + std::to_string(length) + " bytes");
  }
  if ((r = s.Receive(&packet)) < 0) return r;
  if (packet != kSpawnListEnd) return s.Fail(kProtocolError, "the spawn list does not end with \".\\r\\n\"");
  return kOk;
}

int ListDirectory(Session& s, std::string_view path, std::vector<DirectoryRecord>* records) {
  std::string request = std::string(wire::kListDirectory).append(path);
  int r = CheckRequest(s, request);
  if (r == kOk) r = s.Send(request);
  if (r != kOk) return r;
  records->clear();
  r = ReceiveUntilEndMarker(s, [&](const std::string& packet, bool first) {
    // Every record ends with a zero byte; a text reply never does.
    if (first && !packet.ends_with('\0')) return FailWithReply(s, packet);
    if (DecodeDirectoryRecords(packet, records) < 0) {
      return s.Fail(kProtocolError, "a damaged directory record: " + PrintableText(packet));
    }
    return kOk;
  });
  if (r == kOk && records->size() == 1 && records->front().attributes == 0 &&
      records->front().name == kInvalidPath) {
    return s.Fail(kFailedReply, "the service cannot list " + std::string(path) + " (Invalid Path)");
  }
  return r;
}

int GetChecksum(Session& s, std::string_view name, long long* checksum) {
  std::string request = std::string(wire::kChecksum).append(name);
  int r = CheckRequest(s, request);
  if (r == kOk) r = s.Send(request);
  if (r != kOk) return r;
  std::string reply;
  if ((r = s.Receive(&reply)) < 0) return r;
  if (!ParseDecimal(reply, true, checksum)) return FailWithReply(s, reply);
  return kOk;
}

int ListResources(Session& s, std::vector<ResourceEntry>* resources) {
  int r = s.Send(wire::kResources);
  if (r != kOk) return r;
  resources->clear();
  return ReceiveUntilEndMarker(s, [&](const std::string& packet, bool first) {
    // One packet per resource: the name, a tab, the checksum in decimal.
    size_t tab = packet.rfind('\t');
    ResourceEntry entry;
    if (tab == std::string::npos || !ParseDecimal(std::string_view(packet).substr(tab + 1), true, &entry.checksum)) {
      if (first) return FailWithReply(s, packet);
      return s.Fail(kProtocolError, "unexpected resource line: " + PrintableText(packet));
    }
    entry.name = packet.substr(0, tab);
    resources->push_back(std::move(entry));
    return kOk;
  });
}

int GetGamePort(Session& s, long long* port) {
  int r = s.Send(wire::kGamePort);
  if (r != kOk) return r;
  std::string reply;
  if ((r = s.Receive(&reply)) < 0) return r;
  if (!ParseDecimal(reply, false, port)) return FailWithReply(s, reply);
  if (*port == 0) {
    return s.Fail(kRefused, "the service refused PORT (the account lacks write level, or the service is read-only)");
  }
  return kOk;
}

int StartGameServer(Session& s) { return s.Send(wire::kStartServer); }

int Quit(Session& s) {
  int r = s.Send(wire::kQuit);
  std::string reply;
  if (r == kOk) r = s.Receive(&reply);
  if (r < 0) return r;
  s.MarkClosed();
  if (reply != kClosingConnection) return s.Fail(kProtocolError, "unexpected reply: " + PrintableText(reply));
  return kOk;
}

int RawExchange(Session& s, std::string_view request, int idle_ms, const PacketSink& sink) {
  int r = s.Send(request);
  if (r != kOk) return r;
  int count = 0;
  std::string packet;
  for (;;) {
    r = s.ReceiveWithin(&packet, idle_ms);
    if (r == kTimedOut) return count;
    if (r == kConnectionLost && count > 0) return count;
    if (r < 0) return r;
    sink(packet);
    ++count;
  }
}

}  // namespace orvo
