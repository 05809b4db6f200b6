#include "irc/ircchannels.h"

#include <algorithm>
#include <utility>

namespace irc {

bool IsChannelName(const QString& target)
{
    return !target.isEmpty() && QStringLiteral("!#&+").contains(target.at(0));
}

TIrcChannel::TIrcChannel(
    const QString& name, TIrcUsers& users, const ModeSyntax& syntax, UpdateHandler handler)
    : Name(name)
    , m_users(users)
    , m_syntax(syntax)
    , m_handler(std::move(handler))
{
}

TIrcChannel::~TIrcChannel()
{
    for (const TIrcName& entry : m_names)
        m_users.Release(entry.User);
}

void TIrcChannel::Raise(TIrcChannelUpdateType type, TIrcUser* user, int info)
{
    if (m_handler)
        m_handler(*this, type, user, info);
}

QStringList TIrcChannel::Nicks() const
{
    QStringList nicks;
    for (const TIrcName& entry : m_names)
        nicks.append(entry.User->Nick);
    return nicks;
}

qsizetype TIrcChannel::IndexOf(const QString& nick) const
{
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        if (SameName(m_names[i].User->Nick, nick))
            return static_cast<qsizetype>(i);
    }
    return -1;
}

bool TIrcChannel::IsOperator(const TIrcName& entry) const
{
    return std::any_of(entry.Ranks.cbegin(), entry.Ranks.cend(),
        [this](QChar rank) { return m_syntax.IsOperatorRank(rank); });
}

int TIrcChannel::FlagsOf(const TIrcName& entry) const
{
    return (IsOperator(entry) ? 1 : 0) | (entry.Ranks.contains(u'v') ? 2 : 0);
}

void TIrcChannel::AddNames(const QString& names)
{
    for (QString nick : names.split(u' ', Qt::SkipEmptyParts)) {
        QString ranks;
        while (!nick.isEmpty() && !m_syntax.RankOfSymbol(nick.at(0)).isNull()) {
            ranks.append(m_syntax.RankOfSymbol(nick.at(0)));
            nick.remove(0, 1);
        }
        if (nick.isEmpty())
            continue;
        // A repeated NAMES reply updates the entries instead of listing a nick twice.
        const qsizetype index = IndexOf(nick);
        if (index >= 0)
            m_names[static_cast<std::size_t>(index)].Ranks = ranks;
        else
            m_names.push_back({ m_users.Add(nick), ranks });
    }
    Raise(cuNames, nullptr, 0);
}

void TIrcChannel::AddUser(const UserPtr& user)
{
    qsizetype index = IndexOf(user->Nick);
    if (index < 0) {
        m_names.push_back({ m_users.Add(user->Nick), QString() });
        index = static_cast<qsizetype>(m_names.size()) - 1;
    }
    Raise(cuJoin, user.get(), static_cast<int>(index));
}

void TIrcChannel::RemoveUser(const QString& nick, TIrcChannelUpdateType type)
{
    const qsizetype index = IndexOf(nick);
    if (index < 0)
        return;
    // The handler may look at the entry, so it stays listed until the handler returns; a handler that
    // changed the list meanwhile is answered by looking the nick up again.
    const UserPtr user = m_names[static_cast<std::size_t>(index)].User;
    Raise(type, user.get(), static_cast<int>(index));
    const qsizetype now = IndexOf(nick);
    if (now < 0)
        return;
    m_names.erase(m_names.begin() + now);
    m_users.Release(user);
}

void TIrcChannel::UserRenamed(TIrcUser* user)
{
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        if (m_names[i].User.get() == user) {
            Raise(cuNick, user, static_cast<int>(i));
            return;
        }
    }
}

void TIrcChannel::SetTopic(const QString& topic)
{
    Topic = topic;
    Raise(cuTopic, nullptr, 0);
}

void TIrcChannel::ApplyModes(const QString& modes, const QStringList& arguments)
{
    const QString before = Modes;
    const int limitBefore = Limit;
    const QString keyBefore = Key;
    ApplyModeLetters(modes, arguments);
    if (Modes != before || Limit != limitBefore || Key != keyBefore)
        Raise(cuMode, nullptr, 0);
}

void TIrcChannel::ReplaceModes(const QString& modes, const QStringList& arguments)
{
    const QString before = Modes;
    const int limitBefore = Limit;
    const QString keyBefore = Key;
    const bool knownBefore = std::exchange(m_modesKnown, true);
    Modes.clear();
    Limit = 0;
    Key.clear();
    ApplyModeLetters(modes, arguments);
    if (!knownBefore || Modes != before || Limit != limitBefore || Key != keyBefore)
        Raise(cuMode, nullptr, 0);
}

void TIrcChannel::NoteNamesType(const QString& symbol)
{
    if (symbol == QLatin1String("@"))
        ApplyModes(QStringLiteral("+s"), {});
    else if (symbol == QLatin1String("*"))
        ApplyModes(QStringLiteral("+p"), {});
}

void TIrcChannel::ApplyModeLetters(const QString& modes, const QStringList& arguments)
{
    qsizetype next = 0;
    bool adding = true;

    for (const QChar letter : modes) {
        if (letter == u'+' || letter == u'-') {
            adding = letter == u'+';
            continue;
        }
        // Every letter that takes an argument consumes it, kept or not, so that the next letter gets its own.
        const QString argument = m_syntax.TakesParameter(letter, adding) && next < arguments.size()
            ? arguments.at(next++)
            : QString();
        switch (m_syntax.KindOf(letter)) {
        case ModeKind::Rank:
            ChangeRank(letter, adding, argument);
            break;
        case ModeKind::List:
            if (letter == u'b' && adding && !Bans.contains(argument))
                Bans.append(argument);
            else if (letter == u'b' && !adding)
                Bans.removeAll(argument);
            break;
        case ModeKind::Always:
            if (letter == u'k')
                Key = adding ? argument : QString();
            break;
        case ModeKind::WhenSet:
            if (letter == u'l')
                Limit = adding ? argument.toInt() : 0;
            break;
        case ModeKind::Never:
            if (adding && !Modes.contains(letter))
                Modes.append(letter);
            else if (!adding)
                Modes.remove(letter);
            break;
        }
    }
}

void TIrcChannel::ChangeRank(QChar rank, bool adding, const QString& nick)
{
    const qsizetype index = IndexOf(nick);
    if (index < 0)
        return;
    TIrcName& entry = m_names[static_cast<std::size_t>(index)];
    if (entry.Ranks.contains(rank) == adding)
        return;
    const int before = FlagsOf(entry);
    if (adding)
        entry.Ranks.append(rank);
    else
        entry.Ranks.remove(rank);
    if (FlagsOf(entry) != before)
        Raise(cuUser, entry.User.get(), FlagsOf(entry));
}

ChannelPtr TIrcChannels::Add(
    const QString& name, TIrcUsers& users, const ModeSyntax& syntax, TIrcChannel::UpdateHandler handler)
{
    if (const ChannelPtr old = Find(name))
        Remove(old);
    auto channel = std::make_shared<TIrcChannel>(name, users, syntax, std::move(handler));
    m_channels.push_back(channel);
    return channel;
}

ChannelPtr TIrcChannels::Find(const QString& name) const
{
    const auto it = std::find_if(m_channels.begin(), m_channels.end(),
        [&name](const ChannelPtr& channel) { return SameName(channel->Name, name); });
    return it == m_channels.end() ? nullptr : *it;
}

void TIrcChannels::Remove(const ChannelPtr& channel)
{
    m_channels.erase(std::remove(m_channels.begin(), m_channels.end(), channel), m_channels.end());
}

} // namespace irc
