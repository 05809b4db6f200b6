// Feeds arbitrary bytes to the roller as a roll text: every input must end in a result or one of the
// roller's codes, without a crash, a hang or a sanitizer report.

#include "dice/roller.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const dice::RollResult roll = dice::EvaluateRoll(text);
    if (roll.Error < 0 || roll.Error > 15)
        std::abort();
    return 0;
}
