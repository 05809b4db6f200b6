#include "app/logoutput.h"

#include <sys/stat.h>
#include <unistd.h>

namespace app {

namespace {

// The priorities of sd-daemon(3): LOG_ERR, LOG_WARNING and LOG_INFO.
QString JournalMark(core::LogLevel level)
{
    switch (level) {
    case core::LogLevel::Error:
        return QStringLiteral("<3>");
    case core::LogLevel::Warning:
        return QStringLiteral("<4>");
    case core::LogLevel::Info:
        break;
    }
    return QStringLiteral("<6>");
}

QString LevelWord(core::LogLevel level)
{
    switch (level) {
    case core::LogLevel::Error:
        return QStringLiteral("error");
    case core::LogLevel::Warning:
        return QStringLiteral("warning");
    case core::LogLevel::Info:
        break;
    }
    return QStringLiteral("info");
}

bool StreamIsJournal(FILE* stream)
{
    struct stat status = {};
    if (::fstat(::fileno(stream), &status) != 0)
        return false;
    return IsJournalStream(qgetenv("JOURNAL_STREAM"), status.st_dev, status.st_ino);
}

} // namespace

LineStyle ChooseLineStyle(core::LogStamps stamps, bool terminal, bool journal)
{
    if (journal)
        return LineStyle::Journal;
    const bool stamped = stamps == core::LogStamps::Yes || (stamps == core::LogStamps::Auto && terminal);
    return stamped ? LineStyle::Stamped : LineStyle::Plain;
}

QString StyledLine(LineStyle style, core::LogLevel level, const QString& text, const QDateTime& now)
{
    switch (style) {
    case LineStyle::Journal:
        return JournalMark(level) + text;
    case LineStyle::Stamped:
        return now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + LevelWord(level) + QStringLiteral(": ")
            + text;
    case LineStyle::Plain:
        break;
    }
    return text;
}

bool IsJournalStream(const QByteArray& journalStream, quint64 device, quint64 inode)
{
    const QList<QByteArray> parts = journalStream.split(':');
    if (parts.size() != 2)
        return false;
    bool deviceOk = false;
    bool inodeOk = false;
    const quint64 streamDevice = parts[0].toULongLong(&deviceOk);
    const quint64 streamInode = parts[1].toULongLong(&inodeOk);
    return deviceOk && inodeOk && streamDevice == device && streamInode == inode;
}

LogOutput::LogOutput(FILE* stream)
    : m_stream(stream)
    , m_terminal(::isatty(::fileno(stream)) == 1)
    , m_journal(StreamIsJournal(stream))
{
    Configure({});
}

void LogOutput::Configure(const core::LogSettings& settings)
{
    m_style = ChooseLineStyle(settings.Stamps, m_terminal, m_journal);
    m_threshold = settings.Level;
}

void LogOutput::Write(const QString& text, core::LogLevel level)
{
    // The levels run from the most serious up, so a higher one is less serious.
    if (level > m_threshold)
        return;
    m_stream << StyledLine(m_style, level, text, QDateTime::currentDateTime()) << '\n';
    m_stream.flush();
}

} // namespace app
