#pragma once

// Lets GoogleTest print Qt strings and lists in failure messages.

#include <QString>
#include <QStringList>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << "{\n";
    for (const QString& item : list)
        *os << "  \"" << item.toStdString() << "\"\n";
    *os << '}';
}
QT_END_NAMESPACE
