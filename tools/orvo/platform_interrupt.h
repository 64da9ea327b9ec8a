// What orvo asks of the operating system about the keyboard's interrupt
// (Ctrl-C on a terminal, the console's Ctrl-C event on Windows). In the shell
// it must not end orvo: it is noted as requested, every wait of platform.h
// wakes on it, and the shell cancels the command under way.
#pragma once

#include <cstdint>

namespace orvo::platform {

// From now on the interrupt no longer ends orvo: it is noted, and the waits
// of platform.h end early with kIoInterrupted while it is. 0, or -1 when it
// cannot be caught (orvo then ends on it as before).
int CatchInterrupts();

// Whether an interrupt has been noted since the last ClearInterrupt.
bool InterruptRequested();

// Forgets a noted interrupt once it has been dealt with.
void ClearInterrupt();

// For the waits of the platform layer only: what becomes ready while an
// interrupt is noted (the read end of a pipe on POSIX, a loopback socket on
// Windows, where select watches sockets only), or -1 while interrupts are
// not caught.
intptr_t InterruptWaitHandle();

}  // namespace orvo::platform
