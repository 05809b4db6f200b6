#include "core/channelsettings.h"

#include "common/asciicase.h"
#include "core/botstate.h"
#include "core/gamesystem.h"

#include <QSet>
#include <algorithm>

namespace core {

namespace {

CheckedValue YesOrNo(const QString& typed)
{
    static const QStringList yes { "yes", "on", "true", "1" };
    static const QStringList no { "no", "off", "false", "0" };
    const QString lower = common::AsciiLower(typed);
    if (yes.contains(lower))
        return { QStringLiteral("yes"), {} };
    if (no.contains(lower))
        return { QStringLiteral("no"), {} };
    return { {}, QStringLiteral("must be yes or no") };
}

// One character that can start a line, a character outside the basic plane kept whole.
CheckedValue CommandCharacter(const QString& typed)
{
    const bool pair = typed.size() == 2 && typed.at(0).isHighSurrogate() && typed.at(1).isLowSurrogate();
    if (typed.size() != 1 && !pair)
        return { {}, QStringLiteral("must be one character, such as !") };
    if (!CanBeCommandChar(typed))
        return { {}, QStringLiteral("must be a visible character, not a blank or a control character") };
    return { typed, {} };
}

CheckedValue System(const QString& typed)
{
    if (const std::optional<GameSystem> system = GameSystemNamed(typed))
        return { GameSystemWord(*system), {} };
    QStringList words;
    for (const auto& [word, system] : GameSystemWords())
        words.append(word);
    return { {}, QStringLiteral("must be one of ") + words.join(QStringLiteral(", ")) };
}

CheckedValue Nick(const QString& typed)
{
    if (typed.isEmpty() || typed.contains(u' ') || typed.contains(u',') || typed.startsWith(u'#')
        || typed.startsWith(u'&'))
        return { {}, QStringLiteral("must be a nick, $a:account or nick!user@host mask") };
    return { typed, {} };
}

} // namespace

const QStringList& ChannelSettingKeys()
{
    static const QStringList keys { CharKey, DicebotKey, SilentKey, InlineKey, SystemKey, GameMasterKey };
    return keys;
}

CheckedValue CheckChannelValue(const QString& key, const QString& typed)
{
    if (key == CharKey)
        return CommandCharacter(typed);
    if (key == SystemKey)
        return System(typed);
    if (key == GameMasterKey)
        return Nick(typed);
    if (ChannelSettingKeys().contains(key))
        return YesOrNo(typed);
    return { {}, QStringLiteral("is not a channel setting") };
}

QString ChannelKeyOf(const QString& channel)
{
    return irc::FoldName(channel);
}

std::optional<QString> ChannelSettings::Value(const QString& channel, const QString& key) const
{
    const auto own = m_channels.constFind(ChannelKeyOf(channel));
    if (own == m_channels.cend())
        return std::nullopt;
    const auto value = own->Values.constFind(key);
    return value == own->Values.cend() ? std::nullopt : std::optional<QString>(*value);
}

std::optional<QStringList> ChannelSettings::MakeRoomFor(
    const QString& channel, qsizetype bound, const QStringList& staying)
{
    const qsizetype excess = m_channels.size() - bound + 1;
    if (excess <= 0 || m_channels.contains(ChannelKeyOf(channel)))
        return QStringList();
    QSet<QString> stay;
    for (const QString& name : staying)
        stay.insert(ChannelKeyOf(name));
    QList<std::pair<qint64, QString>> mayGo;
    for (auto own = m_channels.cbegin(); own != m_channels.cend(); ++own) {
        if (!stay.contains(own.key()))
            mayGo.append({ own->SetOrder, own.key() });
    }
    if (mayGo.size() < excess)
        return std::nullopt;
    std::sort(mayGo.begin(), mayGo.end());
    QStringList gone;
    for (qsizetype i = 0; i < excess; ++i) {
        m_channels.remove(mayGo.at(i).second);
        gone.append(mayGo.at(i).second);
    }
    return gone;
}

void ChannelSettings::Set(const QString& channel, const QString& key, const QString& value)
{
    OwnSettings& own = m_channels[ChannelKeyOf(channel)];
    own.Values.insert(key, value);
    own.SetOrder = ++m_lastOrder;
}

void ChannelSettings::Unset(const QString& channel, const QString& key)
{
    const auto own = m_channels.find(ChannelKeyOf(channel));
    if (own == m_channels.end())
        return;
    own->Values.remove(key);
    if (own->Values.isEmpty())
        m_channels.erase(own);
}

void ChannelSettings::Refold(irc::CaseMapping from, irc::CaseMapping to)
{
    Table refolded;
    for (auto channel = m_channels.cbegin(); channel != m_channels.cend(); ++channel) {
        if (const std::optional<QString> key = irc::Refold(channel.key(), from, to)) {
            OwnSettings& settings = refolded[*key];
            settings.Values.insert(channel.value().Values);
            settings.SetOrder = std::max(settings.SetOrder, channel.value().SetOrder);
        }
    }
    m_channels = refolded;
}

} // namespace core
