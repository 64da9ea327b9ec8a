// What the client makes of the service's reply texts (wire/replies.h), and
// the small parsers for the numbers that travel as text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "wire/replies.h"

namespace orvo {

using wire::kClosingConnection;
using wire::kFileReceived;
using wire::kInvalidPath;
using wire::kLoginSuccessful;
using wire::kMergedPrefix;
using wire::kPasswordPrompt;
using wire::kReadyForEntry;
using wire::kReadyForFile;
using wire::kUsernamePrompt;

// The result a login reply stands for: kOk, kBadCredentials,
// kInsufficientLevel, kAccountFileMissing, or kProtocolError for another text.
int LoginReplyResult(std::string_view reply);

// The result a reply stands for when it comes instead of the one an exchange
// waits for: kRefused for the no-privilege reply, kUnknownCommand for
// "Command unknown", kFailedReply for the service's texts about a file it
// cannot open or create, kProtocolError for anything else.
int FailureReplyResult(std::string_view reply);

// Reads text that is wholly a decimal number, an optional "-" first when
// `allow_sign`; false for anything else, also for more than 18 digits.
bool ParseDecimal(std::string_view text, bool allow_sign, long long* value);

// Reads text that is wholly a hexadecimal number of 1 to 8 digits.
bool ParseHex(std::string_view text, uint32_t* value);

// Bytes made fit for one line of output: a backslash, CR, LF and tab written as
// \\, \r, \n and \t, other control bytes as \xHH.
std::string EscapedBytes(std::string_view bytes);

// A reply made fit for a one-line message: EscapedBytes without the reply's
// final line end.
std::string PrintableText(std::string_view reply);

}  // namespace orvo
