#include "dice/notation.h"

namespace dice {

bool ComparePoint::Matches(int face) const
{
    switch (How) {
    case Comparison::Equal:
        return face == Value;
    case Comparison::Greater:
        return face > Value;
    case Comparison::GreaterEqual:
        return face >= Value;
    case Comparison::Less:
        return face < Value;
    case Comparison::LessEqual:
        return face <= Value;
    }
    return false;
}

bool ComparePoint::CoversAll(int lowest, int highest) const
{
    switch (How) {
    case Comparison::Equal:
        return lowest == Value && highest == Value;
    case Comparison::Greater:
        return lowest > Value;
    case Comparison::GreaterEqual:
        return lowest >= Value;
    case Comparison::Less:
        return highest < Value;
    case Comparison::LessEqual:
        return highest <= Value;
    }
    return false;
}

QString NotationError::Message() const
{
    if (Word.isEmpty())
        return Why;
    const QString place = At.isEmpty() ? QStringLiteral("at its end") : QStringLiteral("at \"") + At + u'"';
    return QStringLiteral("I can't read \"") + Word + QStringLiteral("\" ") + place + QStringLiteral(": ")
        + Why;
}

} // namespace dice
