#include "core/parseinteger.h"

namespace core {

std::optional<int> ParseInteger(const QString& text)
{
    const qsizetype digitsFrom = (text.startsWith(u'+') || text.startsWith(u'-')) ? 1 : 0;
    if (digitsFrom == text.size())
        return std::nullopt;
    for (qsizetype i = digitsFrom; i < text.size(); ++i) {
        if (text.at(i) < u'0' || text.at(i) > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace core
