// The entry of the windowed program in a build without windows: there is never a window to open.

#include "app/windowsmode.h"

namespace app {

std::optional<int> RunWindowsIfWanted(int&, char*[])
{
    return std::nullopt;
}

} // namespace app
