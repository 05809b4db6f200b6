#include "common/asciicase.h"

namespace common {

QString AsciiLower(QStringView text)
{
    QString lower = text.toString();
    for (QChar& c : lower) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return lower;
}

} // namespace common
