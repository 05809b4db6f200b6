#include "core/textcap.h"

namespace core {

QString CapChars(const QString& text, qsizetype maxChars)
{
    if (text.size() <= maxChars)
        return text;
    qsizetype units = 0;
    for (qsizetype chars = 0; chars < maxChars && units < text.size(); ++chars) {
        const bool pair = text.at(units).isHighSurrogate() && units + 1 < text.size()
            && text.at(units + 1).isLowSurrogate();
        units += pair ? 2 : 1;
    }
    return text.left(units);
}

} // namespace core
