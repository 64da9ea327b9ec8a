// A real OpenSSH server for orvo's tests: sshd on a free loopback port with a
// throwaway host key, a throwaway user key and an ssh_config for the client,
// all in a scratch folder; nothing of the machine's own SSH set-up is used.
#pragma once

#include <string>

#include "testing/temp_folder.h"

namespace orvo::testing {

class Sshd {
 public:
  Sshd();
  ~Sshd();
  Sshd(const Sshd&) = delete;
  Sshd& operator=(const Sshd&) = delete;

  // Starts sshd and waits until it accepts connections; false with the
  // reason in Problem().
  bool Start();
  const std::string& Problem() const { return problem_; }

  int port() const { return port_; }
  // The account the client logs in as: the one the test runs as.
  const std::string& user() const { return user_; }
  // A program that runs ssh with the scratch ssh_config and `extra` options
  // (for ORVO_SSH); each name gives a program of its own.
  std::string SshWrapper(const std::string& name, const std::string& extra = "") const;
  // The scratch folder.
  std::string Path() const { return folder_.Path(); }

 private:
  testing_support::TempFolder folder_{"orvo-sshd-"};
  std::string user_;
  std::string problem_;
  int port_ = 0;
  int pid_ = -1;
};

}  // namespace orvo::testing
