#include "service/platform/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace platform {

namespace {

bool WriteAll(int fd, const void* data, size_t len) {
  const char* p = static_cast<const char*>(data);
  while (len > 0) {
    ssize_t n = ::write(fd, p, len);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    len -= static_cast<size_t>(n);
  }
  return true;
}

int WaitFor(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Spawns args[0] from PATH with standard output going to `out_fd` (or the
// null device when negative).
int Spawn(const std::vector<std::string>& args, int out_fd, pid_t* pid) {
  if (args.empty()) return EINVAL;
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (out_fd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  }
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  int rc = posix_spawnp(pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc;
}

}  // namespace

int StartDetached(const std::string& path, const std::string& cwd, const std::string& output_path) {
  // The exec error comes back through a pipe that closes on a successful exec.
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return errno;
  int out = ::open(output_path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  pid_t child = ::fork();
  if (child < 0) {
    int err = errno;
    ::close(report[0]);
    ::close(report[1]);
    if (out >= 0) ::close(out);
    return err;
  }
  if (child == 0) {
    // Only async-signal-safe calls from here: the parent may have threads.
    ::close(report[0]);
    ::setsid();
    pid_t grandchild = ::fork();
    if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
    int err = 0;
    if (::chdir(cwd.c_str()) != 0) {
      err = errno;
    } else {
      int in = ::open("/dev/null", O_RDONLY);
      if (in >= 0) ::dup2(in, 0);
      if (out >= 0) {
        ::dup2(out, 1);
        ::dup2(out, 2);
      }
      char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
      ::execve(path.c_str(), argv, environ);
      err = errno;
    }
    WriteAll(report[1], &err, sizeof err);
    ::_exit(127);
  }
  ::close(report[1]);
  if (out >= 0) ::close(out);
  WaitFor(child);
  int err = 0;
  ssize_t n;
  do {
    n = ::read(report[0], &err, sizeof err);
  } while (n < 0 && errno == EINTR);
  ::close(report[0]);
  return n == static_cast<ssize_t>(sizeof err) ? err : 0;
}

int RunAndWait(const std::vector<std::string>& args) {
  pid_t pid = 0;
  if (Spawn(args, -1, &pid) != 0) return -1;
  return WaitFor(pid);
}

int RunAndCapture(const std::vector<std::string>& args, std::string* out) {
  out->clear();
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return -1;
  pid_t pid = 0;
  int rc = Spawn(args, fds[1], &pid);
  ::close(fds[1]);
  if (rc != 0) {
    ::close(fds[0]);
    return -1;
  }
  char buf[4096];
  for (;;) {
    ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    out->append(buf, static_cast<size_t>(n));
  }
  ::close(fds[0]);
  return WaitFor(pid);
}

const char* PlatformName() { return "Linux"; }

std::string ErrorText(int error) {
  char buf[256];
  return std::string(strerror_r(error, buf, sizeof buf));
}

}  // namespace platform
