#pragma once

// The command log as the console and the headless bot print it for the operator. On a terminal (or when
// tessarin.ini asks) each line starts with date, time and level; on the systemd journal it starts with the
// journal's priority mark ("<4>"), so that the journal shows levels and stamps the lines itself; elsewhere
// (a pipe, a file) lines are printed as they are. Lines less serious than the chosen level are left out.

#include "core/extrasettings.h"

#include <QDateTime>
#include <QTextStream>
#include <cstdio>

namespace app {

enum class LineStyle { Plain, Stamped, Journal };

// How lines are printed on a stream that is a terminal, the journal, or neither.
LineStyle ChooseLineStyle(core::LogStamps stamps, bool terminal, bool journal);

// One line as printed, without its line end.
QString StyledLine(LineStyle style, core::LogLevel level, const QString& text, const QDateTime& now);

// Whether the stream with the device and inode numbers given is the journal's, as systemd names it in
// JOURNAL_STREAM ("DEVICE:INODE"); a program started from a service inherits the variable with other streams.
bool IsJournalStream(const QByteArray& journalStream, quint64 device, quint64 inode);

class LogOutput {
public:
    // Requires: stream outlives the output.
    explicit LogOutput(FILE* stream);

    void Configure(const core::LogSettings& settings);
    void Write(const QString& text, core::LogLevel level);

private:
    QTextStream m_stream;
    bool m_terminal;
    bool m_journal;
    LineStyle m_style = LineStyle::Plain;
    core::LogLevel m_threshold = core::LogLevel::Info;
};

} // namespace app
