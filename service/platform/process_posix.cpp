#include "service/platform/process.h"

#include <fcntl.h>
#include <poll.h>
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

// Spawns args[0] from PATH with standard output and error going to the
// write ends `out_fd` and `err_fd`.
int Spawn(const std::vector<std::string>& args, int out_fd, int err_fd, pid_t* pid) {
  if (args.empty()) return EINVAL;
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
  posix_spawn_file_actions_adddup2(&actions, err_fd, 2);
  int rc = posix_spawnp(pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc;
}

// Reads both pipes until the writer has closed them.
void Drain(int out_fd, int err_fd, std::string* out, std::string* err) {
  pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
  std::string* sinks[2] = {out, err};
  int open = 2;
  while (open > 0) {
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buf[4096];
      ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        fds[i].fd = -1;
        --open;
      } else {
        sinks[i]->append(buf, static_cast<size_t>(n));
      }
    }
  }
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

ToolRun RunTool(const std::vector<std::string>& args) {
  ToolRun run;
  int out[2];
  int err[2];
  if (::pipe2(out, O_CLOEXEC) != 0) {
    run.start_error = errno;
    return run;
  }
  if (::pipe2(err, O_CLOEXEC) != 0) {
    run.start_error = errno;
    ::close(out[0]);
    ::close(out[1]);
    return run;
  }
  pid_t pid = 0;
  run.start_error = Spawn(args, out[1], err[1], &pid);
  ::close(out[1]);
  ::close(err[1]);
  if (run.start_error == 0) {
    Drain(out[0], err[0], &run.out, &run.err);
    run.exit_code = WaitFor(pid);
  }
  ::close(out[0]);
  ::close(err[0]);
  return run;
}

const char* PlatformName() { return "Linux"; }

std::string ErrorText(int error) {
  char buf[256];
  return std::string(strerror_r(error, buf, sizeof buf));
}

}  // namespace platform
