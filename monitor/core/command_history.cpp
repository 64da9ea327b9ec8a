#include "monitor/core/command_history.h"

namespace monitor {

void CommandHistory::Add(const std::string& line) {
  if (!line.empty() && (lines_.empty() || lines_.back() != line)) {
    lines_.push_back(line);
    if (lines_.size() > kMaxLines) lines_.pop_front();
  }
  position_ = lines_.size();
  draft_.clear();
}

std::optional<std::string> CommandHistory::Older(const std::string& shown) {
  if (position_ == 0) return std::nullopt;
  if (position_ == lines_.size()) draft_ = shown;
  return lines_[--position_];
}

std::optional<std::string> CommandHistory::Newer() {
  if (position_ >= lines_.size()) return std::nullopt;
  ++position_;
  return position_ == lines_.size() ? draft_ : lines_[position_];
}

}  // namespace monitor
