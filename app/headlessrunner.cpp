#include "app/headlessrunner.h"

#include "commands/clientevents.h"

#include <QCoreApplication>
#include <QTimer>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace app {

namespace {

// The signal handler only writes a byte into this pipe; the event loop reads it and shuts down in peace.
int s_signalPipe[2] = { -1, -1 };

void HandleStopSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(s_signalPipe[1], &byte, 1);
}

bool InstallStopSignals()
{
    if (s_signalPipe[0] < 0 && ::pipe2(s_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = HandleStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

} // namespace

std::optional<std::pair<QString, std::optional<int>>> ParseServerOption(const QString& text)
{
    QString host = text;
    QString port;
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        if (close < 0)
            return std::nullopt;
        host = text.mid(1, close - 1);
        const QString rest = text.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(u':'))
            return std::nullopt;
        port = rest.mid(1);
        if (rest.startsWith(u':') && port.isEmpty())
            return std::nullopt;
    } else if (text.count(u':') == 1) {
        host = text.section(u':', 0, 0);
        port = text.section(u':', 1);
        if (port.isEmpty())
            return std::nullopt;
    }
    if (host.isEmpty())
        return std::nullopt;
    if (port.isEmpty())
        return std::pair { host, std::optional<int>() };
    bool ok = false;
    const int number = port.toInt(&ok);
    if (!ok || number < 1 || number > 65535)
        return std::nullopt;
    return std::pair { host, std::optional<int>(number) };
}

HeadlessRunner::HeadlessRunner(HeadlessOptions options, QObject* parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_stdout(stdout)
    , m_stderr(stderr)
    , m_bot(m_options.FilesDir, m_client, m_client, m_clock)
    , m_connection(m_bot.State(), m_bot.Log(), m_client, m_clock, m_options.FilesDir)
{
    connect(&m_bot.Log(), &core::CommandLog::LineAppended, this, [this](const QString& line) {
        m_stdout << line << '\n';
        m_stdout.flush();
    });
    commands::FeedBotFromClient(m_bot, m_client);
    connect(&m_client, &irc::TIrcClient::OnRegistered, this, &HeadlessRunner::JoinStartChannels);
    connect(&m_connection, &core::Connection::Stopped, this, [this] { Finish(1); });
}

HeadlessRunner::~HeadlessRunner()
{
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
}

void HeadlessRunner::Start()
{
    m_bot.Start();
    for (const QString& problem : m_bot.State().Extra.Problems)
        m_bot.Log().Append(problem);
    ApplyOptions();
    m_connection.ApplyReconnectSettings();
    if (InstallStopSignals()) {
        m_signals.emplace(s_signalPipe[0], QSocketNotifier::Read);
        connect(&*m_signals, &QSocketNotifier::activated, this, [this] {
            char byte;
            while (::read(s_signalPipe[0], &byte, 1) > 0) { }
            Finish(0);
        });
    } else {
        m_stderr << "Could not install the signal handlers; SIGINT and SIGTERM end the bot unsaved.\n";
        m_stderr.flush();
    }
    m_connection.Connect();
}

void HeadlessRunner::ApplyOptions()
{
    core::BotState& state = m_bot.State();
    m_loadedAddress = state.ServerAddress;
    m_loadedPort = state.ServerPort;
    m_loadedNick = state.BotNick;
    m_loadedOwner = state.OwnerNick;
    if (m_options.ServerAddress)
        state.ServerAddress = *m_options.ServerAddress;
    if (m_options.ServerPort)
        state.ServerPort = *m_options.ServerPort;
    if (m_options.BotNick)
        state.BotNick = *m_options.BotNick;
    if (m_options.OwnerNick)
        state.OwnerNick = *m_options.OwnerNick;
    // The options were checked when they were read; tessarin.ini is never written, so nothing to restore.
    for (const auto& [key, value] : m_options.ConnectionSettings)
        core::ApplyConnectionSetting(state.Extra.Connection, key, value);
}

void HeadlessRunner::RestoreLoadedSettings()
{
    core::BotState& state = m_bot.State();
    if (m_options.ServerAddress && state.ServerAddress == *m_options.ServerAddress)
        state.ServerAddress = m_loadedAddress;
    if (m_options.ServerPort && state.ServerPort == *m_options.ServerPort)
        state.ServerPort = m_loadedPort;
    if (m_options.BotNick && state.BotNick == *m_options.BotNick)
        state.BotNick = m_loadedNick;
    if (m_options.OwnerNick && state.OwnerNick == *m_options.OwnerNick)
        state.OwnerNick = m_loadedOwner;
}

// After a reconnect the bot rejoins the channels it was on by itself; the start channels are for a bot
// that is on none.
void HeadlessRunner::JoinStartChannels()
{
    const core::BotState& state = m_bot.State();
    if (!state.CurrentChannels.isEmpty())
        return;
    const QStringList channels = m_options.Channels.value_or(state.FavoriteChannels);
    for (const QString& channel : channels) {
        if (!channel.isEmpty() && !m_client.Join(channel))
            m_bot.Log().Append(QStringLiteral("Unable to join ") + channel);
    }
}

void HeadlessRunner::Finish(int exitCode)
{
    if (m_finishing)
        return;
    m_finishing = true;
    // The closing disconnect must not start a reconnect.
    m_bot.State().AutoReconnect = false;
    RestoreLoadedSettings();
    const QString error = m_bot.Close();
    if (!error.isEmpty()) {
        m_stderr << error << '\n';
        m_stderr.flush();
    }
    // Quit once control is back in the event loop, so that the handler that brought us here returns first.
    QTimer::singleShot(
        0, this, [exitCode, failed = !error.isEmpty()] { QCoreApplication::exit(failed ? 1 : exitCode); });
}

} // namespace app
