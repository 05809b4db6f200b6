#include "sessionrig.h"

#include "commands/clientevents.h"
#include "core/extrasettings.h"
#include "irc/message.h"
#include "irc/textcodec.h"

#include <QCoreApplication>
#include <QTimerEvent>
#include <cerrno>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace fuzzing {

namespace {

// Enough for the client to read, answer, and run what it deferred to the loop (a connect's news, a
// report of dropped lines).
constexpr int EventsPerTurn = 3;
// A write the client does not take within this many turns is given up: the bot stopped reading.
constexpr int MaxStalledTurns = 16;
// At the end, turns until the bot has been silent for two of them.
constexpr int MaxSettlingTurns = 64;
// The client's end may hold this much the rig has not read yet, so that a burst of replies is written at
// once rather than left in the client's buffer (the kernel may grant less).
constexpr int ClientSendBuffer = 4 * 1024 * 1024;

// For reading what an input does: TESSARIN_FUZZ_TRACE=1 prints every piece each side writes.
void Trace(const char* side, const QByteArray& bytes)
{
    static const bool wanted = qEnvironmentVariableIsSet("TESSARIN_FUZZ_TRACE");
    if (wanted)
        std::fprintf(stderr, "%s %s\n", side, bytes.toPercentEncoding(" :#,!@\n").constData());
}

} // namespace

SessionRig::SessionRig(const QString& filesDir, const QList<std::pair<QString, QString>>& settings)
    : m_bot(filesDir, m_client, m_client, m_clock)
    , m_connection(m_bot.State(), m_bot.Log(), m_client, m_clock, filesDir)
{
    commands::FeedBotFromClient(m_bot, m_client, m_connection);
    QObject::connect(&m_client, &irc::TIrcClient::OnRegistered, &m_client, [this] { JoinStartChannels(); });
    QObject::connect(
        &m_client, &irc::TIrcClient::OnReceive, &m_client, [this](const QString& line) { Received(line); });
    m_bot.Start([&settings](core::BotState& state) {
        for (const auto& [key, value] : settings) {
            const core::SettingKey* row = core::FindSettingKey(key);
            if (row && SettableInFuzzing(key))
                row->Apply(state.Extra, value);
        }
    });
    m_connection.ApplyReconnectSettings();
}

SessionRig::~SessionRig()
{
    Close();
}

void SessionRig::Run(const std::vector<ScriptStep>& steps)
{
    const auto connect = [this] { m_connection.Connect(); };
    Connect(connect);
    for (const ScriptStep& step : steps) {
        switch (step.What) {
        case ScriptStep::Kind::Write:
            Write(step.Bytes);
            break;
        case ScriptStep::Kind::Turn:
            Turn();
            break;
        case ScriptStep::Kind::HangUp:
            HangUp();
            break;
        case ScriptStep::Kind::Tick:
            Tick();
            break;
        case ScriptStep::Kind::Connect:
            Connect(connect);
            break;
        }
    }
    Turn();
    Finish();
}

void SessionRig::Connect(const std::function<void()>& start)
{
    Drain();
    int pair[2];
    Require(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) == 0, "no socketpair");
    ::setsockopt(pair[1], SOL_SOCKET, SO_SNDBUF, &ClientSendBuffer, sizeof ClientSendBuffer);
    m_client.OpenDescriptor = pair[1];
    start();
    if (m_client.OpenDescriptor >= 0) {
        ::close(std::exchange(m_client.OpenDescriptor, -1));
        ::close(pair[0]);
        return;
    }
    const int previous = std::exchange(m_server, pair[0]);
    std::optional<OutgoingCheck> previousCheck = std::exchange(m_check, OutgoingCheck());
    m_lines.clear();
    m_partLine.clear();
    if (previous >= 0) {
        // The client has closed its end of the old connection: what it wrote there is all there is.
        char buffer[4096];
        ssize_t received;
        while ((received = ::recv(previous, buffer, sizeof buffer, MSG_DONTWAIT)) > 0)
            previousCheck->Feed(QByteArray(buffer, received));
        previousCheck->Ended();
        ::close(previous);
    }
    Turn();
}

void SessionRig::Write(const QByteArray& bytes)
{
    qsizetype done = 0;
    int stalls = 0;
    while (m_server >= 0 && done < bytes.size()) {
        const ssize_t sent
            = ::send(m_server, bytes.constData() + done, bytes.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            // Noted before the client can read it: it reads only while the loop turns.
            Trace("server:", bytes.mid(done, sent));
            m_partLine += bytes.mid(done, sent);
            qsizetype end;
            while ((end = m_partLine.indexOf('\n')) >= 0) {
                QByteArray line = m_partLine.left(end);
                m_partLine.remove(0, end + 1);
                if (line.endsWith('\r'))
                    line.chop(1);
                if (!line.isEmpty())
                    m_lines.push_back(line);
            }
            done += sent;
        } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && ++stalls <= MaxStalledTurns) {
            Turn();
        } else {
            // The bot closed its end, or stopped reading: the rest is lost, as on a real connection.
            return;
        }
    }
}

void SessionRig::Turn()
{
    for (int i = 0; i < EventsPerTurn; ++i) {
        QCoreApplication::processEvents();
        Drain();
    }
}

// The timers fire as their own timeouts would (a single-shot one stops); the bot's clock moves on, while no
// real time needs to pass.
void SessionRig::Tick()
{
    static constexpr int Minute = 60;
    m_clock.Moment = m_clock.Moment.addSecs(Minute);
    const auto fire = [](QTimer& timer) {
        if (!timer.isActive())
            return;
        QTimerEvent timeout(timer.timerId());
        QCoreApplication::sendEvent(&timer, &timeout);
    };
    for (QTimer* timer : { &m_connection.ChannelConenctTimer, &m_connection.RedrawTimer,
             &m_bot.Count().CountTimer, &m_bot.Replay().ReplayTimer, &m_bot.Locks().Timer1,
             &m_bot.Locks().SayTimer, &m_bot.Locks().LastTimer })
        fire(*timer);
    if (m_connection.ReconnectTimer.isActive())
        Connect([&] { fire(m_connection.ReconnectTimer); });
    Turn();
}

void SessionRig::HangUp()
{
    Drain();
    if (m_server >= 0) {
        m_check->Ended();
        Close();
    }
    Turn();
}

void SessionRig::Finish()
{
    int quiet = 0;
    for (int i = 0; i < MaxSettlingTurns && m_server >= 0 && quiet < 2; ++i) {
        QCoreApplication::processEvents();
        quiet = Drain() > 0 ? 0 : quiet + 1;
    }
    if (m_server >= 0)
        m_check->Finish();
}

qsizetype SessionRig::Drain()
{
    qsizetype total = 0;
    char buffer[65536];
    while (m_server >= 0) {
        const ssize_t received = ::recv(m_server, buffer, sizeof buffer, MSG_DONTWAIT);
        if (received > 0) {
            Trace("bot:", QByteArray(buffer, received));
            m_check->Feed(QByteArray(buffer, received));
            total += received;
        } else if (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        } else {
            m_check->Ended();
            Close();
        }
    }
    return total;
}

void SessionRig::Close()
{
    if (m_server >= 0)
        ::close(std::exchange(m_server, -1));
}

// Every line the client hands on must be the next line the server sent, whole; a PING it handles while
// connected is owed a PONG on this connection, if the rig is still there to read it.
void SessionRig::Received(const QString& line)
{
    Require(!m_lines.empty(), "the client handed on a line the server did not send", line.toUtf8());
    const QByteArray sent = m_lines.front();
    m_lines.pop_front();
    Require(irc::DecodeText(sent) == line, "the client handed on another line than the server sent", sent);
    const irc::Message message = irc::ParseLine(sent);
    if (message.Command == "PING" && m_client.IsConnected() && m_server >= 0)
        m_check->ExpectPong(message.Param(0));
}

// As the headless runner does at the welcome: the favourite channels, unless the bot is back on a server
// and rejoins its own.
void SessionRig::JoinStartChannels()
{
    const core::BotState& state = m_bot.State();
    if (!state.CurrentChannels.isEmpty())
        return;
    for (const QString& channel : state.FavoriteChannels) {
        if (!channel.isEmpty())
            m_client.Join(channel);
    }
}

} // namespace fuzzing
