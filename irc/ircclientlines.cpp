// The line side of TIrcClient: every server line is parsed and dispatched here, and every line event is
// raised from here.

#include "irc/ircclient.h"
#include "irc/outgoing.h"
#include "irc/textcodec.h"

#include <QDateTime>
#include <QLocale>
#include <algorithm>

namespace irc {

namespace {

QString Text(const QByteArray& bytes)
{
    return DecodeText(bytes);
}

// The numeric of a reply such as "433", or -1 for a command word.
int NumericOf(const QByteArray& command)
{
    if (command.isEmpty() || command.size() > 3)
        return -1;
    int value = 0;
    for (const char c : command) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Replies that only inform: server features, traces, statistics, WHOIS, WHO and LIST replies, the MOTD.
bool IsInformational(int numeric)
{
    return numeric == 5 || (numeric >= 200 && numeric <= 399);
}

// The errors with which a server refuses a JOIN; the channel is their second parameter.
bool IsJoinRefusal(int numeric)
{
    static constexpr int refusals[] = { 403, 405, 437, 471, 473, 474, 475, 476, 477, 489 };
    return std::find(std::begin(refusals), std::end(refusals), numeric) != std::end(refusals);
}

int UserModeFlagOf(QChar letter)
{
    switch (letter.unicode()) {
    case u'i':
        return umInvisible;
    case u'o':
        return umOperator;
    case u's':
        return umServerNotices;
    case u'w':
        return umWallops;
    default:
        return 0;
    }
}

bool IsKnownCtcp(const QString& command)
{
    static const QStringList known { "ACTION", "CLIENTINFO", "DCC", "ERROR", "FINGER", "PING", "SOUND",
        "TIME", "USERINFO", "VERSION" };
    return known.contains(command);
}

} // namespace

void TIrcClient::HandleLine(const QByteArray& line)
{
    if (m_state == State::Disconnected || line.isEmpty())
        return;
    Q_EMIT OnReceive(Text(line));
    const Message message = ParseLine(line);
    const PrefixParts prefix = SplitPrefix(message.Prefix);
    // The sender is known for as long as its line is handled, and longer only if a channel lists it.
    const UserPtr sender = m_users.Add(Text(prefix.Nick), Text(prefix.Address));
    // The server's echo of the bot's own lines shows the prefix it puts before them for others.
    if (!sender->Nick.isEmpty() && IsSelf(*sender) && !prefix.Address.isEmpty())
        m_selfAddress = Text(prefix.Address);
    // What is sent in answer belongs to the sender in the send queue.
    const QString previousOwner = std::exchange(m_lineOwner, sender->Nick);
    Dispatch(message, sender);
    m_lineOwner = previousOwner;
    m_users.Release(sender);
}

void TIrcClient::Dispatch(const Message& message, const UserPtr& sender)
{
    using Handler = void (TIrcClient::*)(const Message&, const UserPtr&);
    static const std::pair<QByteArray, Handler> commands[] = {
        { "PRIVMSG", &TIrcClient::HandlePrivmsg },
        { "NOTICE", &TIrcClient::HandleNotice },
        { "JOIN", &TIrcClient::HandleJoin },
        { "PART", &TIrcClient::HandlePart },
        { "KICK", &TIrcClient::HandleKick },
        { "MODE", &TIrcClient::HandleMode },
        { "NICK", &TIrcClient::HandleNick },
        { "QUIT", &TIrcClient::HandleQuit },
        { "INVITE", &TIrcClient::HandleInvite },
        { "KILL", &TIrcClient::HandleKill },
        { "PING", &TIrcClient::HandlePing },
        { "WALLOPS", &TIrcClient::HandleWallops },
        { "TOPIC", &TIrcClient::HandleTopic },
        { "ACCOUNT", &TIrcClient::HandleAccount },
    };
    NoteAccountTag(message, sender);
    if (const std::optional<CapAction> action = m_cap.Handle(message)) {
        if (!ApplyCap(*action))
            return;
    }
    const int numeric = NumericOf(message.Command);
    if (numeric >= 0) {
        HandleNumeric(numeric, message, sender);
        return;
    }
    for (const auto& [command, handler] : commands) {
        if (command == message.Command) {
            (this->*handler)(message, sender);
            return;
        }
    }
    Q_EMIT OnUnknownCommand(sender.get(), Text(message.Command), Text(message.Content));
}

void TIrcClient::HandleNumeric(int numeric, const Message& message, const UserPtr& sender)
{
    if (HandleWhoisReply(numeric, message))
        return;
    const QString code = Text(message.Command);
    // The end of the greeting (of the MOTD, or the word that there is none).
    if ((numeric == 376 || numeric == 422) && !m_caseMappingTold)
        FollowCaseMapping(CaseMapping::Ascii);
    if (numeric >= 1 && numeric <= 4) {
        m_serverHost = Text(message.Prefix);
        if (m_state == State::Registering) {
            m_state = State::Connected;
            m_registerTimer.stop();
            // A server that welcomes the bot has finished with capabilities, whether they were ended or not.
            // A required login that did not happen ends the connection the way a failed one does.
            if (const std::optional<QString> problem = m_cap.Welcomed()) {
                ApplyCap({ {}, { *problem }, false, true });
                return;
            }
            if (!Settings.NickServPassword.isEmpty() && !m_cap.LoggedIn()) {
                Q_EMIT OnStatus(QStringLiteral("Identifying to NickServ."));
                SendUrgent(QStringLiteral("PRIVMSG NickServ :IDENTIFY "), Settings.NickServPassword);
            }
            StartNickRecovery();
            Q_EMIT OnRegistered();
        }
    } else if (numeric == 396) {
        // The server gave the bot another visible host: the prefix others see is not known any more.
        m_selfAddress.clear();
        Q_EMIT OnUnknownCommand(sender.get(), code, Text(message.Content));
    } else if (numeric == 353) {
        // 353 <me> <type> <channel> :<names>
        if (const ChannelPtr channel = m_channels.Find(Text(message.Param(2)))) {
            channel->NoteNamesType(Text(message.Param(1)));
            channel->AddNames(Text(message.Param(3)));
        }
    } else if (numeric == 366) {
        const ChannelPtr channel = m_channels.Find(Text(message.Param(1)));
        Q_EMIT OnNames(&m_users, channel.get());
    } else if (numeric >= 401 && numeric <= 502) {
        const quint64 generation = m_generation;
        if (IsJoinRefusal(numeric) && m_queue.IsHeld(Text(message.Param(1)))) {
            RejoinRefused(Text(message.Param(1)));
            if (m_generation != generation)
                return;
        }
        if (AnswersNickTry(numeric, message))
            return;
        Q_EMIT OnError(sender.get(), code, Text(message.Content));
        if (numeric >= 431 && numeric <= 433 && m_state == State::Registering && m_generation == generation)
            HandleNickRefused();
    } else if (HandleWhoxReply(numeric, message)) {
        return;
    } else if (IsInformational(numeric)) {
        if (numeric == 324)
            HandleChannelModes(message);
        if (numeric == 5) {
            NoteCaseMapping(message);
            NoteWhox(message);
            NoteModeSyntax(message);
            HandleIsupport(message);
        }
        Q_EMIT OnSystem(sender.get(), code, Text(message.Content));
    } else {
        // 731: nicks watched with MONITOR went offline.
        if (numeric == 731)
            HandleMonitorOffline(message);
        Q_EMIT OnUnknownCommand(sender.get(), code, Text(message.Content));
    }
}

// During registration a refused nick is replaced by the alternative one; when that is refused too and no
// handler offers another, the connection is given up.
void TIrcClient::HandleNickRefused()
{
    QString next;
    if (m_currentNick == m_nick && m_nick != AltNick) {
        next = AltNick;
    } else {
        Q_EMIT OnNicksInUse(next);
        if (m_state != State::Registering)
            return;
    }
    if (next.isEmpty()) {
        ForcedClose();
        return;
    }
    m_currentNick = next;
    if (m_self)
        m_self->Nick = next;
    SendUrgent(QStringLiteral("NICK ") + next);
}

void TIrcClient::HandlePrivmsg(const Message& message, const UserPtr& sender)
{
    const ChannelPtr channel = m_channels.Find(Text(message.Param(0)));
    const QString text = Text(message.Param(1));
    if (text.startsWith(QChar(1)))
        HandleCtcpQuery(sender, channel.get(), text);
    else if (channel || !HoldForAccount(sender, text))
        Q_EMIT OnMessage(sender.get(), channel.get(), text);
}

void TIrcClient::HandleNotice(const Message& message, const UserPtr& sender)
{
    const ChannelPtr channel = m_channels.Find(Text(message.Param(0)));
    const QString text = Text(message.Param(1));
    if (!text.startsWith(QChar(1))) {
        Q_EMIT OnNotice(sender.get(), channel.get(), text);
        return;
    }
    const Ctcp reply = ParseCtcp(text);
    if (IsKnownCtcp(reply.Command))
        Q_EMIT OnCTCPReply(sender.get(), reply.Command, reply.Arguments);
}

void TIrcClient::HandleCtcpQuery(const UserPtr& sender, TIrcChannel* channel, const QString& text)
{
    const Ctcp query = ParseCtcp(text);
    if (query.Command == QLatin1String("ACTION")) {
        Q_EMIT OnAction(sender.get(), channel, query.Arguments);
        return;
    }
    bool suppressReply = false;
    Q_EMIT OnCTCPQuery(sender.get(), query.Command, query.Arguments, suppressReply);
    const std::optional<QString> reply = AutomaticCtcpReply(query.Command, query.Arguments);
    if (suppressReply || !reply || sender->Nick.isEmpty() || !IsConnected())
        return;
    // Answers are rationed, so that the bot cannot be used to reflect a flood of queries at somebody.
    if (AllowCtcpReply(sender->Nick))
        CtcpReply(sender->Nick, query.Command, *reply);
}

// The automatic answer to a CTCP query; none for the queries that get none (SOUND, ERROR, DCC offers and
// anything unknown).
std::optional<QString> TIrcClient::AutomaticCtcpReply(const QString& command, const QString& arguments) const
{
    if (command == QLatin1String("PING"))
        return arguments;
    if (command == QLatin1String("FINGER"))
        return Replies.Finger;
    if (command == QLatin1String("USERINFO"))
        return Replies.UserInfo;
    if (command == QLatin1String("VERSION"))
        return Replies.Version;
    if (command == QLatin1String("CLIENTINFO"))
        return Replies.ClientInfo;
    if (command == QLatin1String("TIME"))
        return QStringLiteral("Local time is ") + QLocale().toString(QDateTime::currentDateTime());
    return std::nullopt;
}

void TIrcClient::HandleJoin(const Message& message, const UserPtr& sender)
{
    const QString name = Text(message.Param(0));
    if (IsSelf(*sender)) {
        const ChannelPtr channel = AddChannel(name);
        channel->Active = true;
        // Replies that waited for the bot to be back on the channel may go now.
        if (m_queue.IsHeld(name)) {
            m_queue.Release(name);
            Pump();
        }
        const quint64 generation = m_generation;
        Mode(name, QString());
        AskAccounts(name);
        if (m_generation == generation)
            Q_EMIT OnJoined(channel.get());
        return;
    }
    NoteJoinAccount(message, sender);
    const ChannelPtr channel = m_channels.Find(name);
    if (channel)
        channel->AddUser(sender);
    Q_EMIT OnJoin(sender.get(), channel.get());
}

void TIrcClient::HandlePart(const Message& message, const UserPtr& sender)
{
    sender->Reason = Text(message.Param(1));
    const ChannelPtr channel = m_channels.Find(Text(message.Param(0)));
    if (IsSelf(*sender)) {
        if (!channel)
            return;
        channel->Active = false;
        channel->CloseReason = TIrcCloseReason::Parted;
        Q_EMIT OnParted(channel.get());
        m_channels.Remove(channel);
        return;
    }
    if (channel)
        channel->RemoveUser(sender->Nick, cuPart);
    Q_EMIT OnPart(sender.get(), channel.get());
}

void TIrcClient::HandleKick(const Message& message, const UserPtr& sender)
{
    sender->Reason = Text(message.Param(2));
    const ChannelPtr channel = m_channels.Find(Text(message.Param(0)));
    const QString victimNick = Text(message.Param(1));
    if (SameName(victimNick, m_currentNick)) {
        if (!channel)
            return;
        channel->Active = false;
        channel->CloseReason = TIrcCloseReason::Kicked;
        Q_EMIT OnKicked(sender.get(), channel.get());
        m_channels.Remove(channel);
        return;
    }
    const UserPtr victim = m_users.Add(victimNick);
    victim->Reason = sender->Reason;
    Q_EMIT OnKick(sender.get(), victim.get(), channel.get());
    if (channel)
        channel->RemoveUser(victimNick, cuKick);
    m_users.Release(victim);
}

void TIrcClient::HandleMode(const Message& message, const UserPtr& sender)
{
    const QString target = Text(message.Param(0));
    const QString modes = Text(message.Param(1));
    if (IsChannelName(target)) {
        const ChannelPtr channel = m_channels.Find(target);
        Q_EMIT OnChannelMode(sender.get(), channel.get(), modes);
        if (!channel)
            return;
        QStringList arguments;
        for (qsizetype i = 2; i < message.Params.size(); ++i)
            arguments.append(Text(message.Params.at(i)));
        channel->ApplyModes(modes, arguments);
        return;
    }
    if (!SameName(target, m_currentNick))
        return;
    Q_EMIT OnUserMode(modes);
    const int before = UserMode;
    bool adding = true;
    for (const QChar letter : modes) {
        if (letter == u'+' || letter == u'-')
            adding = letter == u'+';
        else if (adding)
            UserMode |= UserModeFlagOf(letter);
        else
            UserMode &= ~UserModeFlagOf(letter);
    }
    if (UserMode != before)
        Q_EMIT OnUserModeChanged();
}

// 324 <me> <channel> <modes> [<arguments>...], the answer to the MODE the bot asks on joining.
void TIrcClient::HandleChannelModes(const Message& message)
{
    const ChannelPtr channel = m_channels.Find(Text(message.Param(1)));
    if (!channel)
        return;
    QStringList arguments;
    for (qsizetype i = 3; i < message.Params.size(); ++i)
        arguments.append(Text(message.Params.at(i)));
    channel->ReplaceModes(Text(message.Param(2)), arguments);
}

void TIrcClient::HandleNick(const Message& message, const UserPtr& sender)
{
    const QString newNick = Text(message.Param(0));
    if (IsSelf(*sender)) {
        const QString oldNick = std::exchange(m_currentNick, newNick);
        m_nick = newNick;
        NickChangedDuringRecovery(newNick);
        Q_EMIT OnNickChanged(oldNick);
    } else {
        Q_EMIT OnNickChange(sender.get(), newNick);
    }
    m_users.Rename(*sender, newNick);
    const std::vector<ChannelPtr> channels = m_channels.Items();
    for (const ChannelPtr& channel : channels)
        channel->UserRenamed(sender.get());
}

void TIrcClient::HandleQuit(const Message& message, const UserPtr& sender)
{
    sender->Reason = Text(message.Param(0));
    Q_EMIT OnQuit(sender.get(), sender->Reason);
    m_users.Quit(*sender);
    const std::vector<ChannelPtr> channels = m_channels.Items();
    for (const ChannelPtr& channel : channels)
        channel->RemoveUser(sender->Nick, cuQuit);
}

void TIrcClient::HandlePing(const Message& message, const UserPtr&)
{
    SendUrgent(QStringLiteral("PONG :"), Text(message.Param(0)));
    Q_EMIT OnPingPong();
}

void TIrcClient::HandleTopic(const Message& message, const UserPtr& sender)
{
    const ChannelPtr channel = m_channels.Find(Text(message.Param(0)));
    const QString topic = Text(message.Param(1));
    if (channel)
        channel->SetTopic(topic);
    Q_EMIT OnTopic(sender.get(), channel.get(), topic);
}

void TIrcClient::HandleInvite(const Message& message, const UserPtr& sender)
{
    Q_EMIT OnInvite(sender.get(), Text(message.Param(1)));
}

void TIrcClient::HandleKill(const Message& message, const UserPtr& sender)
{
    Q_EMIT OnKill(sender.get(), Text(message.Param(0)), Text(message.Param(1)));
}

void TIrcClient::HandleWallops(const Message& message, const UserPtr& sender)
{
    Q_EMIT OnWallops(sender.get(), Text(message.Param(0)));
}

bool TIrcClient::ApplyCap(const CapAction& action)
{
    const quint64 generation = m_generation;
    for (const QString& status : action.Status) {
        Q_EMIT OnStatus(status);
        // A handler may have closed the connection the negotiation was for.
        if (m_generation != generation)
            return false;
    }
    if (action.GiveUp) {
        FailConnection(QStringLiteral("Disconnected: not logged in, and sasl_required is set."));
        return false;
    }
    for (const QString& line : action.Send)
        SendUrgent(line);
    return action.PassOn;
}

bool TIrcClient::AllowCtcpReply(const QString& nick)
{
    static constexpr qint64 Minute = 60000;
    const qint64 now = m_clock.elapsed();
    const auto forgetOld = [now](QList<qint64>& times) {
        times.removeIf([now](qint64 time) { return now - time >= Minute; });
    };
    const int perUser = std::max(0, Settings.CtcpRepliesPerMinute);
    forgetOld(m_ctcpAll);
    if (m_ctcpAll.size() >= 10 * perUser)
        return false;
    // Only users who got an answer are remembered, and no more can have one within a minute than the
    // overall ration allows, so the table stays small once the quiet ones are swept out.
    if (m_ctcpTimes.size() > 10 * perUser + 16) {
        for (auto it = m_ctcpTimes.begin(); it != m_ctcpTimes.end();) {
            forgetOld(*it);
            it = it->isEmpty() ? m_ctcpTimes.erase(it) : std::next(it);
        }
    }
    const QString key = FoldName(nick);
    QList<qint64>& times = m_ctcpTimes[key];
    forgetOld(times);
    if (times.size() >= perUser) {
        if (times.isEmpty())
            m_ctcpTimes.remove(key);
        return false;
    }
    times.append(now);
    m_ctcpAll.append(now);
    return true;
}

// 005 <me> <token>... :are supported by this server
void TIrcClient::NoteModeSyntax(const Message& message)
{
    for (qsizetype i = 1; i + 1 < message.Params.size(); ++i)
        m_modeSyntax.Take(message.Params.at(i));
}

ChannelPtr TIrcClient::AddChannel(const QString& name)
{
    return m_channels.Add(name, m_users, m_modeSyntax,
        [this](TIrcChannel& channel, TIrcChannelUpdateType type, TIrcUser* user, int info) {
            Q_EMIT OnChannelUpdate(&channel, type, user, info);
        });
}

} // namespace irc
