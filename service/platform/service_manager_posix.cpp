#include "service/platform/service_manager.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "service/platform/fs.h"
#include "service/platform/last_error.h"
#include "service/platform/process.h"

namespace platform {

namespace {

constexpr const char* kUnitFolderVariable = "ORVOSVR_UNIT_DIR";
constexpr const char* kSystemUnitFolder = "/etc/systemd/system";

// The last line a tool printed, without trailing blanks.
std::string LastLine(const std::string& text) {
  size_t end = text.find_last_not_of(" \t\r\n");
  if (end == std::string::npos) return {};
  size_t start = text.find_last_of('\n', end);
  start = start == std::string::npos ? 0 : start + 1;
  return text.substr(start, end + 1 - start);
}

// Runs systemctl with `args`. When it fails, the last error is the system's
// error if it could not be started, otherwise its exit code with the last
// line it printed on standard error.
bool Systemctl(const std::vector<std::string>& args, std::string* out = nullptr) {
  std::vector<std::string> argv{"systemctl"};
  argv.insert(argv.end(), args.begin(), args.end());
  ToolRun run = RunTool(argv);
  if (run.start_error != 0) {
    SetLastError(run.start_error);
    return false;
  }
  if (run.exit_code != 0) {
    std::string said = LastLine(run.err);
    if (said.empty()) said = "systemctl " + args.front() + " failed";
    SetLastError(run.exit_code, said);
    return false;
  }
  if (out != nullptr) *out = run.out;
  return true;
}

std::string UnitPath(const std::string& unit) { return UnitFolder() + "/" + unit; }

bool Carriable(const std::string& value) {
  for (char c : value) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7f) return false;
  }
  return true;
}

// A value in which the manager expands "%" specifiers.
std::string Literal(const std::string& value) {
  std::string out;
  for (char c : value) {
    if (c == '%') out += '%';
    out += c;
  }
  return out;
}

// A command-line word: quoted, with C escapes, specifiers and variables kept literal.
std::string Word(const std::string& value) {
  std::string out = "\"";
  for (char c : value) {
    if (c == '\\' || c == '"') out += '\\';
    if (c == '%' || c == '$') out += c;
    out += c;
  }
  return out + "\"";
}

bool WriteNewFile(const std::string& path, const std::string& text) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    RecordSystemError();
    return false;
  }
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  bool ok = done == text.size();
  if (!ok) RecordSystemError();
  if (::close(fd) != 0 && ok) {
    RecordSystemError();
    ok = false;
  }
  if (!ok) ::unlink(path.c_str());
  return ok;
}

}  // namespace

std::string ServiceUnitName(const std::string& display_name) {
  static const char* hex = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < display_name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(display_name[i]);
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ':' ||
                 c == '_' || (c == '.' && i > 0);
    if (c == '/') {
      out += '-';
    } else if (plain) {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out + ".service";
}

bool OpenServiceManager() { return Systemctl({"--version"}); }

bool OpenServiceUnit(const std::string& unit) {
  std::string state;
  if (RunAndCapture({"systemctl", "show", "--property=LoadState", "--value", unit}, &state) != 0) return false;
  return state.rfind("loaded", 0) == 0;
}

bool StartServiceUnit(const std::string& unit) {
  return RunAndWait({"systemctl", "start", "--no-block", unit}) == 0;
}

std::string ServiceExecutablePath(size_t limit) {
  errno = 0;
  std::string path = ExecutablePath();
  if (path.empty()) {
    SetLastError(errno != 0 ? errno : ENOENT);
  } else if (path.size() > limit) {
    SetLastError(ENAMETOOLONG);
    path.clear();
  }
  return path;
}

std::string UnitFolder() {
  const char* folder = std::getenv(kUnitFolderVariable);
  return folder != nullptr && folder[0] != '\0' ? folder : kSystemUnitFolder;
}

std::string UnitFileText(const ServiceDefinition& service) {
  if (!Carriable(service.name) || !Carriable(service.executable) || !Carriable(service.working_directory)) {
    SetLastError(EINVAL);
    return {};
  }
  return "[Unit]\n"
         "Description=" + Literal(service.name) + "\n"
         "After=network.target\n"
         "\n"
         "[Service]\n"
         "Type=notify\n"
         "ExecStart=" + Word(service.executable) + "\n"
         "WorkingDirectory=" + Literal(service.working_directory) + "\n"
         "Restart=on-failure\n"
         "RestartSec=5\n"
         "# A game server that the service started keeps running when the service stops.\n"
         "KillMode=process\n"
         "\n"
         "[Install]\n"
         "WantedBy=multi-user.target\n";
}

bool CreateServiceUnit(const ServiceDefinition& service) {
  std::string text = UnitFileText(service);
  if (text.empty()) return false;
  std::string unit = ServiceUnitName(service.name);
  std::string path = UnitPath(unit);
  if (!WriteNewFile(path, text)) return false;
  if (Systemctl({"daemon-reload"}) && Systemctl({"enable", unit})) return true;
  // Keep the first error while the manager forgets the unit again.
  int code = LastError();
  std::string said = LastErrorText();
  ::unlink(path.c_str());
  Systemctl({"daemon-reload"});
  SetLastError(code, said);
  return false;
}

// The unit file's WorkingDirectory= holds the folder.
int RecordWorkingPath(const std::string& /*name*/, const std::string& /*folder*/) { return 0; }

bool FindServiceUnit(const std::string& unit) {
  if (::access(UnitPath(unit).c_str(), F_OK) == 0) return true;
  RecordSystemError();
  return false;
}

uint32_t QueryServiceUnit(const std::string& unit) {
  struct StateRow {
    const char* active_state;
    uint32_t state;
  };
  static const StateRow kStates[] = {
      {"inactive", 1}, {"failed", 1}, {"activating", 2}, {"deactivating", 3}, {"active", 4}, {"reloading", 4},
  };
  std::string out;
  if (!Systemctl({"show", "--property=ActiveState", "--value", unit}, &out)) return 0;
  std::string state = LastLine(out);
  for (const StateRow& row : kStates) {
    if (state == row.active_state) return row.state;
  }
  // The states that remain (maintenance, refreshing) belong to a unit that runs.
  return 4;
}

bool StopServiceUnit(const std::string& unit) {
  uint32_t state = QueryServiceUnit(unit);
  if (state == 0) return false;
  if (state != 2 && state != 4) {
    SetLastError(ESRCH);
    return false;
  }
  return Systemctl({"stop", "--no-block", unit});
}

bool DeleteServiceUnit(const std::string& unit) {
  if (!Systemctl({"disable", unit})) return false;
  if (::unlink(UnitPath(unit).c_str()) != 0) {
    RecordSystemError();
    return false;
  }
  return Systemctl({"daemon-reload"});
}

}  // namespace platform
