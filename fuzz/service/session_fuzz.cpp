// A whole session fed a byte stream over a socket pair: the login, commands,
// fetches, stores and merges, against a copy of the example game server's
// folder. The peer's end sends the stream, reads whatever comes back and
// closes its sending side when the stream is exhausted, so every session ends
// at once. Nothing may change outside the game server's folder, no program is
// started (the process layer here starts none) and no thread is left running.
//
// The input's first byte chooses how the stream is made:
//   bits 0-1  1: logged in first as an administrator, 2: as a game master;
//             0 and 3: the stream begins at the login
//   bit 2     READONLY is set
//   bit 7     the rest is split at each byte 0x1E into packets (the length
//             prefixes are added); otherwise it is sent as it is
// Streams are cut at 32 KB, which the socket takes without a reader.

#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "service/gamedata/spawn_list.h"
#include "service/host/config.h"
#include "service/platform/net.h"
#include "service/protocol/session.h"
#include "service_fuzz.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kStreamLimit = 32 * 1024;
constexpr char kPacketBreak = '\x1e';

// Every file and folder under the process's folder with its size and time:
// what a session changed shows up here.
using Snapshot = std::vector<std::tuple<std::string, bool, uintmax_t, fs::file_time_type>>;
Snapshot Take() {
  Snapshot snapshot;
  for (const auto& entry : fs::recursive_directory_iterator(orvosvr_fuzz::Folder())) {
    bool file = !entry.is_directory() || entry.is_symlink();
    snapshot.emplace_back(entry.path().string(), file, file && entry.is_regular_file() ? entry.file_size() : 0,
                          entry.is_symlink() ? fs::file_time_type() : entry.last_write_time());
  }
  std::sort(snapshot.begin(), snapshot.end());
  return snapshot;
}

// The game server's folder, made anew from the example each time a session
// changed it, and a folder beside it that no session may touch, with links
// into it from the scripts folder.
class GameFolder {
 public:
  GameFolder() {
    const fs::path example = fs::path(KIT_SOURCE_DIR) / "examples" / "gameserver";
    for (const auto& entry : fs::recursive_directory_iterator(example)) {
      std::string relative = fs::relative(entry.path(), example).string();
      files_.emplace_back(relative, entry.is_directory() ? std::string() : orvosvr_fuzz::ReadFile(entry.path()),
                          entry.is_directory());
    }
    fs::create_directories(orvosvr_fuzz::Folder() / "outside");
    orvosvr_fuzz::WriteFile(orvosvr_fuzz::Folder() / "outside" / "gyrionitem2.scp", "[6000]\r\nNAME=outside\r\n");
    Restore();
  }

  const fs::path& path() const { return path_; }

  // Traps when anything outside the game server's folder changed; restores
  // the folder when it changed.
  void Check() {
    Snapshot now = Take();
    if (now == snapshot_) return;
    if (Outside(now) != Outside(snapshot_)) __builtin_trap();
    Restore();
  }

 private:
  Snapshot Outside(const Snapshot& all) const {
    const std::string game = path_.string();
    Snapshot rest;
    for (const auto& entry : all) {
      const std::string& p = std::get<0>(entry);
      if (p != game && p.rfind(game + "/", 0) != 0) rest.push_back(entry);
    }
    return rest;
  }

  void Restore() {
    fs::remove_all(path_);
    fs::create_directories(path_);
    for (const auto& [relative, bytes, directory] : files_) {
      if (directory) {
        fs::create_directories(path_ / relative);
      } else {
        orvosvr_fuzz::WriteFile(path_ / relative, bytes);
      }
    }
    // Links that lead outside: a store must neither write through them nor
    // replace what they point at.
    fs::create_symlink("../../outside/victim.scp", path_ / "scripts" / "victim.scp.tmp");
    fs::create_symlink("../../outside/name.scp", path_ / "scripts" / "gyrionname.scp.tmp");
    fs::create_symlink("../../outside/gyrionitem2.scp", path_ / "scripts" / "outlink.scp");
    snapshot_ = Take();
  }

  fs::path path_ = orvosvr_fuzz::Folder() / "game";
  std::vector<std::tuple<std::string, std::string, bool>> files_;
  Snapshot snapshot_;
};

// The threads of this process, as the system counts them.
int ThreadCount() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("Threads:", 0) == 0) return std::stoi(line.substr(8));
  }
  return -1;
}

// Whether the process is back to `expected` threads: a thread just joined may
// still be counted for a moment while the system finishes it, one that a
// session left running stays.
bool ThreadsBackTo(int expected) {
  for (int i = 0; i < 200; ++i) {
    if (ThreadCount() == expected) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

std::string MakeStream(const std::uint8_t* data, std::size_t size) {
  const std::uint8_t mode = data[0];
  const std::string_view body(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string stream;
  switch (mode & 3) {
    case 1:
      stream = orvosvr_fuzz::Packet("Warden") + orvosvr_fuzz::Packet("northwind");
      break;
    case 2:
      stream = orvosvr_fuzz::Packet("Keeper") + orvosvr_fuzz::Packet("lantern7");
      break;
    default:
      break;
  }
  if (mode & 0x80) {
    for (size_t start = 0;;) {
      size_t end = body.find(kPacketBreak, start);
      stream += orvosvr_fuzz::Packet(body.substr(start, end - start));
      if (end == std::string_view::npos) break;
      start = end + 1;
    }
  } else {
    stream += body;
  }
  return stream.substr(0, kStreamLimit);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static GameFolder game;
  static const int threads = ThreadCount();
  static const int started = platform::NetStartup();
  (void)started;

  host::ResetConfig();
  host::Config().receive_timeout = 20;
  host::Config().read_only = data[0] & 4;
  gamedata::ClearSpawnList();

  const std::string stream = MakeStream(data, size);
  platform::Socket client;
  protocol::ClientSession session;
  if (!platform::SocketPair(&session.socket, &client)) __builtin_trap();
  session.address = "127.0.0.1";
  orvosvr_fuzz::SendAll(client, stream);
  ::shutdown(static_cast<int>(client.Native()), SHUT_WR);
  std::thread reader([&client] {
    char buffer[16384];
    while (platform::ReceiveSome(client, buffer, sizeof buffer) > 0) {
    }
  });
  {
    orvosvr_fuzz::InFolder here(game.path());
    // The folders of "gyrion.ini" as the service reads them at start-up.
    host::ReadGameIni();
    protocol::SessionMain(session);
  }
  session.socket.Close();
  reader.join();

  game.Check();
  if (!ThreadsBackTo(threads)) __builtin_trap();
  return 0;
}
