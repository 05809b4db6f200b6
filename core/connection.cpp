#include "core/connection.h"

#include "core/identity.h"
#include "core/settingsfiles.h"

namespace core {

Connection::Connection(BotState& state, CommandLog& log, irc::TIrcClient& client, const Clock& clock,
    const QString& filesDir, QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_log(log)
    , m_client(client)
    , m_clock(clock)
    , m_filesDir(filesDir)
    , m_attemptsLeft(state.ReconnectAttempts)
{
    ReconnectTimer.setInterval(state.ReconnectInterval);
    ChannelConenctTimer.setSingleShot(true);
    ChannelConenctTimer.setInterval(ChannelConnectDelay);
    RedrawTimer.setInterval(KeepAliveInterval);
    connect(&ReconnectTimer, &QTimer::timeout, this, [this] {
        // One attempt at a time: a connect still under way is not abandoned for a new one.
        if (m_attemptPending)
            return;
        m_attemptPending = true;
        RunConnectProcedure(true);
    });
    connect(&ChannelConenctTimer, &QTimer::timeout, this, &Connection::RejoinChannels);
    connect(&RedrawTimer, &QTimer::timeout, this, &Connection::KeepAlive);

    connect(&client, &irc::TIrcClient::OnConnected, this, &Connection::HandleConnected);
    connect(&client, &irc::TIrcClient::OnRegistered, this, &Connection::HandleRegistered);
    connect(&client, &irc::TIrcClient::OnStatus, &log, [&log](const QString& text) { log.Append(text); });
    connect(&client, &irc::TIrcClient::OnConnectFailed, this, &Connection::HandleConnectFailed);
    connect(&client, &irc::TIrcClient::OnDisconnected, this, [this] {
        RunDisconnectedSteps(false);
        // After a socket error the attempt is settled once the error is logged.
        if (!m_inSocketError)
            SettleLostAttempt();
    });
    connect(&client, &irc::TIrcClient::OnJoined, this, &Connection::HandleJoined);
    connect(&client, &irc::TIrcClient::OnParted, this, &Connection::HandleParted);
    connect(&client, &irc::TIrcClient::OnKicked, this, &Connection::HandleKicked);
    connect(&client, &irc::TIrcClient::OnNotice, this, &Connection::HandleNotice);
    connect(&client, &irc::TIrcClient::OnError, this, &Connection::HandleError);
    connect(&client, &irc::TIrcClient::OnSocketError, this, &Connection::HandleSocketError);
}

void Connection::ApplyReconnectSettings()
{
    ReconnectTimer.setInterval(m_state.ReconnectInterval);
    m_attemptsLeft = m_state.ReconnectAttempts;
}

void Connection::Connect()
{
    RunConnectProcedure(false);
}

QString Connection::ServerText() const
{
    return m_state.ServerAddress + u':' + QString::number(m_state.ServerPort);
}

void Connection::RunConnectProcedure(bool reconnect)
{
    const QString stamp = m_clock.StampNow();
    m_log.Append(reconnect ? QStringLiteral("Attempted to connect on ") + stamp + u'.'
                           : QStringLiteral("Connect command issued on ") + stamp + u'.');
    // A live connection is closed before the nick is set, so that setting it is not taken for a NICK
    // request on the old connection.
    if (m_client.IsConnected())
        m_client.Disconnect();
    m_client.Host = m_state.ServerAddress;
    m_client.Port = static_cast<quint16>(m_state.ServerPort);
    m_client.SetNick(m_state.BotNick);
    m_client.Username = m_state.BotNick;
    m_client.RealName = m_state.BotNick;
    m_client.Settings = m_state.Extra.Connection;
    if (!RedrawTimer.isActive())
        RedrawTimer.start();
    m_client.Connect();
}

void Connection::HandleConnected()
{
    m_log.Append(QStringLiteral("Connected to ") + ServerText());
    ReconnectTimer.stop();
    m_state.LogLimit = m_state.LogLines + 2;
    m_rejoinWaited = false;
    ChannelConenctTimer.start();
    m_state.Connected = true;
}

void Connection::HandleRegistered()
{
    m_attemptsLeft = m_state.ReconnectAttempts;
    if (!m_ownerWarned) {
        m_ownerWarned = true;
        if (const QString warning = OwnerWarning(m_state, m_client.TellsAccounts()); !warning.isEmpty())
            m_log.Append(warning, LogLevel::Warning);
    }
    // Back on the server, the bot is on none of its channels until the rejoin: what is said for them
    // meanwhile (a countdown going on, say) waits for it.
    for (const QString& channel : std::as_const(m_state.CurrentChannels))
        m_client.HoldRepliesFor(channel);
    if (m_attemptPending)
        FinishReconnectAttempt(true);
}

void Connection::HandleConnectFailed()
{
    m_log.Append(QStringLiteral("Unable to connect to ") + ServerText(), LogLevel::Warning);
    if (m_attemptPending)
        FinishReconnectAttempt(false);
    else if (!ReconnectTimer.isActive())
        Q_EMIT Stopped();
}

// Every attempt counts against the budget, a successful one too (the counter was just reset at the
// welcome, so the next loss has one attempt less). Only a failed attempt can end the reconnecting: giving
// up on a connection that is up would cut it for nothing, which with ReconnectAttempts = 0 would happen on
// every reconnect.
void Connection::FinishReconnectAttempt(bool connected)
{
    m_attemptPending = false;
    --m_attemptsLeft;
    if (!connected && m_attemptsLeft < 0)
        GiveUp();
}

void Connection::GiveUp()
{
    ReconnectTimer.stop();
    m_attemptsLeft = m_state.ReconnectAttempts;
    m_state.AutoReconnect = false;
    RunDisconnectedSteps(true);
    m_log.Append(QStringLiteral("Unable to reconnect to the server in the specified number of attempts."),
        LogLevel::Error);
    Q_EMIT Stopped();
}

void Connection::SettleLostAttempt()
{
    if (std::exchange(m_attemptLost, false))
        FinishReconnectAttempt(false);
}

void Connection::RunDisconnectedSteps(bool forReconnectTimer)
{
    // A reconnect attempt whose connection ends before the server welcomed the bot has failed; it is
    // counted (and may end the reconnecting) once the loss has been logged.
    const bool attemptFailed = !forReconnectTimer && m_attemptPending;
    m_state.Connected = false;
    // A rejoin still waiting would only fail; the next connect starts it again.
    ChannelConenctTimer.stop();
    m_rejoinWaited = false;
    if (!forReconnectTimer)
        m_log.Append(QStringLiteral("Disconnected from server."), LogLevel::Warning);
    if (m_state.AutoReconnect) {
        if (!ReconnectTimer.isActive())
            ReconnectTimer.start();
        if (attemptFailed)
            m_attemptLost = true;
        return;
    }
    m_attemptPending = false;
    m_state.CurrentChannels.clear();
    if (!forReconnectTimer)
        Q_EMIT Stopped();
}

// The first tick only starts a second wait, so that the server has finished greeting the bot before the
// joins go out; the second tick rejoins.
void Connection::RejoinChannels()
{
    if (!m_rejoinWaited) {
        if (m_state.CurrentChannels.isEmpty())
            return;
        m_rejoinWaited = true;
        ChannelConenctTimer.start();
        return;
    }
    m_rejoinWaited = false;
    const QStringList channels = m_state.CurrentChannels;
    for (const QString& name : channels) {
        // A channel joined meanwhile (by a command, say) is not joined twice.
        const irc::ChannelPtr joined = m_client.Channels().Find(name);
        if (joined && joined->Active)
            continue;
        if (!m_client.Rejoin(name))
            m_log.Append(QStringLiteral("Unable to join channel") + name + u'.', LogLevel::Warning);
    }
}

qsizetype Connection::FindCurrentChannel(const QString& name) const
{
    for (qsizetype index = m_state.CurrentChannels.size() - 1; index >= 0; --index) {
        if (irc::SameName(m_state.CurrentChannels.at(index), name))
            return index;
    }
    return -1;
}

void Connection::HandleJoined(irc::TIrcChannel* channel)
{
    m_log.Append(QStringLiteral("Joined ") + channel->Name);
    if (FindCurrentChannel(channel->Name) < 0)
        m_state.CurrentChannels.append(channel->Name);
    const QString error = SaveFavoriteChannels(m_state, m_filesDir, &m_log);
    if (!error.isEmpty())
        m_log.Append(error, LogLevel::Error);
    m_state.JoinRequester.clear();
}

void Connection::HandleParted(irc::TIrcChannel* channel)
{
    const qsizetype index = FindCurrentChannel(channel->Name);
    if (index >= 0)
        m_state.CurrentChannels.removeAt(index);
}

void Connection::HandleKicked(irc::TIrcUser*, irc::TIrcChannel* channel)
{
    if (m_client.Rejoin(channel->Name))
        return;
    m_log.Append(QStringLiteral("Unable to join ") + channel->Name + QStringLiteral(" after being kicked."),
        LogLevel::Warning);
    Q_EMIT KickedOut(channel->Name, channel->Nicks());
}

void Connection::HandleNotice(irc::TIrcUser* user, irc::TIrcChannel*, const QString& text)
{
    m_log.Append(text);
    // Only the server (or a bouncer speaking as the server) may say that the bot lost its connection;
    // any user could send the same words to make the bot drop and rejoin everything.
    const bool fromServer = !user || user->Nick.isEmpty();
    if (fromServer && text.toLower().contains(QLatin1String("not connected to the server")))
        m_client.Disconnect();
}

void Connection::HandleError(irc::TIrcUser*, const QString&, const QString& error)
{
    m_log.Append(error, LogLevel::Warning);
    // Each requester is cleared before it is told: telling it may fail and report a new error, which
    // must not tell it again.
    if (!m_state.JoinRequester.isEmpty()) {
        const QString requester = std::exchange(m_state.JoinRequester, QString());
        m_client.Say(requester, QStringLiteral("Can't do that, chief. I'm banned or something."));
    }
    if (!m_state.SayRequester.isEmpty()) {
        const QString requester = std::exchange(m_state.SayRequester, QString());
        m_client.Say(requester, QStringLiteral("Somehow I can't transmit your message."));
    }
}

void Connection::HandleSocketError(const QString& message)
{
    m_inSocketError = true;
    m_client.Disconnect();
    m_inSocketError = false;
    m_log.Append(QStringLiteral("Socket error!"), LogLevel::Warning);
    if (!message.isEmpty())
        m_log.Append(message, LogLevel::Warning);
    SettleLostAttempt();
}

// The keep-alive sends the bot a message of its own; when even that cannot be sent, the connection is
// dropped so that the reconnect takes over.
void Connection::KeepAlive()
{
    if (!m_state.Connected || ReconnectTimer.isActive())
        return;
    // Until the server has welcomed the bot it takes no messages and would answer with an error.
    if (m_client.CurrentState() != irc::TIrcClient::State::Connected)
        return;
    // Lines still waiting in the send queue show the connection is in use; the keep-alive would only
    // take a turn from the replies.
    if (m_client.WaitingLines() > 0)
        return;
    if (!m_client.Say(m_client.Nick(), QStringLiteral("Ping-pong")))
        m_client.Disconnect();
}

} // namespace core
