#include "service/protocol/login_failures.h"

#include <tuple>

namespace protocol {

LoginFailures::LoginFailures(int most, int64_t window_ms, size_t capacity)
    : most_(most), window_ms_(window_ms), capacity_(capacity == 0 ? 1 : capacity) {}

bool LoginFailures::Live(const Entry& e, int64_t now_ms) const {
  if (e.blocked_until_ms != 0) return now_ms < e.blocked_until_ms;
  return now_ms - e.first_ms < window_ms_;
}

bool LoginFailures::Blocked(const std::string& address, int64_t now_ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = entries_.find(address);
  if (it == entries_.end()) return false;
  if (!Live(it->second, now_ms)) {
    entries_.erase(it);
    return false;
  }
  return it->second.blocked_until_ms != 0;
}

bool LoginFailures::RecordFailure(const std::string& address, int64_t now_ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = entries_.find(address);
  if (it != entries_.end() && !Live(it->second, now_ms)) {
    entries_.erase(it);
    it = entries_.end();
  }
  if (it == entries_.end()) {
    if (entries_.size() >= capacity_) DropOne(now_ms);
    it = entries_.emplace(address, Entry{0, now_ms, now_ms, 0}).first;
  }
  Entry& e = it->second;
  e.last_ms = now_ms;
  // A login that was under way when the block began changes nothing.
  if (e.blocked_until_ms != 0) return false;
  if (++e.count < most_) return false;
  e.blocked_until_ms = now_ms + window_ms_;
  return true;
}

void LoginFailures::RecordSuccess(const std::string& address) {
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.erase(address);
}

size_t LoginFailures::Size() {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.size();
}

void LoginFailures::DropOne(int64_t now_ms) {
  // Lapsed entries go first, then those without a block by their latest
  // failure, and only then blocks, the one that ends soonest first.
  auto rank = [&](const Entry& e) {
    bool live = Live(e, now_ms);
    bool blocked = live && e.blocked_until_ms != 0;
    return std::make_tuple(live, blocked, blocked ? e.blocked_until_ms : e.last_ms);
  };
  auto victim = entries_.begin();
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (rank(it->second) < rank(victim->second)) victim = it;
  }
  if (victim != entries_.end()) entries_.erase(victim);
}

}  // namespace protocol
