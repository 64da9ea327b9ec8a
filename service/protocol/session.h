// One accepted connection and what the login learns about it.
#pragma once

#include <string>

#include "service/platform/net.h"

namespace protocol {

enum LoginResult : int {
  kWriteAccess = 1,
  kReadAccess = 0,
  kBadCredentials = -1,
  kInsufficientLevel = -2,
  kAccountFileMissing = -3,
};

struct ClientSession {
  platform::Socket socket;
  std::string address;  // dotted IPv4 address of the peer
  std::string user;
  std::string password;
  int access = kBadCredentials;  // the LoginResult
};

}  // namespace protocol
