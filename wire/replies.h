// The service's reply texts, byte for byte, misspellings included: what the
// service sends and what a client recognises. Texts meant for a person end in
// CR LF; numbers travel as bare decimal text.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace wire {

// Login: the greeting ends with the user name prompt.
inline constexpr std::string_view kGreeting = "OrvoSvr connected.\r\n\r\nUsername: ";
inline constexpr std::string_view kUsernamePrompt = "Username: ";
inline constexpr std::string_view kPasswordPrompt = "Password: ";
inline constexpr std::string_view kLoginSuccessful = "Login successful. Protocol 1.0\r\n";
inline constexpr std::string_view kLoginBadCredentials = "Login failed.  Bad userid or password.\r\n";
inline constexpr std::string_view kLoginInsufficientLevel = "Login failed.  Insufficient priveleges.\r\n";
inline constexpr std::string_view kLoginAccountFileMissing = "Login failed.  Account file not found.\r\n";

// A refused write command; PORT is refused with kPortRefused instead.
inline constexpr std::string_view kNoPrivilege =
    "This user does not have sufficient priveleges on the remote server\r\n";
inline constexpr std::string_view kPortRefused = "0";

// "Command unknown (WORD)." and CR LF.
inline constexpr std::string_view kCommandUnknownPrefix = "Command unknown (";
inline std::string CommandUnknown(std::string_view word) {
  return std::string(kCommandUnknownPrefix).append(word).append(").\r\n");
}

// Transfers: the texts that open an upload, and the one that ends a store.
inline constexpr std::string_view kReadyForFile = "Ready to receive entry.  Send CRLF.CRLF to signal end of file\r\n";
inline constexpr std::string_view kReadyForEntry = "Ready to receive entry.  Send CRLF.CRLF to signal end of entry\r\n";
inline constexpr std::string_view kFileReceived = "File Received";

// A merged entry's ID, as four or more lowercase hexadecimal digits.
inline constexpr std::string_view kMergedPrefix = "OK - ID=";
inline std::string Merged(uint32_t id) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04x", id);
  return std::string(kMergedPrefix).append(digits);
}

// A fetch of a file the service cannot open: "Could not open file NAME." and CR LF.
inline constexpr std::string_view kCannotOpenPrefix = "Could not open file ";
inline std::string CannotOpen(std::string_view name) {
  return std::string(kCannotOpenPrefix).append(name).append(".\r\n");
}
// A store the service cannot make: "Error opening file on remote server (NAME)" and CR LF.
inline constexpr std::string_view kStoreFailedPrefix = "Error opening file on remote server (";
inline std::string StoreFailed(std::string_view name) {
  return std::string(kStoreFailedPrefix).append(name).append(")\r\n");
}
// A resource list without its tables script: "Unable to open file NAME", no line end.
inline constexpr std::string_view kUnableToOpenPrefix = "Unable to open file ";
inline std::string UnableToOpen(std::string_view name) { return std::string(kUnableToOpenPrefix).append(name); }

// The one record of a directory listing that the service cannot search.
inline constexpr std::string_view kInvalidPath = "Invalid Path";

// The reply to QUIT.
inline constexpr std::string_view kClosingConnection = "Closing connection.\r\n";

}  // namespace wire
