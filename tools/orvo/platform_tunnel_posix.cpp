// POSIX implementation of the tunnel: a socket pair, one end the program's
// standard input and output, and a pidfd to wait for its end with a deadline.
#include "tools/orvo/platform_tunnel.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orvo::platform {

namespace {

// Time the program has, once its input has ended, to close its own
// connection in order (ssh tells the far side) before it is stopped.
constexpr int kGraceMs = 3000;

int ExitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return 255;
}

}  // namespace

std::string DefaultSshProgram() { return "ssh"; }

int Tunnel::Start(const std::string& program, const std::vector<std::string>& args, Connection* connection,
                  std::string* error) {
  Connection ours;
  Connection theirs;
  if (!ConnectedPair(&ours, &theirs)) {
    *error = std::string("cannot make a connection for ") + program + ": " + std::strerror(errno);
    return -1;
  }
  // The child reports a failed exec through this pipe, which its exec closes.
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) {
    *error = std::string("cannot start ") + program + ": " + std::strerror(errno);
    return -1;
  }
  std::vector<std::string> words{program};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(static_cast<int>(theirs.Native()), STDIN_FILENO);
    ::dup2(static_cast<int>(theirs.Native()), STDOUT_FILENO);
    ::execvp(program.c_str(), argv.data());
    int e = errno;
    ssize_t ignored = ::write(report[1], &e, sizeof e);
    (void)ignored;
    ::_exit(127);
  }
  ::close(report[1]);
  if (pid < 0) {
    ::close(report[0]);
    *error = std::string("cannot start ") + program + ": " + std::strerror(errno);
    return -1;
  }
  process_ = pid;
  // (glibc 2.36 declares pidfd_open without C linkage.)
  waiter_ = ::syscall(SYS_pidfd_open, pid, 0);
  int exec_error = 0;
  ssize_t n;
  while ((n = ::read(report[0], &exec_error, sizeof exec_error)) < 0 && errno == EINTR) {
  }
  ::close(report[0]);
  if (n == sizeof exec_error) {
    ExitCode(-1);
    *error = "cannot start " + program + ": " + std::strerror(exec_error);
    return -1;
  }
  *connection = std::move(ours);
  return 0;
}

int Tunnel::ExitCode(int timeout_ms) {
  if (process_ < 0) return exit_code_;
  if (timeout_ms != 0 && waiter_ >= 0) {
    pollfd p{static_cast<int>(waiter_), POLLIN, 0};
    while (::poll(&p, 1, timeout_ms) < 0 && errno == EINTR) {
    }
  }
  int status = 0;
  pid_t r;
  while ((r = ::waitpid(static_cast<pid_t>(process_), &status, timeout_ms < 0 && waiter_ < 0 ? 0 : WNOHANG)) < 0 &&
         errno == EINTR) {
  }
  if (r == 0) return -1;
  exit_code_ = r < 0 ? 255 : ExitCodeOf(status);
  process_ = -1;
  if (waiter_ >= 0) ::close(static_cast<int>(waiter_));
  waiter_ = -1;
  return exit_code_;
}

Tunnel::~Tunnel() {
  if (process_ < 0) return;
  if (ExitCode(kGraceMs) >= 0) return;
  ::kill(static_cast<pid_t>(process_), SIGTERM);
  if (ExitCode(kGraceMs) >= 0) return;
  ::kill(static_cast<pid_t>(process_), SIGKILL);
  ExitCode(-1);
}

}  // namespace orvo::platform
