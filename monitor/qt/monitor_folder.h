// Where the monitor keeps "Configuration.ini" and its console logs.
#pragma once

#include <QString>

namespace monitor {

// `program_folder` when a file can be created there; otherwise
// `user_folder`, created if missing. The result is where the settings and
// logs go; it is `user_folder` even when that could not be created, and the
// saves there then fail as saves do.
QString ChooseMonitorFolder(const QString& program_folder, const QString& user_folder);

// The folder for this run, ending in "/": the program's own folder, or
// "~/.config/GyrionMonitor" (the user's configuration folder) when the
// program sits where the user cannot write, as an installed program does.
QString MonitorFolder();

}  // namespace monitor
