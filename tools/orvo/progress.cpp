#include "tools/orvo/progress.h"

#include <cstdio>
#include <ostream>
#include <string>

namespace orvo {

namespace {

// Transfers of more than this many bytes show their progress.
constexpr long long kProgressThreshold = 1024 * 1024;
constexpr int kBarWidth = 30;

}  // namespace

void ProgressMeter::Finish() {
  if (drawn_ && env_.err_is_terminal) *env_.err << "\n";
  drawn_ = false;
}

void ProgressMeter::Update(long long done, long long total) {
  if (total <= kProgressThreshold) return;
  long long percent = done >= total ? 100 : done * 100 / total;
  long long step = env_.err_is_terminal ? percent : percent / 10 * 10;
  if (drawn_ && step == last_step_) return;
  drawn_ = true;
  last_step_ = step;
  char line[96];
  std::snprintf(line, sizeof line, "orvo: %3lld%% (%lld of %lld bytes)", step, done, total);
  *env_.err << (env_.err_is_terminal ? "\r" : "") << line << (env_.err_is_terminal ? "" : "\n");
  env_.err->flush();
}

void SyncBar::Show(size_t done, double fraction, std::string_view name) {
  if (!env_.err_is_terminal || files_ == 0) return;
  if (fraction < 0) fraction = 0;
  if (fraction > 1) fraction = 1;
  double whole = (static_cast<double>(done) + fraction) / static_cast<double>(files_);
  int permille = static_cast<int>(whole * 1000);
  if (drawn_ && permille == last_permille_) return;
  last_permille_ = permille;
  int filled = permille * kBarWidth / 1000;
  std::string bar(static_cast<size_t>(filled), '#');
  bar.resize(kBarWidth, '.');
  char count[64];
  std::snprintf(count, sizeof count, "] %3d%% %zu/%zu ", permille / 10, done, files_);
  // Clear to the end of the line: a shorter name must not show the rest of a longer one.
  *env_.err << "\rorvo: [" << bar << count << name.substr(0, 40) << "\x1b[K";
  env_.err->flush();
  drawn_ = true;
}

void SyncBar::Finish() {
  if (!drawn_) return;
  *env_.err << "\r\x1b[K";
  env_.err->flush();
  drawn_ = false;
}

}  // namespace orvo
