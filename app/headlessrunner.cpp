#include "app/headlessrunner.h"

#include "commands/clientevents.h"
#include "core/settingsfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace app {

namespace {

QString Counted(qsizetype count, const QString& one, const QString& many)
{
    return QString::number(count) + u' ' + (count == 1 ? one : many);
}

// A terminal that hangs up is taken from its session, so /dev/tty no longer opens.
bool HasControllingTerminal()
{
    const int terminal = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0)
        return false;
    ::close(terminal);
    return true;
}

// nohup and its kind hand the program SIGHUP ignored: the operator asked it to outlive its terminal.
bool HangupIgnored()
{
    struct sigaction current { };
    return ::sigaction(SIGHUP, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

} // namespace

HeadlessRunner::HeadlessRunner(RunOptions options, QObject* parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_output(stdout)
    , m_errors(stderr)
    , m_bot(m_options.FilesDir, m_client, m_client, m_clock)
    , m_connection(m_bot.State(), m_bot.Log(), m_client, m_clock, m_options.FilesDir)
{
    connect(&m_bot.Log(), &core::CommandLog::LineAppended, this,
        [this](const QString& line, core::LogLevel level) { m_output.Write(line, level); });
    commands::FeedBotFromClient(m_bot, m_client, m_connection);
    connect(&m_client, &irc::TIrcClient::OnRegistered, this, &HeadlessRunner::JoinStartChannels);
    connect(&m_connection, &core::Connection::Stopped, this, [this] { Finish(m_stopping ? 0 : 1); });
    connect(&m_signals, &SignalPipe::Received, this, [this](int signal) {
        if (signal != SIGHUP)
            return Stop();
        if (!m_stopsWithTerminal || HasControllingTerminal())
            return Reload();
        m_bot.Log().Append(
            QStringLiteral("The terminal the bot was started from has closed: stopping. A bot "
                           "that must outlive its terminal runs as the service, or under nohup."),
            core::LogLevel::Warning);
        Stop();
    });
    m_quitWait.setSingleShot(true);
    m_quitWait.setInterval(QuitWaitMs);
    connect(&m_quitWait, &QTimer::timeout, this, [this] { Finish(0); });
}

std::optional<int> HeadlessRunner::Start()
{
    const QString folder = QDir(m_options.FilesDir).absolutePath();
    if (!QFileInfo(folder).isDir())
        return Refuse(
            QStringLiteral("The data folder %1 does not exist; tessarin --init %1 makes one.").arg(folder));
    if (const QString problem = m_guard.Take(folder, m_options.AllowRoot); !problem.isEmpty())
        return Refuse(problem);
    // The command line's settings are in place before the store opens, so that they choose it too.
    m_bot.Start([this](core::BotState&) { ApplyOptions(); });
    if (m_bot.State().ServerAddress.trimmed().isEmpty())
        return Refuse(
            QStringLiteral("No server address: put one on line 1 of %1 or give --server HOST[:PORT].")
                .arg(QDir(folder).filePath(core::files::Settings)));
    for (const QString& problem : m_bot.State().Extra.Problems)
        m_bot.Log().Append(problem, core::LogLevel::Warning);
    m_connection.ApplyReconnectSettings();
    m_stopsWithTerminal = HasControllingTerminal() && !HangupIgnored();
    if (!m_signals.Catch({ SIGHUP, SIGINT, SIGTERM }))
        m_errors.Write(QStringLiteral("Could not install the signal handlers; SIGINT and SIGTERM end the bot "
                                      "unsaved."),
            core::LogLevel::Warning);
    m_connection.Connect();
    return std::nullopt;
}

std::optional<int> HeadlessRunner::Refuse(const QString& problem)
{
    m_errors.Write(problem, core::LogLevel::Error);
    return 2;
}

void HeadlessRunner::ApplyOptions()
{
    core::BotState& state = m_bot.State();
    m_loadedAddress = state.ServerAddress;
    m_loadedPort = state.ServerPort;
    m_loadedNick = state.BotNick;
    m_loadedOwner = state.OwnerNick;
    ApplyClassicOptions(m_options, state);
    // tessarin.ini is never written, so nothing of it needs restoring.
    ApplyIniOptions(m_options, state.Extra);
    m_output.Configure(state.Extra.Log);
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
            m_bot.Log().Append(QStringLiteral("Unable to join ") + channel, core::LogLevel::Warning);
    }
}

// The lines of settings.conf the operator edited replace the values in memory (the bot's own changes to
// the others stay); the command line's settings still win over the file's.
QString HeadlessRunner::ReloadSettings()
{
    core::BotState& state = m_bot.State();
    core::CommandLog& log = m_bot.Log();
    RestoreLoadedSettings();
    const core::SettingsReload reload = core::ReloadSettings(state, m_options.FilesDir);
    if (!reload.Problem.isEmpty())
        log.Append(reload.Problem, core::LogLevel::Warning);
    if (!reload.Edited.isEmpty()) {
        m_bot.Locks().ApplyIntervals();
        m_connection.ApplyReconnectSettings();
    }
    ApplyOptions();
    if (reload.Edited.isEmpty())
        return QStringLiteral("unchanged");
    for (const char* atConnect : { "ServerAddress", "ServerPort", "BotNick", "LogLines" }) {
        if (reload.Edited.contains(QLatin1String(atConnect))) {
            log.Append(
                QStringLiteral("The server, port, nick and log size read from %1 take effect at the next "
                               "connect.")
                    .arg(core::files::Settings));
            break;
        }
    }
    return QStringLiteral("edited ") + reload.Edited.join(QStringLiteral(", "));
}

// What the settings window's buttons and the Replies window would change, and settings.conf.
void HeadlessRunner::Reload()
{
    core::BotState& state = m_bot.State();
    core::CommandLog& log = m_bot.Log();
    const QString settings = ReloadSettings();
    const int phrases = core::ReloadPhrasesAndUsers(state, m_options.FilesDir);
    state.Extra = core::LoadExtraSettings(m_options.FilesDir);
    ApplyIniOptions(m_options, state.Extra);
    for (const QString& problem : state.Extra.Problems)
        log.Append(problem, core::LogLevel::Warning);
    if (!m_bot.RescanCustomFiles())
        log.Append(QStringLiteral("Error updating the list of custom random generation files."),
            core::LogLevel::Warning);
    if (!m_bot.ReloadAliases())
        log.Append(QStringLiteral("Error updating the list of alias files."), core::LogLevel::Warning);
    log.Append(
        QStringLiteral("Read the files again on SIGHUP: %1 of %2 reply phrases from %3, %4 and %5, %6 "
                       "(%7 of its keys), %8, %9; %10: %11.")
            .arg(phrases)
            .arg(int(core::ReplyPhraseCount))
            .arg(core::files::Messages,
                Counted(state.PrivilegedUsers.size(), QStringLiteral("privileged nick"),
                    QStringLiteral("privileged nicks")),
                Counted(
                    state.BannedUsers.size(), QStringLiteral("banned nick"), QStringLiteral("banned nicks")),
                core::ExtraSettingsFile, QString::number(state.Extra.FromFile.size()),
                Counted(m_bot.Custom().Names().size(), QStringLiteral("custom file"),
                    QStringLiteral("custom files")),
                Counted(m_bot.Aliases().Rows().size(), QStringLiteral("alias"), QStringLiteral("aliases")),
                core::files::Settings, settings));
    // The new [log] settings take effect after the report of what was read.
    m_output.Configure(state.Extra.Log);
}

// The bot says QUIT and waits, briefly, for the server to close the connection, so that the channels see
// it leave with its message; then it writes its files and ends. A second signal does not wait.
void HeadlessRunner::Stop()
{
    if (m_stopping) {
        Finish(0);
        return;
    }
    m_stopping = true;
    m_bot.State().AutoReconnect = false;
    m_connection.ReconnectTimer.stop();
    if (m_client.IsConnected() && m_client.Quit(QuitMessage))
        m_quitWait.start();
    else
        Finish(0);
}

void HeadlessRunner::Finish(int exitCode)
{
    if (m_finishing)
        return;
    m_finishing = true;
    m_quitWait.stop();
    // The closing disconnect must not start a reconnect.
    m_bot.State().AutoReconnect = false;
    RestoreLoadedSettings();
    const QString error = m_bot.Close();
    if (!error.isEmpty())
        m_errors.Write(error, core::LogLevel::Error);
    // Quit once control is back in the event loop, so that the handler that brought us here returns first.
    QTimer::singleShot(
        0, this, [exitCode, failed = !error.isEmpty()] { QCoreApplication::exit(failed ? 1 : exitCode); });
}

} // namespace app
