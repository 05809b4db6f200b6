#include "common/parseinteger.h"

namespace common {

std::optional<int> ParseInteger(QStringView text)
{
    qsizetype i = (text.startsWith(u'+') || text.startsWith(u'-')) ? 1 : 0;
    if (i == text.size())
        return std::nullopt;
    const bool negative = text.startsWith(u'-');
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return std::nullopt;
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > 2147483648LL)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > 2147483647LL)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace common
