// A stand-in for systemctl, for tests on machines without systemd: a script
// that records every call, answers "show" from a queue of states, and fails
// the verbs a test names, with a message on standard error.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

class SystemctlStandIn {
 public:
  // Writes the script into `folder`/bin (made when missing).
  explicit SystemctlStandIn(const std::filesystem::path& folder);

  // The folder to put first on PATH.
  std::string bin() const { return (folder_ / "bin").string(); }
  // Each "show" prints the next of these states, and "inactive" once they are used up.
  void QueueStates(const std::vector<std::string>& states) const;
  // Makes the verb (the first argument, "--version" included) print `message`
  // on standard error and exit with 1.
  void Fail(const std::string& verb, const std::string& message) const;
  // The calls so far, the arguments of each joined by blanks.
  std::vector<std::string> Calls() const;

 private:
  std::filesystem::path folder_;
};

}  // namespace testing_support
