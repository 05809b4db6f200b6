#include "dice/shadowrunpools.h"

#include <QStringList>
#include <algorithm>

namespace dice {

namespace {

struct PoolSize {
    int Dice = 0;
    QString Refusal;
};

PoolSize ReadShadowrunPool(const QList<ParameterWord>& words)
{
    const std::optional<int> dice = NumberAt(words, 0);
    if (!dice)
        return { 0, QStringLiteral(", make sure you specified the dice pool size correctly.") };
    if (*dice < 1)
        return { 0, QStringLiteral(", dice pool size must be more than zero.") };
    if (*dice > MaxShadowrunPool)
        return { 0, QStringLiteral(", dice pool size must be less than 101.") };
    return { *dice, {} };
}

bool AsksFull(const QList<ParameterWord>& words, qsizetype from)
{
    for (qsizetype i = from; i < words.size(); ++i) {
        if (IsOptionWord(words, i, { "f", "full" }))
            return true;
    }
    return false;
}

QString GlitchMark(const ShadowrunCount& count)
{
    if (count.CriticalGlitch)
        return QStringLiteral(". Critical glitch!");
    if (count.Glitch)
        return QStringLiteral(". Glitch!");
    return {};
}

QString GlitchNote(const ShadowrunCount& count)
{
    if (count.CriticalGlitch)
        return QStringLiteral(" (Critical glitch!)");
    if (count.Glitch)
        return QStringLiteral(" (Glitch!)");
    return {};
}

QString Number(qsizetype value)
{
    return QString::number(value);
}

PoolReply Refusal(const QString& text)
{
    return { text, true };
}

} // namespace

ShadowrunCount CountShadowrunRoll(const QList<int>& faces)
{
    ShadowrunCount count;
    for (int face : faces) {
        if (face >= 5)
            ++count.Hits;
        else if (face == 1)
            ++count.Ones;
    }
    count.Glitch = !faces.isEmpty() && 2 * count.Ones >= faces.size();
    count.CriticalGlitch = count.Glitch && count.Hits == 0;
    return count;
}

PoolReply ShadowrunTest(const QString& parameter, FaceSource& faces)
{
    const QList<ParameterWord> words = SplitParameter(parameter);
    const PoolSize pool = ReadShadowrunPool(words);
    if (!pool.Refusal.isEmpty())
        return Refusal(pool.Refusal);

    const QList<int> rolled = RollDice(faces, pool.Dice, 6);
    const ShadowrunCount count = CountShadowrunRoll(rolled);
    QString text;
    if (AsksFull(words, 1))
        text += QStringLiteral(", dice: [") + JoinFaces(rolled) + u']';
    text += QStringLiteral(", hits: ") + Number(count.Hits) + GlitchMark(count);
    return { text };
}

PoolReply ShadowrunEdgeTest(const QString& parameter, FaceSource& faces)
{
    const QList<ParameterWord> words = SplitParameter(parameter);
    const PoolSize pool = ReadShadowrunPool(words);
    if (!pool.Refusal.isEmpty())
        return Refusal(pool.Refusal);
    const bool full = AsksFull(words, 1);

    QList<int> rolled = RollDice(faces, pool.Dice, 6);
    const ShadowrunCount first = CountShadowrunRoll(rolled);
    FaceListing listing;
    QString text;
    int successes = 0;
    for (int round = 1;; ++round) {
        const int hits = CountShadowrunRoll(rolled).Hits;
        successes += hits;
        if (full) {
            text += QStringLiteral(", iteration ") + Number(round) + QStringLiteral(", dice: [")
                + listing.Show(rolled) + QStringLiteral("], hits: ") + Number(hits);
        }
        const auto sixes = static_cast<int>(std::count(rolled.cbegin(), rolled.cend(), 6));
        if (sixes == 0 || round > MaxExplosions)
            break;
        rolled = RollDice(faces, sixes, 6);
    }
    text += QStringLiteral(", successes: ") + Number(successes) + GlitchMark(first);
    return { text };
}

PoolReply ShadowrunExtendedTest(const QString& parameter, FaceSource& faces)
{
    const QList<ParameterWord> words = SplitParameter(parameter);
    const PoolSize pool = ReadShadowrunPool(words);
    if (!pool.Refusal.isEmpty())
        return Refusal(pool.Refusal);
    const std::optional<int> threshold = NumberAt(words, 1);
    if (!threshold)
        return Refusal(QStringLiteral(", make sure you specified the threshold correctly."));
    if (*threshold < 1)
        return Refusal(QStringLiteral(", threshold must be more than zero."));
    const bool full = AsksFull(words, 2);

    FaceListing listing;
    QString iterations;
    int rolls = 0;
    int hitsTotal = 0;
    int glitches = 0;
    int firstGlitch = 0;
    int criticalGlitches = 0;
    int foldedFrom = 0; // the first roll not listed once the listing is spent
    int foldedHits = 0;
    bool success = false;
    for (int dice = pool.Dice; dice >= 1 && !success; --dice) {
        ++rolls;
        const QList<int> rolled = RollDice(faces, dice, 6);
        const ShadowrunCount count = CountShadowrunRoll(rolled);
        hitsTotal += count.Hits;
        success = hitsTotal >= *threshold;
        if (count.Glitch && ++glitches == 1)
            firstGlitch = rolls;
        if (count.CriticalGlitch)
            ++criticalGlitches;
        if (!full)
            continue;
        if (foldedFrom == 0 && listing.Fits(rolled.size())) {
            iterations += QStringLiteral(", iteration ") + Number(rolls) + QStringLiteral(", dice: [")
                + listing.Show(rolled) + QStringLiteral("], hits: ") + Number(count.Hits) + GlitchNote(count);
        } else {
            if (foldedFrom == 0)
                foldedFrom = rolls;
            foldedHits += count.Hits;
        }
    }
    if (foldedFrom == rolls)
        iterations += QStringLiteral(", iteration ") + Number(rolls) + QStringLiteral(", hits: ")
            + Number(foldedHits);
    else if (foldedFrom > 0)
        iterations += QStringLiteral(", iterations ") + Number(foldedFrom) + QStringLiteral(" to ")
            + Number(rolls) + QStringLiteral(", hits: ") + Number(foldedHits);

    QString text = iterations + QStringLiteral(", glitches: ") + Number(glitches);
    if (glitches > 0)
        text += QStringLiteral(", first on roll ") + Number(firstGlitch);
    text += QStringLiteral(", critical glitches: ") + Number(criticalGlitches);
    text += success ? QStringLiteral(", success in ") : QStringLiteral(", failure after ");
    text += Number(rolls) + QStringLiteral(" dice pool rolls and ") + Number(hitsTotal)
        + QStringLiteral(" hits total.");
    return { text };
}

QList<int> RollShadowrun3Die(FaceSource& faces)
{
    QList<int> chain { faces.Roll(6) };
    while (chain.last() == 6 && chain.size() <= MaxExplosions)
        chain.append(faces.Roll(6));
    return chain;
}

PoolReply Shadowrun3Test(const QString& parameter, FaceSource& faces)
{
    const QList<ParameterWord> words = SplitParameter(parameter);
    if (words.isEmpty())
        return Refusal(QStringLiteral(": Please make sure you've specified the dice pool size."));
    const std::optional<int> dice = NumberAt(words, 0);
    if (!dice)
        return Refusal(QStringLiteral(": Please make sure the dice pool specified is an integer."));
    if (*dice > MaxShadowrun3Pool)
        return Refusal(QStringLiteral(": Please make sure the dice pool size specified is no more than 50."));
    if (*dice < 1)
        return Refusal(QStringLiteral(": Please make sure you've specified the dice pool size."));

    std::optional<int> target;
    bool full = false;
    qsizetype i = 1;
    while (i < words.size()) {
        if (IsOptionWord(words, i, { "vs" })) {
            target = NumberAt(words, i + 1);
            if (!target)
                return Refusal(
                    QStringLiteral(": Please make sure the target number specified is an integer."));
            if (*target < 2)
                return Refusal(QStringLiteral(": Please make sure the target number is no less than two."));
            i += 2;
        } else if (IsOptionWord(words, i, { "full", "f" })) {
            full = true;
            ++i;
        } else {
            break;
        }
    }
    const QString comment = i < words.size() ? parameter.mid(words[i].Start) : QString();

    QStringList shown;
    int successes = 0;
    int highest = 0;
    bool allOnes = true;
    for (int d = 0; d < *dice; ++d) {
        const QList<int> chain = RollShadowrun3Die(faces);
        int total = 0;
        QStringList parts;
        for (int face : chain) {
            total += face;
            parts.append(Number(face));
        }
        shown.append(full ? parts.join(u'+') : Number(total));
        highest = std::max(highest, total);
        allOnes = allOnes && total == 1;
        if (target && total >= *target)
            ++successes;
    }

    QString text = comment.isEmpty() ? QString() : QStringLiteral(" (") + comment + u')';
    text += QStringLiteral(" rolls, we got: ");
    if (full || !target)
        text += u'[' + shown.join(u',') + QStringLiteral("]. ");
    if (allOnes)
        text += QStringLiteral("Disastrous result!");
    else if (target)
        text += Number(successes)
            + (successes == 1 ? QStringLiteral(" success.") : QStringLiteral(" successes."));
    else
        text += QStringLiteral("Highest: ") + Number(highest) + u'.';
    return { text };
}

} // namespace dice
