// Progress on standard error: of one long transfer, and of a whole sync.
#pragma once

#include <cstddef>
#include <string_view>

#include "tools/orvo/environment.h"

namespace orvo {

// Shows the progress of transfers over one megabyte: in place on a terminal,
// otherwise one line per tenth.
class ProgressMeter {
 public:
  explicit ProgressMeter(const Environment& env) : env_(env) {}
  // Ends a line drawn in place, before any message follows it.
  void Finish();
  // Told after each chunk: the bytes moved so far and the total expected.
  void Update(long long done, long long total);

 private:
  const Environment& env_;
  bool drawn_ = false;
  long long last_step_ = -1;
};

// A bar over a whole sync, drawn in place on a terminal (nothing elsewhere):
// the files done, and the share of the current one.
class SyncBar {
 public:
  SyncBar(const Environment& env, size_t files) : env_(env), files_(files) {}
  ~SyncBar() { Finish(); }
  // `done` files are finished and `fraction` (0 to 1) of the next, `name`.
  void Show(size_t done, double fraction, std::string_view name);
  // Clears the bar's line, before any other output follows it.
  void Finish();

 private:
  const Environment& env_;
  size_t files_;
  bool drawn_ = false;
  int last_permille_ = -1;
};

}  // namespace orvo
