#include "core/channelsettings.h"

#include "common/asciicase.h"
#include "core/gamesystem.h"

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

// One character that can start a line: not a blank, and a character outside the basic plane kept whole.
CheckedValue CommandCharacter(const QString& typed)
{
    const bool pair = typed.size() == 2 && typed.at(0).isHighSurrogate() && typed.at(1).isLowSurrogate();
    if ((typed.size() != 1 && !pair) || typed.at(0).isSpace())
        return { {}, QStringLiteral("must be one character, such as !") };
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
    const auto values = m_values.constFind(ChannelKeyOf(channel));
    if (values == m_values.cend())
        return std::nullopt;
    const auto value = values->constFind(key);
    return value == values->cend() ? std::nullopt : std::optional<QString>(*value);
}

bool ChannelSettings::CanSet(const QString& channel) const
{
    return m_values.size() < MaxChannels || m_values.contains(ChannelKeyOf(channel));
}

void ChannelSettings::Set(const QString& channel, const QString& key, const QString& value)
{
    m_values[ChannelKeyOf(channel)].insert(key, value);
}

void ChannelSettings::Unset(const QString& channel, const QString& key)
{
    const auto values = m_values.find(ChannelKeyOf(channel));
    if (values == m_values.end())
        return;
    values->remove(key);
    if (values->isEmpty())
        m_values.erase(values);
}

void ChannelSettings::Refold(irc::CaseMapping from, irc::CaseMapping to)
{
    Table refolded;
    for (auto channel = m_values.cbegin(); channel != m_values.cend(); ++channel) {
        if (const std::optional<QString> key = irc::Refold(channel.key(), from, to))
            refolded[*key].insert(channel.value());
    }
    m_values = refolded;
}

} // namespace core
