// Installing and removing the service with the system's service manager
// (the "-install" and "-remove" switches). Every text goes to standard output.
#pragma once

namespace host {

// Installs the service under the full name: the executable, started at boot
// from its own folder. Prints the result or what failed.
void InstallService();

// Stops the installed service when it runs, waiting while it stops, and
// removes it. Prints the result or what failed.
void RemoveService();

}  // namespace host
