#pragma once

// The operator's record of commands and events. Lines are kept in memory (the most recent ones) and
// announced as they arrive, so the main window, the console and the headless runner can each show them.

#include <QObject>
#include <QStringList>

namespace core {

// How serious a command-log line is, the most serious first; the console and the headless bot print the
// level and may leave out the less serious lines.
enum class LogLevel { Error, Warning, Info };

class CommandLog : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype KeptLines = 5000;

    // Keeps and announces line with every control character (C0, DEL and C1) written as "\x" and two
    // hex digits, so that a user's NUL or colour codes neither cut nor colour the operator's log, standard
    // output or journal. Only the log shows them so: replies and files keep the text as it is.
    void Append(const QString& line, LogLevel level = LogLevel::Info);
    const QStringList& Lines() const { return m_lines; }

Q_SIGNALS:
    void LineAppended(const QString& line, core::LogLevel level);

private:
    QStringList m_lines;
};

} // namespace core
