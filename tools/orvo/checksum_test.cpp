// The local checksum must agree with the service's GFCS byte for byte; the
// cases are the rules of the checksum, each one a way to get it wrong.
#include "tools/orvo/checksum.h"

#include <gtest/gtest.h>

#include <string>

namespace orvo {
namespace {

using std::string_literals::operator""s;

TEST(TextChecksumTest, FollowsTheServiceRules) {
  const std::string long_line(8191, 'a');
  struct Case {
    const char* what;
    std::string bytes;
    int32_t checksum;
  } cases[] = {
      {"empty", "", 0},
      {"one line never counts", "everything\r\n", 0},
      {"AB CD EF", "AB\r\nCD\r\nEF\r\n", 3},
      {"LF line ends count the same", "AB\nCD\nEF\n", 3},
      {"a lone CR counts nothing", "AB\nC\rD\nEF\n", 3},
      {"bytes above 0x7F are negative", "x\n\xE9\xE9\n\xE9\xE9\n", (-46 & 1) + (-46 & 2)},
      {"0xFF is dropped", "x\n\xFF" "C\n", 67 & 1},
      {"Ctrl-Z ends the text", "x\nC\n\x1A" "CCCC\nCCCC\n", 1},
      {"a zero byte ends the sum", "x\ny\nA\0B\n"s, (121 & 1) + (65 & 2)},
      {"a line of 8191 leaves its LF for an empty line", "x\n" + long_line + "\nC\n", ((97 * 8191) & 1) + (67 & 3)},
      {"a longer line goes on as the next", "x\n" + long_line + "C\n", ((97 * 8191) & 1) + (67 & 2)},
  };
  for (const Case& c : cases) EXPECT_EQ(TextChecksum(c.bytes), c.checksum) << c.what;
}

}  // namespace
}  // namespace orvo
