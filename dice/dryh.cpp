#include "dice/dryh.h"

#include <algorithm>
#include <array>
#include <functional>

namespace dice {

namespace {

const QString& PoolName(DryhPool pool)
{
    static const std::array<QString, 3> names { QStringLiteral("Discipline"), QStringLiteral("Madness"),
        QStringLiteral("Exhaustion") };
    return names[static_cast<std::size_t>(pool)];
}

QList<int> Descending(QList<int> faces)
{
    std::sort(faces.begin(), faces.end(), std::greater<int>());
    return faces;
}

} // namespace

DryhRequest ReadDryhPools(const QString& parameter)
{
    static const QString unclear = QStringLiteral(": Please specify the dice pool parameters, namely the "
                                                  "number of white, red and black dice you wish to roll.");
    const QList<ParameterWord> words = SplitParameter(parameter);
    if (words.isEmpty())
        return { {}, unclear };
    // The words after the third are not read.
    std::array<int, 3> counts {};
    for (qsizetype i = 0; i < std::min<qsizetype>(words.size(), 3); ++i) {
        const std::optional<int> count = NumberAt(words, i);
        if (!count)
            return { {}, unclear };
        counts[static_cast<std::size_t>(i)] = *count;
    }
    if (counts[0] < 1 || counts[0] > MaxDryhPool)
        return { {}, QStringLiteral(": Dice number must be more than 0 and less than 101.") };
    if (counts[1] < 0 || counts[1] > MaxDryhPool || counts[2] < 0 || counts[2] > MaxDryhPool)
        return { {},
            QStringLiteral(
                ": Madness and exhaustion dice numbers must be no less than 0 and less than 101.") };
    return { { counts[0], counts[1], counts[2] }, {} };
}

DryhPool DominatingPool(const QList<int>& discipline, const QList<int>& madness, const QList<int>& exhaustion)
{
    const std::array<QList<int>, 3> sorted { Descending(discipline), Descending(madness),
        Descending(exhaustion) };
    std::size_t best = 0;
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        // Only a pool that is strictly higher takes over, so a full tie keeps the earlier pool. A pool whose
        // dice all match another's but has more of them is higher.
        if (!sorted[i].isEmpty()
            && std::lexicographical_compare(
                sorted[best].cbegin(), sorted[best].cend(), sorted[i].cbegin(), sorted[i].cend()))
            best = i;
    }
    return static_cast<DryhPool>(best);
}

QString RollDryh(const DryhPools& pools, FaceSource& faces)
{
    const QList<int> discipline = RollDice(faces, pools.Discipline, 6);
    const QList<int> madness = RollDice(faces, pools.Madness, 6);
    const QList<int> exhaustion = RollDice(faces, pools.Exhaustion, 6);

    QString text = QStringLiteral(": Discipline:(") + JoinFaces(discipline) + u')';
    if (!madness.isEmpty())
        text += QStringLiteral(" Madness:(") + JoinFaces(madness) + u')';
    if (!exhaustion.isEmpty())
        text += QStringLiteral(" Exhaustion:(") + JoinFaces(exhaustion) + u')';

    qsizetype successes = 0;
    for (const QList<int>* pool : { &discipline, &madness, &exhaustion })
        successes += std::count_if(pool->cbegin(), pool->cend(), [](int face) { return face <= 3; });
    text += QStringLiteral(". Degree: ") + QString::number(successes) + QStringLiteral(". ")
        + PoolName(DominatingPool(discipline, madness, exhaustion)) + QStringLiteral(" dominates.");
    return text;
}

} // namespace dice
