// Where the monitor keeps "Configuration.ini" and its console logs.
#pragma once

#include <string>

namespace monitor {

// `program_folder` when a file can be created there; otherwise
// `user_folder`, created if missing. Paths are in the ANSI code page.
std::string ChooseMonitorFolder(const std::string& program_folder, const std::string& user_folder);

// The folder for this run, ending in a backslash: the program's own folder,
// or "%APPDATA%\GyrionMonitor" when the program sits where the user cannot
// write, as under Program Files.
std::string MonitorFolder();

}  // namespace monitor
