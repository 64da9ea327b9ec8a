// The lines sent in this run, walked with Up and Down in the command box as
// consoles do.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

namespace monitor {

class CommandHistory {
 public:
  // The most lines kept; the oldest go first.
  static constexpr size_t kMaxLines = 1000;

  // Keeps `line` as the newest line, unless it is empty or repeats the
  // newest; the next walk starts after it.
  void Add(const std::string& line);
  // The line before the one shown, or nothing at the oldest. `shown` is the
  // command box's text; a walk that starts keeps it to come back to.
  std::optional<std::string> Older(const std::string& shown);
  // The line after the one shown, the text the walk started from after the
  // newest, or nothing when no walk is under way.
  std::optional<std::string> Newer();

 private:
  std::deque<std::string> lines_;
  size_t position_ = 0;  // the line shown; lines_.size() when not walking
  std::string draft_;    // the box's text when the walk started
};

}  // namespace monitor
