// What both platforms' profile-string calls must do for the monitor, run
// against each implementation: the Linux one over the file's text in every
// build, the system's own calls in the Windows build.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "monitor/core/profile_strings.h"

namespace monitor::testing {

// Makes the implementation under test.
using ProfileFactory = std::function<std::unique_ptr<ProfileStrings>()>;

class ProfileCalls : public ::testing::TestWithParam<ProfileFactory> {
 protected:
  std::unique_ptr<ProfileStrings> profile_ = GetParam()();
};

}  // namespace monitor::testing
