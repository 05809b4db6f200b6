#pragma once

// The settings the command line replaces for one run (--server, --nick, --owner, --set, --log-level) and
// the channels it names, kept apart from the loaded settings so that the files keep what they hold and
// --settings can tell which values come from the command line.

#include "core/botstate.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace app {

struct RunOptions {
    QString FilesDir;
    // Root may run the bot on a folder that belongs to another user.
    bool AllowRoot = false;
    // Each option that is set replaces the loaded setting for this run only: the files keep the loaded
    // value unless the setting was changed again during the run.
    std::optional<QString> ServerAddress;
    std::optional<int> ServerPort;
    std::optional<QString> BotNick;
    std::optional<QString> OwnerNick;
    // The channels to join once registered; without it, the favourite channels.
    std::optional<QStringList> Channels;
    // Settings of tessarin.ini replaced for this run, as key ("connection/tls") and value, in the order
    // given; each was checked when the command line was read.
    QList<std::pair<QString, QString>> Settings;
};

// Puts the options' settings.conf values into state.
void ApplyClassicOptions(const RunOptions& options, core::BotState& state);

// Puts the options' tessarin.ini values into settings.
void ApplyIniOptions(const RunOptions& options, core::ExtraSettings& settings);

// The names of what the options replace: the settings.conf names of SettingsLineNames() and the tessarin.ini
// keys.
QStringList ReplacedNames(const RunOptions& options);

// Splits "HOST" or "HOST:PORT" (an IPv6 address in brackets: "[::1]:6667"). Nothing when the port is not a
// number from 1 to 65535 or the host is empty.
std::optional<std::pair<QString, std::optional<int>>> ParseServerOption(const QString& text);

} // namespace app
