#pragma once

// Time stamps as users and the operator see them, in the formats of the current locale: the long time
// format (with seconds, without a time zone) and the short date format.

#include <QDateTime>
#include <QString>

namespace core {

QString TimeText(const QDateTime& moment);
QString DateText(const QDateTime& moment);

// Time first, then date: the form the seen tracker stores and reports.
QString Stamp(const QDateTime& moment);

// Date first, then time: the form that opens command-log lines.
QString LogStamp(const QDateTime& moment);

} // namespace core
