// Pictures of the monitor's own windows, for documentation and tests.
#pragma once

#include <windows.h>

#include <string>

namespace monitor {

// Draws `window` as it stands on screen, frame and title included, into the
// PNG file `path`. Returns false when it could not.
bool SaveWindowPicture(HWND window, const std::wstring& path);

}  // namespace monitor
