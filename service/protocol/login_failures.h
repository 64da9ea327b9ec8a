// The failed logins of recent peers, by address: after MAXLOGINFAILURES of
// them within LOGINBLOCKTIME seconds, every connection from that address is
// closed before its greeting for LOGINBLOCKTIME seconds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

namespace protocol {

// How many addresses the table keeps at most; a flood of addresses pushes out
// the oldest entries (those without a block first), never grows it further.
inline constexpr size_t kLoginFailureAddresses = 4096;

// Shared by the accepting thread and every session thread.
class LoginFailures {
 public:
  // `most` failures within `window_ms` of the first of them block an address
  // for `window_ms`.
  LoginFailures(int most, int64_t window_ms, size_t capacity = kLoginFailureAddresses);

  // Whether connections from `address` are refused at `now_ms`.
  bool Blocked(const std::string& address, int64_t now_ms);
  // Counts a failed login at `now_ms`; true when it begins a block.
  bool RecordFailure(const std::string& address, int64_t now_ms);
  // A successful login forgets the failures of its own address only.
  void RecordSuccess(const std::string& address);

  int Most() const { return most_; }
  // How many addresses the table holds now.
  size_t Size();

 private:
  struct Entry {
    int count = 0;
    int64_t first_ms = 0;         // the first failure of the current window
    int64_t last_ms = 0;          // the latest failure
    int64_t blocked_until_ms = 0;  // 0: not blocked
  };
  // Whether `e` still matters at `now_ms` (a window or a block under way).
  bool Live(const Entry& e, int64_t now_ms) const;
  // Makes room for one more address.
  void DropOne(int64_t now_ms);

  const int most_;
  const int64_t window_ms_;
  const size_t capacity_;
  std::mutex mutex_;
  std::unordered_map<std::string, Entry> entries_;
};

}  // namespace protocol
