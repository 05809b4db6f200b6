#include "core/stamps.h"

#include <QLocale>

namespace core {

namespace {

// The locale's long time format names the time zone; the stamps never did, so the zone is left out.
QString LongTimeFormatWithoutZone(const QLocale& locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        result.append(c);
    }
    return result.simplified();
}

} // namespace

QString TimeText(const QDateTime& moment)
{
    const QLocale locale;
    return locale.toString(moment.time(), LongTimeFormatWithoutZone(locale));
}

QString DateText(const QDateTime& moment)
{
    return QLocale().toString(moment.date(), QLocale::ShortFormat);
}

QString Stamp(const QDateTime& moment)
{
    return TimeText(moment) + u' ' + DateText(moment);
}

QString LogStamp(const QDateTime& moment)
{
    return DateText(moment) + u' ' + TimeText(moment);
}

} // namespace core
