#pragma once

// What `tessarin --settings` prints: every setting the bot would run with, the 22 lines of settings.conf
// and every key of tessarin.ini, each with its value and where the value comes from.

#include "core/botstate.h"
#include "core/settingsfiles.h"

#include <QStringList>

namespace app {

// Shown instead of a password that is set.
inline const QString MaskedPassword = QStringLiteral("********");

// One line per setting, "NAME  SOURCE  VALUE", under a heading per file, and the problems of tessarin.ini
// at the end. state holds the settings as the bot would run with them; taken says which lines of
// settings.conf were read from the file, fromOptions which names the command line replaced.
QStringList SettingsReport(const core::BotState& state, const core::SettingsLinesTaken& taken,
    const QStringList& fromOptions, const QString& filesDir);

} // namespace app
