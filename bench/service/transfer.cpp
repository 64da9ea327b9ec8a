// A fetch (GFIL) and a store (SFIL) of a large file through the real orvosvr
// over loopback, against a bare stop-and-wait exchange of the same packets
// between two sockets of this process, in the same run. The client side is
// the same code in both: the service is measured against the least any
// stop-and-wait transfer of these chunks and acknowledgements costs.
//
//   bench_service_transfer [--mb N] [--runs N]
//
// --mb sets the file's size (default 100); --runs measures each transfer
// that many times and keeps the best (default 1).
#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "service/platform/net.h"
#include "wire/commands.h"
#include "wire/packet.h"
#include "wire/replies.h"

namespace fs = std::filesystem;

namespace {

using wire::kEndMarker;
using wire::kFetchChunk;
using wire::kFileReceived;
using wire::kMaxUploadChunk;
using wire::kReadyForFile;

// A byte count in decimal, as size announcements and acknowledgements carry it.
class Decimal {
 public:
  explicit Decimal(size_t n) : size_(static_cast<size_t>(std::snprintf(text_, sizeof text_, "%zu", n))) {}
  std::string_view text() const { return {text_, size_}; }

 private:
  char text_[24];
  size_t size_;
};

// One end of a connection that speaks the packet framing with as little work
// as it can: a whole packet per send, and receives into one buffer that holds
// as many packets as have arrived.
class Peer {
 public:
  explicit Peer(platform::Socket s) : s_(std::move(s)), in_(1 << 16) {
    // A peer that stops answering ends the run instead of hanging it.
    timeval patience{30, 0};
    ::setsockopt(static_cast<int>(s_.Native()), SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
  }
  bool Valid() const { return s_.Valid(); }
  void Close() { s_.Close(); }

  bool Send(std::string_view payload) {
    out_.clear();
    wire::AppendLength(&out_, static_cast<int32_t>(payload.size()));
    out_.append(payload);
    for (std::string_view rest = out_; !rest.empty();) {
      long n = platform::SendSome(s_, rest.data(), rest.size());
      if (n <= 0) return false;
      rest.remove_prefix(static_cast<size_t>(n));
    }
    return true;
  }

  // The next packet's payload, valid until the next call; false when the
  // connection ended or stalled.
  bool Receive(std::string_view* payload) {
    if (!Fill(wire::kLengthSize)) return false;
    wire::ByteReader prefix(std::string_view(in_.data() + begin_, wire::kLengthSize));
    int32_t length = 0;
    if (!wire::ReadLength(prefix, &length) || length < 0) return false;
    const size_t n = static_cast<size_t>(length);
    if (!Fill(wire::kLengthSize + n)) return false;
    *payload = std::string_view(in_.data() + begin_ + wire::kLengthSize, n);
    begin_ += wire::kLengthSize + n;
    return true;
  }

 private:
  bool Fill(size_t count) {
    if (end_ - begin_ >= count) return true;
    if (begin_ > 0) {
      std::copy(in_.begin() + static_cast<long>(begin_), in_.begin() + static_cast<long>(end_), in_.begin());
      end_ -= begin_;
      begin_ = 0;
    }
    if (in_.size() < count) in_.resize(count);
    while (end_ < count) {
      long n = platform::ReceiveSome(s_, in_.data() + end_, in_.size() - end_);
      if (n <= 0) return false;
      end_ += static_cast<size_t>(n);
    }
    return true;
  }

  platform::Socket s_;
  std::vector<char> in_;
  size_t begin_ = 0;
  size_t end_ = 0;
  std::string out_;
};

// The client's fetch: the size announcement, each chunk acknowledged with its
// byte count, the end marker. False unless exactly `expected` bytes came.
bool Fetch(Peer& client, const std::string& name, size_t expected) {
  if (!client.Send(std::string(wire::kFetchFile) + name)) return false;
  std::string_view packet;
  if (!client.Receive(&packet) || packet != Decimal(expected).text()) return false;
  size_t total = 0;
  while (client.Receive(&packet) && packet != kEndMarker) {
    total += packet.size();
    if (!client.Send(Decimal(packet.size()).text())) return false;
  }
  return packet == kEndMarker && total == expected;
}

// The client's store: chunks of 1023 bytes, each waiting for its
// acknowledgement, then the end marker and the reply.
bool Store(Peer& client, const std::string& name, std::string_view data) {
  if (!client.Send(std::string(wire::kStoreFile) + name)) return false;
  std::string_view packet;
  if (!client.Receive(&packet) || packet != kReadyForFile) return false;
  for (size_t at = 0; at < data.size(); at += kMaxUploadChunk) {
    std::string_view chunk = data.substr(at, kMaxUploadChunk);
    if (!client.Send(chunk) || !client.Receive(&packet) || packet != Decimal(chunk.size()).text()) return false;
  }
  return client.Send(kEndMarker) && client.Receive(&packet) && packet == kFileReceived;
}

// The other end of the bare exchange: the same packets as the service's
// fetch and store, with the file in memory and nothing else done.
void ServeBare(Peer& server, std::string_view data) {
  std::string_view packet;
  while (server.Receive(&packet)) {
    if (packet.substr(0, wire::kCommandWordLength) == wire::kFetchFile) {
      server.Send(Decimal(data.size()).text());
      for (size_t at = 0; at < data.size(); at += kFetchChunk) {
        std::string_view chunk = data.substr(at, kFetchChunk);
        if (!server.Send(chunk) || !server.Receive(&packet) || packet != Decimal(chunk.size()).text()) return;
      }
      server.Send(kEndMarker);
    } else if (packet.substr(0, wire::kCommandWordLength) == wire::kStoreFile) {
      server.Send(kReadyForFile);
      while (server.Receive(&packet) && packet.find(kEndMarker) == std::string_view::npos) {
        server.Send(Decimal(packet.size()).text());
      }
      server.Send(kFileReceived);
    }
  }
}

// Text lines with LF ends only, so that the text a fetch sends is the file's
// bytes and its announced size is exact.
std::string MakeData(long mb) {
  const std::string line = "ITEM=i_longsword_of_vanquishing,AMOUNT=17,COLOR=0481,P=1234,567,8\n";
  std::string data;
  data.reserve(static_cast<size_t>(mb) << 20);
  while (data.size() + line.size() <= static_cast<size_t>(mb) << 20) data += line;
  data.append((static_cast<size_t>(mb) << 20) - data.size(), 'x');
  return data;
}

// Times one transfer; a failure makes every number below meaningless.
double Timed(const char* what, const std::function<bool()>& work, bool* ok) {
  auto start = std::chrono::steady_clock::now();
  if (!work()) {
    std::fprintf(stderr, "%s failed: its numbers below mean nothing\n", what);
    *ok = false;
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long Arg(int argc, char** argv, const char* name, long fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == name) return std::atol(argv[i + 1]);
  }
  return fallback;
}

int FreePort() {
  int stage = 0;
  return platform::LocalPort(platform::OpenListener(0, 1, &stage));
}

// Starts orvosvr from a copy of the example game server in `dir` and
// connects a logged-in client to it; -1 for the pid on failure.
int StartService(const fs::path& dir, std::unique_ptr<Peer>* client) {
  fs::copy(fs::path(KIT_SOURCE_DIR) / "examples" / "gameserver", dir, fs::copy_options::recursive);
  fs::copy_file(ORVOSVR_BINARY, dir / "orvosvr");
  const int port = FreePort();
  std::ofstream(dir / "orvosvr.cfg", std::ios::binary)
      << "PORT " << port << "\r\nGYRIONPATH " << dir.string() << "\r\n";
  std::fflush(stdout);
  const int pid = ::fork();
  if (pid == 0) {
    if (!std::freopen("/dev/null", "w", stdout)) ::_exit(126);
    const std::string exe = (dir / "orvosvr").string();
    ::execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  for (int tries = 0; tries < 200 && !(*client && (*client)->Valid()); ++tries) {
    platform::Socket s = platform::Connect("127.0.0.1", static_cast<uint16_t>(port));
    if (s.Valid()) {
      *client = std::make_unique<Peer>(std::move(s));
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
  }
  std::string_view reply;
  bool in = *client && (*client)->Receive(&reply) && (*client)->Send("Warden") && (*client)->Receive(&reply) &&
            (*client)->Send("northwind") && (*client)->Receive(&reply) && reply == wire::kLoginSuccessful;
  return in ? pid : (::kill(pid, SIGKILL), ::waitpid(pid, nullptr, 0), -1);
}

void Report(const char* what, size_t bytes, double service, double bare) {
  const double mb = static_cast<double>(bytes) / (1 << 20);
  std::printf("%-6s service %8.2f MB/s   bare exchange %8.2f MB/s   service takes %.2fx as long (goal <= 2)\n", what,
              mb / service, mb / bare, service / bare);
}

}  // namespace

int main(int argc, char** argv) {
  const long mb = std::max(1L, Arg(argc, argv, "--mb", 100));
  const long runs = std::max(1L, Arg(argc, argv, "--runs", 1));
  const fs::path dir = fs::temp_directory_path() / ("orvosvr-transfer-" + std::to_string(::getpid()));
  const std::string data = MakeData(mb);
  std::printf("transferring %ld MB in packets of %zu (fetch) and %zu (store) bytes, best of %ld\n", mb, kFetchChunk,
              kMaxUploadChunk, runs);

  // The bare exchange: two sockets of this process over loopback.
  int stage = 0;
  platform::Socket listener = platform::OpenListener(0, 1, &stage);
  Peer bare_client(platform::Connect("127.0.0.1", static_cast<uint16_t>(platform::LocalPort(listener))));
  std::string peer_address;
  Peer bare_server(platform::Accept(listener, &peer_address));
  std::thread server([&] { ServeBare(bare_server, data); });

  std::unique_ptr<Peer> client;
  const int pid = StartService(dir, &client);
  if (pid < 0) {
    std::fprintf(stderr, "orvosvr did not start or the login failed\n");
    bare_client.Close();
    server.join();
    fs::remove_all(dir);
    return 1;
  }
  std::ofstream(dir / "bench.scp", std::ios::binary) << data;

  // Each round times the four transfers one after the other, so that a
  // moment of load on a shared machine falls on the service and the bare
  // exchange alike; the best of each is kept.
  bool ok = true;
  auto fetch = [&](Peer& peer) { return Fetch(peer, "bench.scp", data.size()); };
  auto store = [&](Peer& peer) { return Store(peer, "bench.scp", data); };
  double bare_fetch = 1e30, bare_store = 1e30, service_fetch = 1e30, service_store = 1e30;
  for (long round = 0; round < runs; ++round) {
    bare_fetch = std::min(bare_fetch, Timed("the bare fetch", [&] { return fetch(bare_client); }, &ok));
    service_fetch = std::min(service_fetch, Timed("the service's fetch", [&] { return fetch(*client); }, &ok));
    bare_store = std::min(bare_store, Timed("the bare store", [&] { return store(bare_client); }, &ok));
    service_store = std::min(service_store, Timed("the service's store", [&] { return store(*client); }, &ok));
  }
  bare_client.Close();
  server.join();

  Report("fetch", data.size(), service_fetch, bare_fetch);
  Report("store", data.size(), service_store, bare_store);
  client.reset();
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  fs::remove_all(dir);
  return ok ? 0 : 1;
}
