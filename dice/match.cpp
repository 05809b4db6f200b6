#include "dice/match.h"

#include <QMap>
#include <QStringList>
#include <algorithm>

namespace dice {

QList<MatchSet> FindMatches(const QList<int>& faces)
{
    QMap<int, int> counts;
    for (int face : faces)
        ++counts[face];
    QList<MatchSet> sets;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() >= 2)
            sets.append({ it.value(), it.key() });
    }
    std::sort(sets.begin(), sets.end(), [](const MatchSet& a, const MatchSet& b) {
        return a.Count != b.Count ? a.Count > b.Count : a.Face > b.Face;
    });
    return sets;
}

PoolReply MatchRoll(const QString& parameter, FaceSource& faces)
{
    const std::optional<int> count = NumberAt(SplitParameter(parameter), 0);
    if (!count || *count < 1 || *count > MaxMatchDice)
        return { QStringLiteral(", please make sure you specify the number of rolls correctly."), true };

    const QList<int> rolled = RollDice(faces, *count, 10);
    const QString text = QStringLiteral(": [") + JoinFaces(rolled) + u']';
    const QList<MatchSet> sets = FindMatches(rolled);
    if (sets.isEmpty())
        return { text + QStringLiteral(", no matches!") };
    QStringList shown;
    for (const MatchSet& set : sets)
        shown.append(QString::number(set.Count) + u'x' + QString::number(set.Face));
    return { text + QStringLiteral(", matches: ") + shown.join(QStringLiteral(", ")) };
}

} // namespace dice
