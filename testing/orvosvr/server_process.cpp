// Test support only: starting and ending a child process, and probing its
// port, need the system's calls directly.
#include "testing/orvosvr/server_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

namespace testing_support {

namespace fs = std::filesystem;

namespace {

// An exit status as WaitForExit reports it.
int Outcome(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

std::chrono::steady_clock::time_point After(int timeout_ms) {
  return std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
}

// Waits for `pid` at most `timeout_ms`; its outcome, or -1 while it runs.
int WaitUpTo(int pid, int timeout_ms) {
  const auto deadline = After(timeout_ms);
  for (;;) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) return Outcome(status);
    if (std::chrono::steady_clock::now() >= deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// A port the system has just handed out, free again for the service.
int FreePort() {
  int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  socklen_t size = sizeof address;
  int port = 0;
  if (s >= 0 && ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
    port = ntohs(address.sin_port);
  }
  if (s >= 0) ::close(s);
  return port;
}

// Whether something accepts connections at the numeric address and port.
bool Accepts(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICHOST;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
  int s = ::socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  bool connected = s >= 0 && ::connect(s, found->ai_addr, found->ai_addrlen) == 0;
  if (s >= 0) ::close(s);
  ::freeaddrinfo(found);
  return connected;
}

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string LogName() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char name[64];
  std::snprintf(name, sizeof name, "orvosvr.%04d.%02d.%02d.log", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  return name;
}

}  // namespace

ServerProcess::ServerProcess(const std::vector<std::string>& config_lines)
    : root_("orvosvr-e2e-"), folder_(root_.Path()) {
  fs::copy(fs::path(KIT_SOURCE_DIR) / "examples" / "gameserver", folder_, fs::copy_options::recursive);
  std::error_code ec;
  fs::create_hard_link(ORVOSVR_BINARY, folder_ / "orvosvr", ec);
  if (ec) fs::copy_file(ORVOSVR_BINARY, folder_ / "orvosvr");
  port_ = FreePort();
  std::ofstream cfg(folder_ / "orvosvr.cfg", std::ios::binary);
  cfg << "# written by the end-to-end tests\r\n";
  cfg << "PORT " << port_ << "\r\n";
  cfg << "GYRIONPATH " << folder_.string() << "\r\n";
  cfg << "RECEIVETIMEOUT 2000\r\n";
  for (const std::string& line : config_lines) cfg << line << "\r\n";
}

ServerProcess::~ServerProcess() { Stop(); }

int ServerProcess::Launch(const std::vector<std::string>& args, const fs::path& output) const {
  std::string exe = (folder_ / "orvosvr").string();
  std::vector<std::string> words{exe};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<std::string> variables;
  for (char** e = environ; *e != nullptr; ++e) {
    std::string entry = *e;
    if (environment_.count(entry.substr(0, entry.find('='))) == 0) variables.push_back(entry);
  }
  for (const auto& [name, value] : environment_) {
    if (value) variables.push_back(name + "=" + *value);
  }
  // Everything the child needs is made before the fork.
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& v : variables) envp.push_back(v.data());
  envp.push_back(nullptr);
  int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  int pid = ::fork();
  if (pid == 0) {
    if (out >= 0) ::dup2(out, 1);
    ::execve(exe.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  if (out >= 0) ::close(out);
  return pid;
}

bool ServerProcess::Start(const std::vector<std::string>& args) {
  pid_ = Launch(args, folder_ / "console.out");
  if (pid_ < 0) return false;
  for (int i = 0; i < 200; ++i) {
    if (Accepts(probe_address_, port_)) return true;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return false;
}

void ServerProcess::Stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

void ServerProcess::SetEnv(const std::string& name, const std::string& value) { environment_[name] = value; }

void ServerProcess::UnsetEnv(const std::string& name) { environment_[name] = std::nullopt; }

int ServerProcess::RunOnce(const std::vector<std::string>& args, std::string* console, int timeout_ms) {
  static int counter = 0;
  fs::path output = folder_ / ("run-once-" + std::to_string(counter++) + ".out");
  int pid = Launch(args, output);
  if (pid < 0) return -1;
  int outcome = WaitUpTo(pid, timeout_ms);
  if (outcome == -1) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
  *console = Slurp(output);
  return outcome;
}

void ServerProcess::Signal(int signal_number) {
  if (pid_ > 0) ::kill(pid_, signal_number);
}

int ServerProcess::WaitForExit(int timeout_ms) {
  if (pid_ <= 0) return -1;
  int outcome = WaitUpTo(pid_, timeout_ms);
  if (outcome != -1) pid_ = -1;
  return outcome;
}

std::string ServerProcess::ReadFile(const std::string& relative) const { return Slurp(folder_ / relative); }

void ServerProcess::WriteFile(const std::string& relative, const std::string& bytes) const {
  std::ofstream(folder_ / relative, std::ios::binary) << bytes;
}

std::string ServerProcess::Log() const {
  // The example's LOG= folder, or the game server's folder itself.
  for (const fs::path& dir : {folder_ / "logs", folder_}) {
    if (fs::exists(dir / LogName())) return Slurp(dir / LogName());
  }
  return {};
}

std::string ServerProcess::Console() const { return Slurp(folder_ / "console.out"); }

bool ServerProcess::WaitForLog(const std::string& text, int timeout_ms) const {
  const auto deadline = After(timeout_ms);
  while (std::chrono::steady_clock::now() < deadline) {
    if (Log().find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

}  // namespace testing_support
