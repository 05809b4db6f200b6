#pragma once

// The settings each channel has chosen for itself, over the global ones: command character, dicebot
// mode, silent mode, inline rolls, game system and game master. BotState holds them (PerChannel); the
// ,channel command changes them and ChannelSettingsStore keeps them. A value is held as its canonical text
// ("yes", "sr4", "!") so that showing, keeping and reading it back need no conversion; core/placesettings.h
// turns them into what applies where.

#include "irc/casemapping.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace core {

inline const QString CharKey = QStringLiteral("char");
inline const QString DicebotKey = QStringLiteral("dicebot");
inline const QString SilentKey = QStringLiteral("silent");
inline const QString InlineKey = QStringLiteral("inline");
inline const QString SystemKey = QStringLiteral("system");
inline const QString GameMasterKey = QStringLiteral("gm");

// The keys in the order ,channel shows them.
const QStringList& ChannelSettingKeys();

// A value as typed, checked for its key: the canonical text, or why it cannot be taken ("must be yes or
// no"), to be said after the key's name.
struct CheckedValue {
    QString Text;
    QString Refusal;
};
CheckedValue CheckChannelValue(const QString& key, const QString& typed);

// Channel names compare as the server compares them.
QString ChannelKeyOf(const QString& channel);

// One channel's own values, and when it was last given one: a number that grows with every Set.
struct OwnSettings {
    QMap<QString, QString> Values;
    qint64 SetOrder = 0;

    bool operator==(const OwnSettings&) const = default;
};

class ChannelSettings {
public:
    // Folded channel name to its own settings; channels without a value are not listed.
    using Table = QMap<QString, OwnSettings>;

    std::optional<QString> Value(const QString& channel, const QString& key) const;
    // Makes room for a first value of channel in a table that keeps at most bound channels. Channels that
    // do not stay (the bot is not on them and they are not among its favourites) give way, least recently
    // set first, so that no user can fill the table for good with channels he founded. Returns the
    // channels whose settings went, or nothing, having removed none, when not enough of them may go.
    std::optional<QStringList> MakeRoomFor(
        const QString& channel, qsizetype bound, const QStringList& staying);
    // Requires: value is canonical for key (CheckChannelValue).
    void Set(const QString& channel, const QString& key, const QString& value);
    void Unset(const QString& channel, const QString& key);

    // Keys the channels again after the server's case mapping changed from from to to. Channels to takes
    // as one share their settings (where both set a key, the value of the one whose old key sorts last
    // wins); a channel whose key to would part is forgotten, since its game master could otherwise see
    // the secret rolls of another channel.
    void Refold(irc::CaseMapping from, irc::CaseMapping to);

    const Table& All() const { return m_channels; }

private:
    Table m_channels;
    qint64 m_lastOrder = 0;
};

} // namespace core
