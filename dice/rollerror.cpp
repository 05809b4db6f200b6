#include "dice/rollerror.h"

#include <array>

namespace dice {

QString RollErrorMessage(int code)
{
    static const std::array<const char*, 16> messages {
        "",
        "reroll number for one of the dice rolls isn't an integer.",
        "dice side number for one of the dice rolls isn't an integer.",
        "reroll number too low.",
        "reroll number too high.",
        "dice side number too low.",
        "dice side number too high.",
        "no 'd' in one of the dice parameters.",
        "more opening than closing parentheses.  Or the other way round.",
        "dice pool reroll number less than one.",
        "dice pool reroll number over twenty.",
        "short and full roll options are mutually exclusive.",
        "error: make sure you specify parameters correctly.",
        "no target number specified after tn.",
        "target number specified is too low.",
        "the number of dice dropped is higher or equal to the number of dice rolled.",
    };
    if (code < 1 || code >= static_cast<int>(messages.size()))
        return {};
    return QString::fromLatin1(messages[static_cast<std::size_t>(code)]);
}

} // namespace dice
