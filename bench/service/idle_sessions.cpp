// CPU used by orvosvr over ten seconds with 100 idle logged-in sessions.
//
//   bench_service_idle [--sessions N] [--seconds N]
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "service/platform/net.h"
#include "wire/packet.h"
#include "wire/replies.h"

namespace fs = std::filesystem;

namespace {

// Reads one packet; empty on failure.
std::string Receive(const platform::Socket& s) {
  std::string data;
  auto read = [&](size_t count) {
    std::string out;
    while (out.size() < count) {
      if (platform::WaitReadable(s, 5000) != platform::WaitResult::kReady) return std::string();
      char buf[1024];
      long n = platform::ReceiveSome(s, buf, std::min(sizeof buf, count - out.size()));
      if (n <= 0) return std::string();
      out.append(buf, static_cast<size_t>(n));
    }
    return out;
  };
  std::string head = read(wire::kLengthSize);
  wire::ByteReader prefix(head);
  int32_t length = 0;
  if (!wire::ReadLength(prefix, &length) || length < 0) return {};
  return read(static_cast<size_t>(length));
}

void Send(const platform::Socket& s, const std::string& payload) {
  std::string p = wire::EncodePacket(payload);
  platform::SendSome(s, p.data(), p.size());
}

// User and system CPU time of a process, in clock ticks.
long CpuTicks(int pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), {});
  size_t close = stat.rfind(')');
  std::istringstream fields(stat.substr(close + 2));
  std::string field;
  long utime = 0, stime = 0;
  for (int i = 3; fields >> field; ++i) {
    if (i == 14) utime = std::atol(field.c_str());
    if (i == 15) {
      stime = std::atol(field.c_str());
      break;
    }
  }
  return utime + stime;
}

long Arg(int argc, char** argv, const char* name, long fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == name) return std::atol(argv[i + 1]);
  }
  return fallback;
}

}  // namespace

int main(int argc, char** argv) {
  long sessions = Arg(argc, argv, "--sessions", 100);
  long seconds = Arg(argc, argv, "--seconds", 10);
  fs::path dir = fs::temp_directory_path() / ("orvosvr-idle-" + std::to_string(::getpid()));
  fs::create_directories(dir / "accounts");
  int stage = 0;
  int port = platform::LocalPort(platform::OpenListener(0, 1, &stage));
  std::ofstream(dir / "gyrion.ini", std::ios::binary) << "ACCTFILES=accounts\r\n[SERVERS]\r\nIdle\r\nx\r\n2593\r\n";
  std::ofstream(dir / "accounts" / "gyrionaccu.scp", std::ios::binary)
      << "[admin]\r\nPLEVEL=ADMIN\r\nPASSWORD=pw\r\n";
  std::ofstream(dir / "orvosvr.cfg", std::ios::binary)
      << "PORT " << port << "\r\nGYRIONPATH " << dir.string() << "\r\n";
  fs::copy_file(ORVOSVR_BINARY, dir / "orvosvr");

  int pid = ::fork();
  if (pid == 0) {
    if (!std::freopen("/dev/null", "w", stdout)) ::_exit(126);
    std::string exe = (dir / "orvosvr").string();
    ::execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  std::vector<platform::Socket> clients;
  for (int tries = 0; tries < 200 && clients.empty(); ++tries) {
    platform::Socket s = platform::Connect("127.0.0.1", static_cast<uint16_t>(port));
    if (s.Valid()) clients.push_back(std::move(s));
    else std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  while (static_cast<long>(clients.size()) < sessions) {
    clients.push_back(platform::Connect("127.0.0.1", static_cast<uint16_t>(port)));
  }
  long logged_in = 0;
  for (auto& c : clients) {
    Receive(c);
    Send(c, "admin");
    Receive(c);
    Send(c, "pw");
    if (Receive(c) == wire::kLoginSuccessful) ++logged_in;
  }
  // Let the first spawn reload and the logins settle before measuring.
  std::this_thread::sleep_for(std::chrono::seconds(1));
  long ticks_per_second = ::sysconf(_SC_CLK_TCK);
  long before = CpuTicks(pid);
  auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  long after = CpuTicks(pid);
  double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  double cpu = static_cast<double>(after - before) / static_cast<double>(ticks_per_second);
  std::printf("%ld of %ld sessions logged in; orvosvr used %.3f s CPU in %.1f s: %.3f%% of one core (target < 1%%)\n",
              logged_in, sessions, cpu, wall, 100.0 * cpu / wall);
  clients.clear();
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  fs::remove_all(dir);
  return logged_in == sessions ? 0 : 1;
}
