#pragma once

// The five configuration files in the data folder and the order in which they are read at start and
// written at close. Reading never fails loudly: whatever cannot be read keeps its default, with the
// partial-read rules of each step.

#include "core/botstate.h"

#include <QString>

namespace core {

namespace files {
inline const QString Settings = QStringLiteral("settings.conf");
inline const QString Privileged = QStringLiteral("previleged.conf");
inline const QString Banned = QStringLiteral("banned.conf");
inline const QString Messages = QStringLiteral("messages.conf");
inline const QString FavoriteChannels = QStringLiteral("favorite_channels.conf");
} // namespace files

// Clears the runtime fields and reads the five files from filesDir into state.
// Requires: state holds the defaults (a freshly constructed BotState).
void LoadAtStart(BotState& state, const QString& filesDir);

// The 22 lines of the settings file for the current values.
QStringList SettingsFileLines(const BotState& state);

// Writes the settings, privileged, banned and reply-phrase files, in that order, stopping at the first
// failure. Returns a description of the failure, or an empty text when all four were written.
QString SaveAtClose(const BotState& state, const QString& filesDir);

// Rewrites the favourites file with CurrentChannels, one name per line. Returns a description of the
// failure, or an empty text.
QString SaveFavoriteChannels(const BotState& state, const QString& filesDir);

} // namespace core
