#include "core/commandlog.h"

#include <algorithm>

namespace core {

namespace {

bool IsControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f);
}

QString ShowControls(const QString& text)
{
    // Nearly every line has none: it is kept as it is, without a copy.
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return IsControl(c.unicode()); }))
        return text;
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (IsControl(c.unicode()))
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

} // namespace

void CommandLog::Append(const QString& line, LogLevel level)
{
    const QString shown = ShowControls(line);
    if (m_lines.size() >= KeptLines)
        m_lines.removeFirst();
    m_lines.append(shown);
    Q_EMIT LineAppended(shown, level);
}

} // namespace core
