#include "dice/eclipsephase.h"

#include <cstdlib>

namespace dice {

namespace {

constexpr int CriticalMarginOfNote = 30;

bool Succeeds(int roll, int target)
{
    return roll == 0 || (roll != 99 && roll <= target);
}

int Flipped(int roll)
{
    return (roll % 10) * 10 + roll / 10;
}

QString TwoDigits(int roll)
{
    return QStringLiteral("%1").arg(roll, 2, 10, QChar(u'0'));
}

QString SideText(int roll, int target)
{
    return TwoDigits(roll) + QStringLiteral(" vs ") + QString::number(target) + QStringLiteral(". ")
        + EclipseVerdict(roll, target);
}

std::optional<int> ReadTarget(const QList<ParameterWord>& words, qsizetype index)
{
    const std::optional<int> target = NumberAt(words, index);
    if (!target || *target < -MaxEclipseTarget || *target > MaxEclipseTarget)
        return std::nullopt;
    return target;
}

// A percentile die read as 00 to 99: the face 100 shows 00.
int RollPercentile(FaceSource& faces)
{
    return faces.Roll(100) % 100;
}

} // namespace

EclipseJudgement JudgeEclipseRoll(int roll, int target)
{
    EclipseJudgement judgement;
    judgement.Success = Succeeds(roll, target);
    judgement.Critical = roll % 11 == 0;
    judgement.Automatic = (roll == 0 && target < 0) || (roll == 99 && target >= 99);
    judgement.Margin = std::abs(target - roll);
    return judgement;
}

QString EclipseVerdict(int roll, int target)
{
    const EclipseJudgement j = JudgeEclipseRoll(roll, target);
    if (j.Automatic)
        return j.Success ? QStringLiteral("Critical success!") : QStringLiteral("Critical failure!");
    QString text;
    if (j.Success) {
        text = j.Critical                      ? QStringLiteral("Critical success with MoS ")
            : j.Margin >= CriticalMarginOfNote ? QStringLiteral("Excellent success with MoS ")
                                               : QStringLiteral("Success with MoS ");
    } else {
        text = j.Critical                      ? QStringLiteral("Critical failure with MoF ")
            : j.Margin >= CriticalMarginOfNote ? QStringLiteral("Severe failure with MoF ")
                                               : QStringLiteral("Failure with MoF ");
    }
    text += QString::number(j.Margin) + u'.';
    if (!j.Success && Succeeds(Flipped(roll), target))
        text += QStringLiteral(" Could be flip-flopped with Moxie.");
    return text;
}

OpposedOutcome JudgeOpposed(int rollA, int targetA, int rollB, int targetB)
{
    const EclipseJudgement a = JudgeEclipseRoll(rollA, targetA);
    const EclipseJudgement b = JudgeEclipseRoll(rollB, targetB);
    if (a.Success != b.Success)
        return a.Success ? OpposedOutcome::SideA : OpposedOutcome::SideB;
    if (!a.Success)
        return OpposedOutcome::Stalemate;
    if (a.Critical != b.Critical)
        return a.Critical ? OpposedOutcome::SideA : OpposedOutcome::SideB;
    if (rollA == rollB)
        return OpposedOutcome::Stalemate;
    return rollA > rollB ? OpposedOutcome::SideA : OpposedOutcome::SideB;
}

PoolReply EclipsePhaseTest(const QString& parameter, FaceSource& faces)
{
    const QList<ParameterWord> words = SplitParameter(parameter);
    const QString refusal = QStringLiteral(", please make sure the target number is a whole number from -")
        + QString::number(MaxEclipseTarget) + QStringLiteral(" to ") + QString::number(MaxEclipseTarget)
        + u'.';
    const std::optional<int> target = ReadTarget(words, 0);
    if (!target)
        return { refusal, true };
    std::optional<int> opposing;
    qsizetype next = 1;
    if (IsOptionWord(words, 1, { "vs" })) {
        opposing = ReadTarget(words, 2);
        if (!opposing)
            return { refusal, true };
        next = 3;
    }
    const QString comment = next < words.size() ? parameter.mid(words[next].Start) : QString();
    QString text = comment.isEmpty() ? QString() : QStringLiteral(", ") + comment;
    text += QStringLiteral(": ");

    const int roll = RollPercentile(faces);
    if (!opposing)
        return { text + SideText(roll, *target) };

    const int opposingRoll = RollPercentile(faces);
    text += QStringLiteral("side A: ") + SideText(roll, *target) + QStringLiteral(" Side B: ")
        + SideText(opposingRoll, *opposing) + u' ';
    switch (JudgeOpposed(roll, *target, opposingRoll, *opposing)) {
    case OpposedOutcome::SideA:
        return { text + QStringLiteral("Side A wins.") };
    case OpposedOutcome::SideB:
        return { text + QStringLiteral("Side B wins.") };
    case OpposedOutcome::Stalemate:
        break;
    }
    return { text + QStringLiteral("Stalemate.") };
}

} // namespace dice
