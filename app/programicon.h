#pragma once

// The program's icon, for its windows and the tray: a white six-sided die showing five on dark red.

#include <QIcon>

namespace app {

QIcon ProgramIcon();

} // namespace app
