#include "core/commandlog.h"

namespace core {

void CommandLog::Append(const QString& line)
{
    if (m_lines.size() >= KeptLines)
        m_lines.removeFirst();
    m_lines.append(line);
    Q_EMIT LineAppended(line);
}

} // namespace core
