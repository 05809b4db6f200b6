// Feeds arbitrary bytes to the dice notation: every input must be read, rolled and shown, or refused with
// a reason, without a crash, a hang or a sanitizer report, and a shown answer must keep to its budget.

#include "dice/notationformat.h"
#include "dice/notationparser.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Faces that cycle through every value, so that explosions and rerolls happen but always end.
class CyclingFaces final : public dice::FaceSource {
public:
    int Roll(int sides) override { return static_cast<int>(m_next++ % static_cast<unsigned>(sides)) + 1; }

private:
    unsigned m_next = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto parsed = dice::ParseNotation(text, size % 2 == 0);
    if (const auto* error = std::get_if<dice::NotationError>(&parsed)) {
        if (error->Why.isEmpty())
            std::abort();
        return 0;
    }
    const dice::RollText& roll = std::get<dice::RollText>(parsed);
    CyclingFaces faces;
    const auto rolled = dice::RollNotation(roll, faces);
    if (std::holds_alternative<dice::NotationError>(rolled))
        return 0;
    constexpr qsizetype budget = 400;
    const std::optional<QString> shown
        = dice::FormatNotation(roll, std::get<std::vector<dice::RollOutcome>>(rolled), budget);
    if (shown && dice::Utf8Bytes(*shown) > budget)
        std::abort();
    return 0;
}
