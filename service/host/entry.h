// The entry routine: fills the service record, moves to the executable's
// folder, reads the game server's name and decides how the process runs.
#pragma once

#include <string>

namespace host {

// Runs the process; returns its exit code.
int EntryMain(int argc, char** argv);

// The game server's name: the line after the first line containing
// "[SERVERS]" in "gyrion.ini" of the working directory or, when the working
// directory has none, in the "gyrion.ini" of the GYRIONPATH that
// "orvosvr.cfg" names; empty when missing.
std::string ReadServerName();

// Whether "orvosvr.cfg" of the working directory turns service mode on: a
// line that begins with "NTSERVICE" in its first column, whatever follows.
bool ServiceModeConfigured();

}  // namespace host
