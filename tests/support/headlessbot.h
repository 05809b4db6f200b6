#pragma once

// The program in headless mode as a process of its own, for the fault tests: its command log (standard
// output) is read line by line as it comes, with the time each line arrived, so that tests can wait for a
// line and check the order and timing of what the bot did.

#include "core/botstate.h"
#include "core/settingsfiles.h"
#include "support/waitfor.h"

#include <QFile>
#include <QProcess>
#include <csignal>

namespace testing_support {

// settings.conf as the bot writes it, with the reconnect interval and attempts given.
inline QByteArray SettingsFile(int reconnectInterval, int reconnectAttempts)
{
    core::BotState state;
    state.ReconnectInterval = reconnectInterval;
    state.ReconnectAttempts = reconnectAttempts;
    return (core::SettingsFileLines(state).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

class HeadlessBot {
public:
    HeadlessBot()
    {
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { Read(); });
    }

    ~HeadlessBot()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // Starts `tessarin --headless arguments...`; with a wrapper, the wrapper's arguments come first and
    // it is expected to exec the program (whose path and arguments it gets last).
    bool Start(const QStringList& arguments, const QStringList& wrapper = {})
    {
        QStringList command
            = wrapper + QStringList { QStringLiteral(TESSARIN_BINARY), "--headless" } + arguments;
        const QString program = command.takeFirst();
        m_process.start(program, command);
        return m_process.waitForStarted(10000);
    }

    // Standard input from the file at path (a terminal, say) instead of none; before Start.
    void SetInput(const QString& path) { m_process.setStandardInputFile(path); }

    qint64 Pid() const { return m_process.processId(); }
    bool Running() const { return m_process.state() == QProcess::Running; }

    // The command log so far.
    QStringList Lines()
    {
        Read();
        return m_lines;
    }

    bool WaitForLine(const QString& line, int count = 1, int timeoutMs = 10000)
    {
        return WaitFor([&] { return Lines().count(line) >= count; }, timeoutMs);
    }

    // The first line (from index from on) that starts with text, once it has come.
    std::optional<QString> WaitForLineStarting(const QString& text, int timeoutMs = 10000, qsizetype from = 0)
    {
        std::optional<QString> found;
        WaitFor(
            [&] {
                const QStringList lines = Lines();
                for (qsizetype i = from; i < lines.size(); ++i) {
                    if (lines.at(i).startsWith(text)) {
                        found = lines.at(i);
                        return true;
                    }
                }
                return false;
            },
            timeoutMs);
        return found;
    }

    // Sends the signal (none: waits for the end) and returns the exit code, -1 for a crash or a hang.
    int Finish(int signal = SIGTERM, int timeoutMs = 15000)
    {
        if (signal != 0 && Running())
            ::kill(static_cast<pid_t>(m_process.processId()), signal);
        // The event loop runs meanwhile, so that servers of the test's own go on answering the bot.
        if (!WaitFor([this] { return m_process.state() == QProcess::NotRunning; }, timeoutMs)) {
            m_process.kill();
            m_process.waitForFinished(5000);
            return -1;
        }
        Read();
        m_errors += QString::fromUtf8(m_process.readAllStandardError());
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

    // Standard error, once finished.
    const QString& Errors() const { return m_errors; }

private:
    void Read()
    {
        m_pending += m_process.readAllStandardOutput();
        qsizetype end;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            m_lines.append(QString::fromUtf8(m_pending.left(end)));
            m_pending.remove(0, end + 1);
        }
    }

    QProcess m_process;
    QByteArray m_pending;
    QStringList m_lines;
    QString m_errors;
};

} // namespace testing_support
