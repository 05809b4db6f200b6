#include "dice/rolltext.h"

#include <QLocale>
#include <cmath>

namespace dice {

namespace {

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

std::optional<double> ParseConstant(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < text.size() && IsDigit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == u'.') {
        ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        qsizetype exponentDigits = 0;
        while (i < text.size() && IsDigit(text[i]))
            ++i, ++exponentDigits;
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    // The syntax is checked above, so a failed conversion can only be an overflow (infinity, which the
    // caller rejects) or an underflow (zero).
    bool ok = false;
    return QLocale::c().toDouble(text.mid(start), &ok);
}

QString FormatReal(double value)
{
    value += 0.0; // shows negative zero as "0"
    if (value == std::trunc(value))
        return QString::number(value, 'f', 0);
    return QString::number(value, 'f', 2);
}

QString LeftWhole(const QString& text, qsizetype maxUnits)
{
    if (text.size() <= maxUnits)
        return text;
    return text.left(maxUnits > 0 && text.at(maxUnits - 1).isHighSurrogate() ? maxUnits - 1 : maxUnits);
}

QString StripSpaces(const QString& text)
{
    QString result = text;
    result.remove(u' ');
    return result;
}

} // namespace dice
