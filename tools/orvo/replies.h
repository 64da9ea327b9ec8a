// The service's reply texts that the client recognises, and the small parsers
// for the numbers that travel as text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvo {

// Login.
inline constexpr std::string_view kUsernamePrompt = "Username: ";  // ends the greeting
inline constexpr std::string_view kPasswordPrompt = "Password: ";
inline constexpr std::string_view kLoginSuccessful = "Login successful. Protocol 1.0\r\n";

// Transfers and merges.
inline constexpr std::string_view kReadyForFile =
    "Ready to receive entry.  Send CRLF.CRLF to signal end of file\r\n";
inline constexpr std::string_view kReadyForEntry =
    "Ready to receive entry.  Send CRLF.CRLF to signal end of entry\r\n";
inline constexpr std::string_view kFileReceived = "File Received";
inline constexpr std::string_view kMergedPrefix = "OK - ID=";

// The end of a session.
inline constexpr std::string_view kClosingConnection = "Closing connection.\r\n";

// The one record of a directory listing that the service cannot search.
inline constexpr std::string_view kInvalidPath = "Invalid Path";

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
