#include "app/consolesession.h"

#include "core/identity.h"
#include "irc/textcodec.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <unistd.h>

namespace app {

bool ConsoleRoster::Arrive(const QString& channel, const QString& nick)
{
    QStringList& nicks = m_nicks[irc::FoldName(channel)];
    if (std::any_of(
            nicks.cbegin(), nicks.cend(), [&nick](const QString& on) { return irc::SameName(on, nick); }))
        return false;
    nicks.append(nick);
    m_users.Add(nick);
    return true;
}

void ConsoleRoster::Rename(const QString& oldNick, const QString& newNick)
{
    if (const irc::UserPtr user = m_users.Find(oldNick))
        m_users.Rename(*user, newNick);
    for (QStringList& nicks : m_nicks) {
        for (QString& nick : nicks) {
            if (irc::SameName(nick, oldNick))
                nick = newNick;
        }
    }
}

ConsoleSession::ConsoleSession(RunOptions options, QObject* parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_stdout(stdout)
    , m_errors(stderr)
    , m_sender(m_stdout)
    , m_bot(m_options.FilesDir, m_sender, m_roster, m_clock)
    , m_input(STDIN_FILENO, QSocketNotifier::Read)
{
    m_input.setEnabled(false);
    connect(&m_input, &QSocketNotifier::activated, this, &ConsoleSession::ReadInput);
    connect(&m_stopSignals, &SignalPipe::Received, this, &ConsoleSession::Finish);
    connect(&m_bot.Log(), &core::CommandLog::LineAppended, this,
        [this](const QString& line, core::LogLevel level) { m_errors.Write(line, level); });
}

std::optional<int> ConsoleSession::Start()
{
    if (const QString problem = m_guard.Take(m_options.FilesDir, m_options.AllowRoot); !problem.isEmpty()) {
        m_errors.Write(problem, core::LogLevel::Error);
        return 2;
    }
    // Lines typed here come from the operator: while the settings name no owner, the console's user is.
    m_bot.Start([this](core::BotState& state) {
        ApplyIniOptions(m_options, state.Extra);
        if (!core::OwnerIsSet(state))
            state.Extra.Access.LocalOwnerNick = core::DefaultOwnerNick;
    });
    m_errors.Configure(m_bot.State().Extra.Log);
    m_sender.SetCurrentNick(m_bot.State().BotNick);
    m_user = core::OwnerNickIsSet(m_bot.State()) ? m_bot.State().OwnerNick : core::DefaultOwnerNick;
    // Without the handlers the signals end the program as they always did, unsaved.
    m_stopSignals.Catch({ SIGINT, SIGTERM, SIGHUP });
    m_input.setEnabled(true);
    return std::nullopt;
}

void ConsoleSession::ReadInput()
{
    char buffer[4096];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count <= 0) {
        if (!m_pending.isEmpty())
            HandleLine(irc::DecodeText(std::exchange(m_pending, {})));
        Finish();
        return;
    }
    m_pending.append(buffer, count);
    qsizetype end;
    while (!m_finishing && (end = m_pending.indexOf('\n')) >= 0) {
        QByteArray line = m_pending.left(end);
        m_pending.remove(0, end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        HandleLine(irc::DecodeText(line));
    }
}

void ConsoleSession::HandleLine(const QString& line)
{
    if (m_finishing)
        return;
    if (line == QLatin1String("/quit")) {
        Finish();
    } else if (line.startsWith(QLatin1String("/msg "))) {
        m_bot.OnMessage(m_user, QString(), line.mid(5));
    } else if (line.startsWith(QLatin1String("/as ")) && line.size() > 4) {
        m_user = line.mid(4).trimmed();
    } else if (line.startsWith(QLatin1String("/channel ")) && line.size() > 9) {
        m_channel = line.mid(9).trimmed();
    } else if (line.startsWith(QLatin1String("/nick ")) && line.size() > 6) {
        const QString nick = line.mid(6).trimmed();
        m_roster.Rename(m_user, nick);
        m_bot.OnNickChange(m_user, nick);
        m_user = nick;
    } else {
        if (m_roster.Arrive(m_channel, m_user))
            m_bot.OnChannelUpdate(m_channel, core::ChannelEvent::Joined, m_user);
        m_bot.OnMessage(m_user, m_channel, line);
    }
}

void ConsoleSession::Finish()
{
    if (m_finishing)
        return;
    m_finishing = true;
    m_input.setEnabled(false);
    // A countdown or a replay under way is let finish before the files are written.
    if (m_bot.OutputUnderWay())
        connect(&m_bot, &commands::Bot::OutputFinished, this, &ConsoleSession::CloseAndQuit);
    else
        QTimer::singleShot(0, this, &ConsoleSession::CloseAndQuit);
}

void ConsoleSession::CloseAndQuit()
{
    const QString error = m_bot.Close();
    if (!error.isEmpty())
        m_errors.Write(error, core::LogLevel::Error);
    QCoreApplication::exit(error.isEmpty() ? 0 : 1);
}

} // namespace app
