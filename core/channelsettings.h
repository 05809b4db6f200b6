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

class ChannelSettings {
public:
    // A bot serves a handful of tables; the bound keeps a privileged user's typing from growing the table
    // (and each rewrite of it in the store) without end.
    static constexpr qsizetype MaxChannels = 256;

    // Folded channel name to its keys and values; channels without a value are not listed.
    using Table = QMap<QString, QMap<QString, QString>>;

    std::optional<QString> Value(const QString& channel, const QString& key) const;
    // Whether the channel may be given a value: it has some already, or the bound is not reached.
    bool CanSet(const QString& channel) const;
    // Requires: value is canonical for key (CheckChannelValue).
    void Set(const QString& channel, const QString& key, const QString& value);
    void Unset(const QString& channel, const QString& key);

    // Keys the channels again after the server's case mapping changed from from to to. Channels to takes
    // as one share their settings (where both set a key, the value of the one whose old key sorts last
    // wins); a channel whose key to would part is forgotten, since its game master could otherwise see
    // the secret rolls of another channel.
    void Refold(irc::CaseMapping from, irc::CaseMapping to);

    const Table& All() const { return m_values; }

private:
    Table m_values;
};

} // namespace core
