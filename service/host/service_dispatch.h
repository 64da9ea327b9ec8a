// Running the service: under the system's service manager, or in the console
// for debugging ("-debug"). The manager's controls and the console's events
// are answered on an ordinary thread.
#pragma once

#include <cstdint>

namespace host {

// Controls of the service manager (on Linux stop and shutdown arrive as
// SIGTERM, interrogate as SIGHUP).
inline constexpr uint32_t kControlStop = 1;
inline constexpr uint32_t kControlInterrogate = 4;
inline constexpr uint32_t kControlShutdown = 5;

// Console events: Ctrl+C, Ctrl+Break, the console closed, the system shutting
// down (on Linux SIGINT, SIGQUIT, SIGHUP and SIGTERM).
inline constexpr uint32_t kConsoleCtrlC = 0;
inline constexpr uint32_t kConsoleCtrlBreak = 1;
inline constexpr uint32_t kConsoleClose = 2;
inline constexpr uint32_t kConsoleShutdown = 6;

// Hands the process to the service manager. When the manager started the
// process, it runs ServiceEntry, and the exit code the service stopped with
// is returned; otherwise writes event 0xE00003EA and returns -1 at once.
int RunDispatcher(int argc, char** argv);

// The service's main routine under the manager: registers the control
// handler, reports start pending, runs ServiceStart and reports stopped with
// its result as the exit code.
void ServiceEntry(int argc, char** argv);

// Runs ServerMain between the start-up and shutdown steps. Returns -1 when the
// stop event cannot be made, -4 when another instance with the same full name
// runs, otherwise ServerMain's result.
int ServiceStart(int argc, char** argv);

// Answers a control of the service manager: stop and shutdown request the
// stop; every control ends with a status report.
void ServiceControlHandler(uint32_t control);

// Answers a console event: Ctrl+C and Ctrl+Break request the stop (true,
// handled); the others are left to the default handling, which ends the
// process (false).
bool ConsoleControlHandler(uint32_t event);

// Runs the service code in the console with ConsoleControlHandler answering
// the console's events; returns ServiceStart's result.
int DebugService(int argc, char** argv);

}  // namespace host
