#pragma once

// The five configuration files in the data folder and the order in which they are read at start and
// written at close. Reading never fails loudly: whatever cannot be read keeps its default, with the
// partial-read rules of each step.

#include "core/botstate.h"
#include "core/commandlog.h"

#include <QString>
#include <array>

namespace core {

namespace files {
inline const QString Settings = QStringLiteral("settings.conf");
inline const QString Privileged = QStringLiteral("previleged.conf");
inline const QString Banned = QStringLiteral("banned.conf");
inline const QString Messages = QStringLiteral("messages.conf");
inline const QString FavoriteChannels = QStringLiteral("favorite_channels.conf");
} // namespace files

inline constexpr std::size_t SettingsLineCount = 22;

// For each line of the settings file, whether its value was taken from the file (rather than left at its
// default).
using SettingsLinesTaken = std::array<bool, SettingsLineCount>;

// Clears the runtime fields and reads the five files from filesDir into state. Returns which lines of the
// settings file were taken.
// Requires: state holds the defaults (a freshly constructed BotState).
SettingsLinesTaken LoadAtStart(BotState& state, const QString& filesDir);

// Reads the reply phrases and the privileged and banned users again, as at start (a phrase the file does
// not hold is the default again); the settings file is not read. Returns how many phrases the file held.
int ReloadPhrasesAndUsers(BotState& state, const QString& filesDir);

struct SettingsReload {
    // The names (as SettingsLineNames gives them) of the lines the operator edited.
    QStringList Edited;
    // Why nothing was taken, or an empty text.
    QString Problem;
};

// Takes the lines of the settings file the operator edited since the bot last read or wrote it; the
// bot's own values stay on the other lines. A file that cannot be read whole changes nothing.
SettingsReload ReloadSettings(BotState& state, const QString& filesDir);

// The line of the settings file that holds the command character.
inline constexpr std::size_t CommandCharLine = 19;

// The 22 lines of the settings file for the current values.
QStringList SettingsFileLines(const BotState& state);

// The name of the setting on each line of the settings file, as BotState names it: "ServerAddress", ...
const std::array<QString, SettingsLineCount>& SettingsLineNames();

// Writes the settings, privileged, banned and reply-phrase files, in that order, stopping at the first
// failure. A file the operator edited since the bot read or wrote it keeps the edits: only the bot's own
// changes since are written into it (see filebaseline.h), and log is told. Returns a description of the
// failure, or an empty text when all four were written.
QString SaveAtClose(BotState& state, const QString& filesDir, CommandLog* log = nullptr);

// Rewrites the favourites file with CurrentChannels, one name per line (an edited file as above). Returns
// a description of the failure, or an empty text.
QString SaveFavoriteChannels(BotState& state, const QString& filesDir, CommandLog* log = nullptr);

} // namespace core
