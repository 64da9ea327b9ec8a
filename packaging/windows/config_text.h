// The installer's changes to the installed "orvosvr.cfg": a block of its own
// at the end of the file naming the game server's folder and turning service
// mode on, and the test whether the file still holds only what the installer
// put there (an uninstall removes such a file and keeps any other).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kitsetup {

// The text with the installer's block (a marker line, "GYRIONPATH <path>" and
// "NTSERVICE", CR LF ends) in place of any earlier block of its own at the
// end; every other line is kept as it is.
std::string WithGamePath(std::string_view text, std::string_view game_path);

// The text without the installer's block at its end; none when it has none.
std::optional<std::string> WithoutInstallerBlock(std::string_view text);

// Whether the text is the example as installed, with or without the
// installer's block.
bool AsInstalled(std::string_view text, std::string_view example);

// Whether a line of the text begins with "NTSERVICE", which turns the
// service's mode on.
bool TurnsServiceOn(std::string_view text);

}  // namespace kitsetup
