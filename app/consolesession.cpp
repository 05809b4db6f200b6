#include "app/consolesession.h"

#include "irc/textcodec.h"

#include <QCoreApplication>
#include <QTimer>
#include <unistd.h>

namespace app {

ConsoleSession::ConsoleSession(const QString& filesDir, QObject* parent)
    : QObject(parent)
    , m_stdout(stdout)
    , m_stderr(stderr)
    , m_sender(m_stdout)
    , m_bot(filesDir, m_sender, m_clock)
    , m_input(STDIN_FILENO, QSocketNotifier::Read)
{
    m_input.setEnabled(false);
    connect(&m_input, &QSocketNotifier::activated, this, &ConsoleSession::ReadInput);
    connect(&m_bot.Log(), &core::CommandLog::LineAppended, this, [this](const QString& line) {
        m_stderr << line << '\n';
        m_stderr.flush();
    });
}

void ConsoleSession::Start()
{
    m_bot.Start();
    m_sender.SetCurrentNick(m_bot.State().BotNick);
    m_user = m_bot.State().OwnerNick;
    m_input.setEnabled(true);
}

void ConsoleSession::ReadInput()
{
    char buffer[4096];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count <= 0) {
        m_input.setEnabled(false);
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
        m_input.setEnabled(false);
        Finish();
    } else if (line.startsWith(QLatin1String("/msg "))) {
        m_bot.OnMessage(m_user, QString(), line.mid(5));
    } else if (line.startsWith(QLatin1String("/as ")) && line.size() > 4) {
        m_user = line.mid(4).trimmed();
    } else if (line.startsWith(QLatin1String("/channel ")) && line.size() > 9) {
        m_channel = line.mid(9).trimmed();
    } else {
        m_bot.OnMessage(m_user, m_channel, line);
    }
}

void ConsoleSession::Finish()
{
    if (m_finishing)
        return;
    m_finishing = true;
    // Let work already queued on the event loop run before the files are written.
    QTimer::singleShot(0, this, [this] {
        const QString error = m_bot.Close();
        if (!error.isEmpty()) {
            m_stderr << error << '\n';
            m_stderr.flush();
        }
        QCoreApplication::exit(error.isEmpty() ? 0 : 1);
    });
}

} // namespace app
