// Waiting for the event loop in window tests, without polling.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace monitor::testing {

// Runs the event loop until `done()` holds, blocking while no event comes;
// gives up after `limit_ms` (a bound for a broken test, not a measurement).
// Returns done().
template <class Done>
bool WaitFor(Done done, int limit_ms = 10000) {
  QDeadlineTimer deadline(limit_ms);
  QTimer wake;  // makes the last wait return at the deadline
  wake.setSingleShot(true);
  wake.start(limit_ms);
  while (!done() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  return done();
}

// Handles whatever events are already waiting.
inline void Settle() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

}  // namespace monitor::testing
