#include "service/protocol/login_failures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace protocol {
namespace {

enum class Op { kFail, kBlocked, kSuccess };

// One step at a time on the clock: a failure (expect: it begins a block), a
// connection (expect: refused) or a successful login.
struct Step {
  Op op;
  const char* address;
  int64_t second;
  bool expect;
};

struct Story {
  const char* name;
  std::vector<Step> steps;
};

TEST(LoginFailures, ThreeWithinTenSecondsBlockForTen) {
  const Story stories[] = {
      {"the third failure blocks its address until the time is up",
       {{Op::kFail, "10.0.0.1", 0, false},
        {Op::kBlocked, "10.0.0.1", 1, false},
        {Op::kFail, "10.0.0.1", 4, false},
        {Op::kFail, "10.0.0.1", 9, true},
        {Op::kBlocked, "10.0.0.1", 9, true},
        {Op::kBlocked, "10.0.0.1", 18, true},
        {Op::kBlocked, "10.0.0.1", 19, false},
        {Op::kFail, "10.0.0.1", 20, false}}},
      {"failures further apart than the time never block",
       {{Op::kFail, "10.0.0.1", 0, false},
        {Op::kFail, "10.0.0.1", 6, false},
        {Op::kFail, "10.0.0.1", 10, false},
        {Op::kFail, "10.0.0.1", 16, false},
        {Op::kBlocked, "10.0.0.1", 16, false},
        {Op::kFail, "10.0.0.1", 19, true}}},
      {"one block line: a login under way when the block began adds nothing",
       {{Op::kFail, "::1", 0, false},
        {Op::kFail, "::1", 0, false},
        {Op::kFail, "::1", 0, true},
        {Op::kFail, "::1", 1, false},
        {Op::kBlocked, "::1", 2, true}}},
      {"addresses are counted apart, and a success clears only its own",
       {{Op::kFail, "10.0.0.1", 0, false},
        {Op::kFail, "10.0.0.1", 0, false},
        {Op::kFail, "10.0.0.2", 0, false},
        {Op::kFail, "10.0.0.2", 0, false},
        {Op::kSuccess, "10.0.0.2", 1, false},
        {Op::kSuccess, "10.0.0.3", 1, false},
        {Op::kFail, "10.0.0.2", 2, false},
        {Op::kFail, "10.0.0.1", 2, true},
        {Op::kBlocked, "10.0.0.2", 2, false},
        {Op::kBlocked, "10.0.0.10", 2, false}}},
  };
  for (const Story& story : stories) {
    SCOPED_TRACE(story.name);
    LoginFailures table(3, 10000);
    for (const Step& step : story.steps) {
      SCOPED_TRACE(std::string(step.address) + " at " + std::to_string(step.second));
      int64_t now = step.second * 1000;
      switch (step.op) {
        case Op::kFail:
          EXPECT_EQ(table.RecordFailure(step.address, now), step.expect);
          break;
        case Op::kBlocked:
          EXPECT_EQ(table.Blocked(step.address, now), step.expect);
          break;
        case Op::kSuccess:
          table.RecordSuccess(step.address);
          break;
      }
    }
  }
}

TEST(LoginFailures, AFloodOfAddressesKeepsTheTableBoundedAndItsBlocks) {
  LoginFailures table(2, 60000);
  table.RecordFailure("192.0.2.1", 0);
  ASSERT_TRUE(table.RecordFailure("192.0.2.1", 0));
  table.RecordFailure("192.0.2.2", 0);
  for (int i = 0; i < 3 * static_cast<int>(kLoginFailureAddresses); ++i) {
    table.RecordFailure("2001:db8::" + std::to_string(i), 1000 + i);
  }
  EXPECT_EQ(table.Size(), kLoginFailureAddresses);
  // The blocked address outlives the flood; the oldest half-counted one went.
  EXPECT_TRUE(table.Blocked("192.0.2.1", 20000));
  EXPECT_FALSE(table.RecordFailure("192.0.2.2", 20000));
  EXPECT_FALSE(table.Blocked("192.0.2.1", 60000));
}

}  // namespace
}  // namespace protocol
