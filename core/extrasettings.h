#pragma once

// Settings of this program beyond the five classic configuration files. They live in a file of their own,
// "tessarin.ini" in the data folder, so the classic files keep their exact formats. A missing file or key
// leaves the default. Every setting is one row of one table (SettingKeys): loading, the file --init writes
// and the list --settings prints are all made from it, so a new setting is one new row.

#include "core/commandlog.h"
#include "core/gamesystem.h"
#include "irc/clientsettings.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace core {

// Whom the bot trusts, the [access] group.
enum class Evidence {
    // Services accounts where the network tells them, nicks elsewhere.
    Automatic,
    Nick,
    Account,
};

struct AccessSettings {
    Evidence Proof = Evidence::Automatic;
    // Besides the owner's nick: the services account, and a "nick!user@host" mask with "*" and "?", that
    // also make a user the owner.
    QString OwnerAccount;
    QString OwnerHostmask;
    // Whoever is logged in to the creator's services account passes every gate. Off, because on a network
    // where nobody has registered that account the first to register it would.
    bool CreatorPasses = false;
    // The console's user, where nobody but the operator types: the owner for the session while the
    // settings name none. Never read from a file.
    QString LocalOwnerNick;
};

// What the bot keeps across restarts, the [store] group.
struct StoreSettings {
    // Off: everything lives in memory only, and a restart starts afresh.
    bool Keep = true;
    // Rolls older than this many days are forgotten at start.
    int RollDays = 365;
    // Users not seen for this many days are forgotten at start; 0 keeps them all.
    int SeenDays = 0;
    // The most channels that have settings of their own (,channel set). A bot serves a handful of tables;
    // the bound keeps users' typing from growing the table (and each rewrite of it in the store) without
    // end.
    int SettingsChannels = 256;
};

// [dice]: rolls typed inline in channel lines ("[[2d6+3]]"), who sees secret rolls (an entry as the access
// lists take; empty: the owner) and the game system ",r" rolls for. A channel may choose its own
// (core/channelsettings.h): read them through core/placesettings.h, which knows where each applies.
struct DiceSettings {
    bool InlineRolls = false;
    QString GameMaster;
    GameSystem System = GameSystem::None;
};

// Whether the lines the console and the headless bot print start with date, time and level.
enum class LogStamps { Auto, Yes, No };

// [log]: how much of the command log the console and the headless bot print, and in which form.
struct LogSettings {
    LogLevel Level = LogLevel::Info;
    LogStamps Stamps = LogStamps::Auto;
};

struct ExtraSettings {
    // Where users may send requests, named in the help; empty to point them to the owner instead.
    QString RequestAddress;
    // The web page where the bot can be obtained, named in the help; empty to point to the owner.
    QString HomePage;
    // The curiosity shop whose drawers ware opens ("host" or "host:port"); empty: ware has no shop.
    QString DrawerHost;
    // [commands] address_with_colon: "Tessarin: roll 2d6", as clients complete a nick, is a command too.
    bool AddressWithColon = false;
    // How the bot reaches its server beyond the address and port of the classic settings: the [connection]
    // and [flood] groups (a field without a key keeps its default), handed to the IRC client whole at each
    // connect.
    irc::ClientSettings Connection;
    AccessSettings Access;
    StoreSettings Store;
    DiceSettings Dice;
    LogSettings Log;
    // What could not be taken from the file, one line each for the command log (never a password).
    QStringList Problems;
    // The keys ("connection/tls") whose values were taken from the file.
    QStringList FromFile;
};

inline const QString ExtraSettingsFile = QStringLiteral("tessarin.ini");

// One setting of tessarin.ini.
struct SettingKey {
    // "group/key", as --set and --settings name it.
    QString Name;
    // What it does, for the comment above it in the file --init writes.
    QString Comment;
    // Takes the text as written in the file; returns why it cannot (the setting then stays as it was), or an
    // empty text.
    std::function<QString(ExtraSettings&, const QString&)> Apply;
    // The setting as it would be written in the file.
    std::function<QString(const ExtraSettings&)> Show;
    // A password: --settings never shows it.
    bool Secret = false;
};

// Every setting, in the order of the file --init writes.
const std::vector<SettingKey>& SettingKeys();

// The row of a key, or nothing.
const SettingKey* FindSettingKey(const QString& name);

ExtraSettings LoadExtraSettings(const QString& filesDir);

// tessarin.ini with every setting at its default, each under its comment, grouped as the table groups them.
QString DefaultExtraSettingsText();

// The keys of the connection settings as they are written in the file: "connection/tls", ...
const QStringList& ConnectionSettingKeys();

// Takes one connection setting by its key and its text as written in the file. Returns why it was not
// taken (an unknown key, a value out of range), or an empty text; a refused value leaves the setting as
// it was.
QString ApplyConnectionSetting(irc::ClientSettings& settings, const QString& key, const QString& value);

} // namespace core
