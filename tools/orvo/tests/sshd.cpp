// Test support only: starting sshd needs the system's calls directly.
#include "tools/orvo/tests/sshd.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

namespace orvo::testing {

namespace {

// A loopback port the system has just handed out.
int FreePort() {
  int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof a;
  int port = 0;
  if (s >= 0 && ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &size) == 0) {
    port = ntohs(a.sin_port);
  }
  if (s >= 0) ::close(s);
  return port;
}

bool Accepts(int port) {
  int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<uint16_t>(port));
  bool ok = s >= 0 && ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  if (s >= 0) ::close(s);
  return ok;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs a command line; its exit status.
int Run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

}  // namespace

Sshd::Sshd() {
  const passwd* me = ::getpwuid(::getuid());
  user_ = me != nullptr ? me->pw_name : "root";
}

Sshd::~Sshd() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
}

std::string Sshd::SshWrapper(const std::string& name, const std::string& extra) const {
  std::string path = folder_.File(name);
  std::ofstream(path) << "#!/bin/sh\nexec ssh -F '" << folder_.File("ssh_config") << "' " << extra << " \"$@\"\n";
  ::chmod(path.c_str(), 0755);
  return path;
}

bool Sshd::Start() {
  const std::string dir = folder_.Path();
  for (const char* key : {"host_key", "user_key"}) {
    if (Run("ssh-keygen -q -t ed25519 -N '' -C orvo-test -f '" + folder_.File(key) + "'") != 0) {
      problem_ = std::string("ssh-keygen could not make ") + key + " (is openssh-client installed?)";
      return false;
    }
  }
  port_ = FreePort();
  folder_.WriteText("authorized_keys", Slurp(folder_.File("user_key.pub")));
  // The host key as the client must know it beforehand.
  std::string host_public = Slurp(folder_.File("host_key.pub"));
  folder_.WriteText("known_hosts", "[127.0.0.1]:" + std::to_string(port_) + " " + host_public);
  folder_.WriteText("sshd_config",
                    "Port " + std::to_string(port_) + "\nListenAddress 127.0.0.1\nHostKey " + folder_.File("host_key") +
                        "\nPidFile " + folder_.File("sshd.pid") + "\nAuthorizedKeysFile " +
                        folder_.File("authorized_keys") +
                        "\nUsePAM no\nStrictModes no\nPasswordAuthentication no\nKbdInteractiveAuthentication no\n"
                        "PubkeyAuthentication yes\nPermitRootLogin prohibit-password\nAllowTcpForwarding yes\n"
                        "LogLevel ERROR\n");
  folder_.WriteText("ssh_config", "Host *\n  IdentityFile " + folder_.File("user_key") +
                                      "\n  IdentitiesOnly yes\n  UserKnownHostsFile " + folder_.File("known_hosts") +
                                      "\n  GlobalKnownHostsFile /dev/null\n  StrictHostKeyChecking yes\n"
                                      "  BatchMode yes\n  LogLevel ERROR\n");
  // sshd started by root wants its privilege separation folder, which the
  // package's own service would make.
  if (::getuid() == 0) ::mkdir("/run/sshd", 0755);
  std::string log = folder_.File("sshd.log");
  pid_ = ::fork();
  if (pid_ == 0) {
    int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out >= 0) {
      ::dup2(out, 1);
      ::dup2(out, 2);
    }
    std::string config = folder_.File("sshd_config");
    ::execl("/usr/sbin/sshd", "/usr/sbin/sshd", "-D", "-e", "-f", config.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    if (Accepts(port_)) return true;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      problem_ = "sshd ended at once (is openssh-server installed?): " + Slurp(log);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  problem_ = "sshd did not accept connections within 20 s: " + Slurp(log);
  return false;
}

}  // namespace orvo::testing
