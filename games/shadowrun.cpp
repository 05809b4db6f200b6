#include "games/shadowrun.h"

#include "common/asciicase.h"
#include "common/parseinteger.h"

#include <QStringList>
#include <algorithm>
#include <limits>

namespace games {

namespace {

const std::array<QString, AttributeCount> AttributeNames { QStringLiteral("BOD"), QStringLiteral("AGI"),
    QStringLiteral("REA"), QStringLiteral("STR"), QStringLiteral("CHA"), QStringLiteral("INT"),
    QStringLiteral("LOG"), QStringLiteral("WIL") };

constexpr int PhysicalCount = 4;
constexpr int BudgetLimit = 190; // spending goes on while no more than this is spent
constexpr int LateLimit = 176; // the point that reaches a maximum is bought only below this
constexpr int PointCost = 10;
constexpr int LastPointCost = 25;

Metatype Make(const QString& name, Attributes minimum, int minimumEdge)
{
    Attributes maximum {};
    for (int i = 0; i < AttributeCount; ++i)
        maximum[i] = minimum[i] + 5;
    return { name, minimum, maximum, minimumEdge };
}

std::optional<int> AttributeIndex(const QString& text)
{
    const QString lower = common::AsciiLower(text);
    for (int i = 0; i < AttributeCount; ++i) {
        if (common::AsciiLower(AttributeNames[i]) == lower)
            return i;
    }
    return std::nullopt;
}

bool AnyAtMaximum(const ShadowrunNpc& npc)
{
    for (int i = 0; i < AttributeCount; ++i) {
        if (npc.Values[i] >= npc.Kind.Maximum[i])
            return true;
    }
    return false;
}

// Whether another pass of the spending loop could still buy something.
bool CanSpend(const ShadowrunNpc& npc)
{
    const bool lastPointAllowed = npc.BuildPoints < LateLimit && !AnyAtMaximum(npc);
    for (int i = 0; i < AttributeCount; ++i) {
        if (npc.Values[i] < npc.Kind.Maximum[i] - 1)
            return true;
        if (lastPointAllowed && npc.Values[i] < npc.Kind.Maximum[i])
            return true;
    }
    return false;
}

void FavourAttribute(ShadowrunNpc& npc, int dominant, bool toMaximum)
{
    const bool physical = dominant < PhysicalCount;
    const int minimum = npc.Kind.Minimum[dominant];
    const int maximum = npc.Kind.Maximum[dominant];
    for (int i = 0; i < AttributeCount; ++i) {
        if (i == dominant)
            npc.Values[i] = toMaximum ? maximum : maximum - 1;
        else if ((i < PhysicalCount) == physical)
            npc.Values[i] += 2;
        else if (physical ? (i == 5 || i == 7) : i <= 2) // INT and WIL, or BOD, AGI and REA
            npc.Values[i] += 1;
    }
    const int groupCost = physical ? 70 : 80;
    npc.BuildPoints = (maximum - minimum) * PointCost + groupCost + (toMaximum ? LastPointCost : 0);
}

long long ReadHits(const QString& text)
{
    long long hits = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            break;
        hits = std::min<long long>(hits * 10 + (c.unicode() - u'0'), std::numeric_limits<int>::max());
    }
    return hits;
}

long long RollD6s(int count, Draws& draws)
{
    long long sum = 0;
    for (int i = 0; i < count; ++i)
        sum += draws.Die(6);
    return sum;
}

} // namespace

Metatype MetatypeFromWord(const QString& word)
{
    const QString name = common::AsciiLower(word);
    if (name == u"ork" || name == u"orc")
        return Make(name, { 4, 1, 1, 3, 1, 1, 1, 1 }, 1);
    if (name == u"dwarf")
        return Make(name, { 2, 1, 1, 3, 1, 1, 1, 2 }, 1);
    if (name == u"elf")
        return Make(name, { 1, 2, 1, 1, 3, 1, 1, 1 }, 1);
    if (name == u"troll")
        return { name, { 5, 1, 1, 5, 1, 1, 1, 1 }, { 10, 5, 6, 10, 4, 5, 5, 6 }, 1 };
    return Make(QStringLiteral("human"), { 1, 1, 1, 1, 1, 1, 1, 1 }, 2);
}

ShadowrunNpc BuildShadowrunNpc(
    const Metatype& metatype, const QString& dominant, bool awakened, bool technomancer, Draws& draws)
{
    draws.Reseed();
    ShadowrunNpc npc;
    npc.Kind = metatype;
    npc.Values = metatype.Minimum;
    npc.Edge = metatype.MinimumEdge;

    if (const std::optional<int> index = AttributeIndex(dominant)) {
        const bool allCapitals = dominant == dominant.toUpper();
        FavourAttribute(npc, *index, allCapitals);
    }

    while (npc.BuildPoints <= BudgetLimit && CanSpend(npc)) {
        const auto i = static_cast<std::size_t>(draws.Below(AttributeCount));
        int& value = npc.Values[i];
        if (value < metatype.Maximum[i] - 1) {
            ++value;
            npc.BuildPoints += PointCost;
        } else if (value < metatype.Maximum[i] && npc.BuildPoints < LateLimit && !AnyAtMaximum(npc)) {
            ++value;
            npc.BuildPoints += LastPointCost;
        }
    }

    if (awakened)
        npc.Magic = draws.Die(6);
    if (technomancer)
        npc.Resonance = draws.Die(6);
    npc.Edge += draws.Below(6);
    return npc;
}

QString DescribeShadowrunNpc(const ShadowrunNpc& npc)
{
    QString text = npc.Kind.Name + QStringLiteral(": ");
    for (int i = 0; i < AttributeCount; ++i)
        text += AttributeNames[i] + u' ' + QString::number(npc.Values[i]) + QStringLiteral(", ");
    text += QStringLiteral("Edge ") + QString::number(npc.Edge);
    if (npc.Magic)
        text += QStringLiteral(", Magic ") + QString::number(*npc.Magic);
    else if (npc.Resonance)
        text += QStringLiteral(", Resonance ") + QString::number(*npc.Resonance);
    return text + u'.';
}

QString GenerateShadowrunNpc(
    const Metatype& metatype, const QString& dominant, bool awakened, bool technomancer, Draws& draws)
{
    return DescribeShadowrunNpc(BuildShadowrunNpc(metatype, dominant, awakened, technomancer, draws));
}

QString ShadowrunNpcFromParameter(const QString& parameter, Draws& draws)
{
    const QStringList words = parameter.split(u' ');
    const QString second = common::AsciiLower(words.value(1));
    bool awakened = second == u"magician" || second == u"mage" || second == u"wizard" || second == u"adept";
    const bool technomancer = second == u"technomancer" || second == u"techie";
    // "mystic adept" is two words; the dominant attribute then follows the third.
    int wordsBeforeDominant = 2;
    if (second == u"mystic" && common::AsciiLower(words.value(2)) == u"adept") {
        awakened = true;
        wordsBeforeDominant = 3;
    }

    QString dominant;
    if (AttributeIndex(words.value(1)) && wordsBeforeDominant == 2)
        dominant = words.value(1);
    else
        dominant = words.mid(wordsBeforeDominant).join(u' ');
    return GenerateShadowrunNpc(MetatypeFromWord(words.value(0)), dominant, awakened, technomancer, draws);
}

long long ScatterDistance(const QString& typeWord, long long netHits, Draws& draws)
{
    draws.Reseed();
    const QString type = common::AsciiLower(typeWord);
    long long distance = 0;
    if (type == u"aero" || type == u"aerodynamic")
        distance = RollD6s(2, draws) - 4 * netHits;
    else if (type == u"launcher")
        distance = RollD6s(3, draws) - 4 * netHits;
    else if (type == u"rocket" || type == u"missile")
        distance = RollD6s(2, draws) - netHits;
    else if (type == u"air" || type == u"airburst" || type == u"burst")
        distance = RollD6s(1, draws) - netHits;
    else
        distance = RollD6s(1, draws) - 2 * netHits;
    return std::max(distance, 0LL);
}

QString GrenadeScatter(const QString& parameter, Draws& draws)
{
    const qsizetype space = parameter.indexOf(u' ');
    const QString first = space < 0 ? parameter : parameter.left(space);
    const QString rest = space < 0 ? QString() : parameter.mid(space + 1);
    long long hits = 0;
    if (const std::optional<int> number = common::ParseInteger(first))
        hits = *number;
    else if (const std::optional<int> later = common::ParseInteger(rest))
        hits = *later;
    else
        hits = ReadHits(first);

    static const std::array<QString, 6> directions {
        QStringLiteral("the projectile continued past the target for "),
        QStringLiteral("the projectile continued past the target and to the right for "),
        QStringLiteral("the projectile bounced back from the target and to the right for "),
        QStringLiteral("the projectile bounced back from the target for "),
        QStringLiteral("the projectile bounced back from the target and to the left for "),
        QStringLiteral("the projectile continued past the target and to the left for "),
    };
    draws.Reseed();
    const QString& direction = directions[static_cast<std::size_t>(draws.Below(6))];
    const long long distance = ScatterDistance(first, hits, draws);
    if (distance == 0)
        return QStringLiteral("the projectile hit right on target!");
    return direction + QString::number(distance) + QStringLiteral(" meters.");
}

} // namespace games
