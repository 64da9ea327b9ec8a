// How the service manager runs the service: the dispatcher that hands the
// process over, the control handler that receives the manager's controls,
// and the console control handler of debug mode. On Windows these are the
// Service Control Manager's dispatcher and handlers; on Linux, systemd's
// process with its signals (SIGTERM for stop, SIGHUP for interrogate; the
// terminal's SIGINT, SIGQUIT, SIGHUP and SIGTERM for the console events).
// Handlers run on an ordinary thread, never in a signal handler.
#pragma once

#include <cstdint>
#include <string>

#include "service/platform/notify.h"

namespace platform {

// The service's main routine, run by the dispatcher.
using ServiceMainRoutine = void (*)(int argc, char** argv);
// Answers one control of the manager: stop (1), interrogate (4), shutdown (5).
using ServiceControlRoutine = void (*)(uint32_t control);
// Answers one console event: Ctrl+C (0), Ctrl+Break (1), the console closed
// (2), logoff (5), system shutdown (6); false leaves it to the default
// handling, which ends the process.
using ConsoleControlRoutine = bool (*)(uint32_t event);

// Hands the process to the service manager, which runs `service_main` as the
// service `name` (on a thread of the dispatcher's on Windows, on this one on
// Linux) and returns once the service has stopped: true. False, with the last
// error set, when the process was not started by the manager.
bool RunServiceDispatcher(const std::string& name, ServiceMainRoutine service_main, int argc, char** argv);

// Registers `handler` for the controls of the running service `name`. The
// status handle to report through (it lives until the process ends), or
// nullptr with the last error set.
ServiceNotifier* RegisterServiceControlHandler(const std::string& name, ServiceControlRoutine handler);

// Routes the console's events to `handler`; false with the last error set.
bool SetConsoleControlHandler(ConsoleControlRoutine handler);

}  // namespace platform
