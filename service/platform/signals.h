// The signals that ask the process to stop or tell it that its terminal has
// gone, handed to a handler that runs on an ordinary thread.
#pragma once

#include <functional>
#include <vector>

namespace platform {

enum class ProcessSignal {
  kInterrupt,  // SIGINT: Ctrl+C in the terminal
  kQuit,       // SIGQUIT: Ctrl+\, the terminal's Ctrl+Break
  kHangup,     // SIGHUP: the terminal was closed
  kTerminate,  // SIGTERM: the service manager's stop, or the system shutting down
};

// Decides what a signal does; false leaves it to its default action, which
// ends the process.
using SignalHandler = std::function<bool(ProcessSignal)>;

// Routes each of `signals` to `handler`. The signal handler itself only
// records the signal; `handler` runs on a thread of its own, so it may log,
// lock and report. Replaces any earlier routing. False, with the last error
// set, when the routing cannot be set up.
bool RouteSignals(const std::vector<ProcessSignal>& signals, SignalHandler handler);

}  // namespace platform
