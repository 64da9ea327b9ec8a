// POSIX implementation of orvo's calls about other programs.
#include "tools/orvo/platform_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace orvo::platform {

namespace {

constexpr size_t kMaxOutput = 64 * 1024;

int ExitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return 255;
}

// Waits for `pid`, through interruptions; its exit code, or -1.
int Reap(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return ExitCodeOf(status);
}

// In the child: runs `sh -c command` with the extra arguments; never returns.
[[noreturn]] void ExecShell(const std::string& command, const char* argument) {
  ::signal(SIGINT, SIG_DFL);
  ::signal(SIGQUIT, SIG_DFL);
  ::execl("/bin/sh", "sh", "-c", command.c_str(), "sh", argument, static_cast<char*>(nullptr));
  ::_exit(127);
}

}  // namespace

int RunWithFile(const std::string& command, const std::string& file, std::string* error) {
  struct sigaction ignore {}, saved_int {}, saved_quit {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGINT, &ignore, &saved_int);
  ::sigaction(SIGQUIT, &ignore, &saved_quit);
  pid_t pid = ::fork();
  if (pid == 0) ExecShell(command + " \"$@\"", file.c_str());
  int code = -1;
  if (pid < 0) {
    *error = std::string("cannot start ") + command + ": " + std::strerror(errno);
  } else {
    code = Reap(pid);
  }
  ::sigaction(SIGINT, &saved_int, nullptr);
  ::sigaction(SIGQUIT, &saved_quit, nullptr);
  return code;
}

int RunAndRead(const std::string& command, std::string* output, std::string* error) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    *error = std::string("cannot run ") + command + ": " + std::strerror(errno);
    return -1;
  }
  pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(fds[1], STDOUT_FILENO);
    ExecShell(command, nullptr);
  }
  ::close(fds[1]);
  if (pid < 0) {
    *error = std::string("cannot run ") + command + ": " + std::strerror(errno);
    ::close(fds[0]);
    return -1;
  }
  output->clear();
  char buffer[4096];
  for (;;) {
    ssize_t n = ::read(fds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    if (output->size() < kMaxOutput) output->append(buffer, static_cast<size_t>(n));
  }
  ::close(fds[0]);
  return Reap(pid);
}

std::string DefaultEditor() { return ::access("/usr/bin/editor", F_OK) == 0 ? "editor" : "vi"; }

bool StandardInputIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }

void SuspendToShell() { ::kill(0, SIGTSTP); }

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::optional<std::string> EnvironmentVariable(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

// POSIX streams carry bytes as they are already.
void PrepareStandardStreams() {}

}  // namespace orvo::platform
