#include "dice/exalted.h"

namespace dice {

namespace {

PoolReply Refusal(const char* text)
{
    return { QString::fromUtf8(text), true };
}

bool InRange(const std::optional<int>& value, int low, int high)
{
    return value && *value >= low && *value <= high;
}

QString RollText(const QString& listed, const ExaltedCount& count)
{
    QString text = u'[' + listed;
    if (count.Botch)
        return text + QStringLiteral("]. Botch!");
    return text + QStringLiteral("]. Successes total: ") + QString::number(count.Successes);
}

} // namespace

ExaltedCount CountExaltedRoll(const QList<int>& faces, int target, bool damage)
{
    ExaltedCount count;
    bool anyOne = false;
    for (int face : faces) {
        if (face >= target)
            count.Successes += (face == 10 && !damage) ? 2 : 1;
        anyOne = anyOne || face == 1;
    }
    // Exalted's damage rolls never botch: no success there only means no damage.
    count.Botch = !damage && count.Successes == 0 && anyOne;
    return count;
}

PoolReply ExaltedRoll(const QString& parameter, FaceSource& faces)
{
    const QList<ParameterWord> words = SplitParameter(parameter);
    const std::optional<int> pool = NumberAt(words, 0);
    if (!InRange(pool, 1, MaxExaltedPool))
        return Refusal(
            "please make sure the dice pool size is specified correctly. Must be a number between 1 "
            "and 100.");

    int target = 7;
    int flurry = 0;
    int multi = 0;
    bool damage = false;
    for (qsizetype i = 1; i < words.size(); ++i) {
        if (IsOptionWord(words, i, { "vs" })) {
            const std::optional<int> value = NumberAt(words, ++i);
            if (!InRange(value, 2, 10))
                return Refusal(
                    "please make sure your target number is between 2 and 10. We are rolling d10s, "
                    "after all.");
            target = *value;
        } else if (IsOptionWord(words, i, { "flurry" })) {
            const std::optional<int> value = NumberAt(words, ++i);
            if (!InRange(value, 1, MaxExaltedActions))
                return Refusal(
                    "please make sure the number of actions in the flurry is no less than 1 and no "
                    "more than 20.");
            flurry = *value;
        } else if (IsOptionWord(words, i, { "multi" })) {
            const std::optional<int> value = NumberAt(words, ++i);
            if (!InRange(value, 1, MaxExaltedActions))
                return Refusal(
                    "please make sure the number of actions in the magical flurry is no less than 1 "
                    "and no more than 20.");
            multi = *value;
        } else if (IsOptionWord(words, i, { "damage" })) {
            damage = true;
        }
    }
    if (flurry > 0 && multi > 0)
        return Refusal(
            "A roll can't be a flurry pool and a magical flurry at the same time. Make up your mind "
            "already!");
    if (damage && (flurry > 0 || multi > 0))
        return Refusal("A damage roll can't be a constant pool or a flurry. Make up your mind already!");
    // The last action of a flurry of X carries the penalty X + X - 1.
    if (flurry > 0 && 2 * flurry - 1 > *pool)
        return Refusal(
            "You can't roll a flurry with a maximal penalty greater than the number of the dice in "
            "your dicepool was to begin with.");

    if (flurry == 0 && multi == 0) {
        const QList<int> rolled = RollDice(faces, *pool, 10);
        return { RollText(JoinFaces(rolled), CountExaltedRoll(rolled, target, damage)) };
    }

    const int actions = flurry > 0 ? flurry : multi;
    FaceListing listing;
    QString text;
    int total = 0;
    for (int k = 1; k <= actions; ++k) {
        const int dice = flurry > 0 ? *pool - (flurry + k - 1) : *pool;
        const QList<int> rolled = RollDice(faces, dice, 10);
        const ExaltedCount count = CountExaltedRoll(rolled, target, false);
        total += count.Successes;
        text += QStringLiteral("action ") + QString::number(k) + QStringLiteral(": ")
            + RollText(listing.Show(rolled), count) + QStringLiteral("; ");
    }
    return { text + QStringLiteral("Total successes: ") + QString::number(total) };
}

} // namespace dice
