#pragma once

// The program with its main window, when this build has windows (TESSARIN_WINDOWS) and a display can be
// reached; the build without windows has the same entry, which never opens one.

#include <optional>

namespace app {

// Runs the main window to the program's end and returns the exit code, when the command line asks for no
// other mode and a display can be reached (DISPLAY or WAYLAND_DISPLAY names one that answers, or
// QT_QPA_PLATFORM names a platform). Returns nothing otherwise, before making any application object, so
// that the program can take another mode.
std::optional<int> RunWindowsIfWanted(int& argc, char* argv[]);

} // namespace app
