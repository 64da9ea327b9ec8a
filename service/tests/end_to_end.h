// The fixture of the end-to-end tests: the real orvosvr binary on a free
// loopback port, against a temporary copy of the example game server.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "service/tests/raw_client.h"
#include "testing/orvosvr/server_process.h"

namespace testing_support {

class EndToEndTest : public ::testing::Test {
 protected:
  // Starts the service with these lines added to "orvosvr.cfg".
  void Launch(const std::vector<std::string>& config = {}) {
    server_ = std::make_unique<ServerProcess>(config);
    ASSERT_TRUE(server_->Start()) << server_->Console();
  }
  // A client logged in as `user`, the login checked.
  RawClient LoggedIn(const std::string& user = "Warden", const std::string& password = "northwind") {
    RawClient c(server_->port());
    EXPECT_EQ(c.Login(user, password), "Login successful. Protocol 1.0\r\n");
    return c;
  }
  std::unique_ptr<ServerProcess> server_;
};

}  // namespace testing_support
