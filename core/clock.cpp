#include "core/clock.h"

#include "core/stamps.h"

namespace core {

void Clock::Refresh() const
{
    const qint64 second = SecondsSinceEpoch();
    if (second == m_second)
        return;
    const QDateTime now = Now();
    m_second = second;
    m_stamp = Stamp(now);
    m_logStamp = LogStamp(now);
}

QString Clock::StampNow() const
{
    Refresh();
    return m_stamp;
}

QString Clock::LogStampNow() const
{
    Refresh();
    return m_logStamp;
}

} // namespace core
