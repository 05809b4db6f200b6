#include "games/darkheresy.h"

#include "common/asciicase.h"
#include "dice/expression.h"

#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace games {

namespace {

constexpr qsizetype MaxParameterChars = 500;

struct AttackOptions {
    bool SingleShot = false;
    bool SemiAuto = false;
    bool FullAuto = false;
    bool Melee = false;
    bool Scatter = false;
    bool Overheats = false;

    bool AutomaticFire() const { return SemiAuto || FullAuto; }
};

void ReadOptionWord(const QString& word, AttackOptions& options)
{
    const QString w = common::AsciiLower(word);
    if (w == u"shot")
        options.SingleShot = true;
    else if (w == u"short" || w == u"burst" || w == u"semi")
        options.SemiAuto = true;
    else if (w == u"long" || w == u"full")
        options.FullAuto = true;
    else if (w == u"overheats")
        options.Overheats = true;
    else if (w == u"melee" || w == u"close")
        options.Melee = true;
    else if (w == u"scatter")
        options.Scatter = true;
}

struct ParsedTest {
    QString TargetText;
    AttackOptions Options;
};

// The target text is everything before the first space; the two words after it are option words. When
// the first option word runs to the end, the target text is examined as the second word too.
ParsedTest ParseTest(const QString& wholeParameter)
{
    const QString parameter = wholeParameter.left(MaxParameterChars);
    ParsedTest parsed;
    const qsizetype firstSpace = parameter.indexOf(u' ');
    if (firstSpace < 0) {
        parsed.TargetText = parameter;
        return parsed;
    }
    parsed.TargetText = parameter.left(firstSpace);
    const qsizetype secondSpace = parameter.indexOf(u' ', firstSpace + 1);
    QString first;
    QString second;
    if (secondSpace < 0) {
        first = parameter.mid(firstSpace + 1);
        second = parsed.TargetText;
    } else {
        first = parameter.mid(firstSpace + 1, secondSpace - firstSpace - 1);
        const qsizetype thirdSpace = parameter.indexOf(u' ', secondSpace + 1);
        second = thirdSpace < 0 ? parameter.mid(secondSpace + 1)
                                : parameter.mid(secondSpace + 1, thirdSpace - secondSpace - 1);
    }
    ReadOptionWord(first, parsed.Options);
    ReadOptionWord(second, parsed.Options);
    return parsed;
}

std::optional<QString> Conflict(const AttackOptions& o)
{
    if (o.Melee && (o.SemiAuto || o.FullAuto || o.Overheats || o.SingleShot))
        return QStringLiteral("Melee weapons don't really shoot or overheat, sorry.");
    if ((o.SemiAuto && o.FullAuto) || (o.SingleShot && o.SemiAuto) || (o.SingleShot && o.FullAuto))
        return QStringLiteral("Make up your mind on what kind of shot it is already!.");
    if (o.Scatter && o.SingleShot)
        return QStringLiteral("Well, it's assumed scatter shot is still a shot. So no need to specify both.");
    return std::nullopt;
}

// The target's integer part; nothing when the text is not a flat expression or its value has no
// integer part the test can work with.
std::optional<int> EvaluateTarget(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    const dice::PoolResult pool = dice::EvaluateFlatExpression(text, 0, 0);
    if (pool.Error != 0 || !std::isfinite(pool.Total))
        return std::nullopt;
    const double whole = std::trunc(pool.Total);
    if (whole < std::numeric_limits<int>::min() || whole > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(whole);
}

QString ZoneSentence(int location)
{
    if (location <= 10)
        return QStringLiteral(" It's a hit to the head.");
    if (location <= 20)
        return QStringLiteral(" It's a hit to the right arm.");
    if (location <= 30)
        return QStringLiteral(" It's a hit to the left arm.");
    if (location <= 70)
        return QStringLiteral(" It's a hit to the body.");
    if (location <= 85)
        return QStringLiteral(" It's a hit to the right leg.");
    return QStringLiteral(" It's a hit to the left leg.");
}

QString Number(long long value)
{
    return QString::number(value);
}

// The hit-count sentence of one kind of extra hits: fewer than two degrees, two or three, more.
QString ExtraHitsSentence(long long degrees, const QString& fewText, const QString& oneText,
    const QString& manyBefore, const QString& manyAfter)
{
    if (degrees < 2)
        return fewText;
    if (degrees <= 3)
        return oneText;
    return manyBefore + Number(degrees / 2) + manyAfter;
}

const QString HitLocation = QStringLiteral(" Hit location: ");

// The pieces of a successful attack: single location, scatter and rate-of-fire hits.
QString SuccessfulAttack(const AttackOptions& o, int roll, long long degrees)
{
    const int location = LocationFromRoll(roll);
    QString text;
    if (o.SingleShot || o.Melee || (o.Overheats && !o.AutomaticFire())) {
        text += ZoneSentence(location);
        if (o.SingleShot && roll > 90)
            text += QStringLiteral(" Unreliable weapon would be jammed.");
    }
    if (o.Scatter && !o.AutomaticFire()) {
        text += ExtraHitsSentence(degrees, HitLocation,
            QStringLiteral(" It's one additional hit at point blank for scatter. Hit locations: "),
            QStringLiteral(" It's "),
            QStringLiteral(" additional hits at point blank for scatter! Hit locations: "));
        text += DescribeHitLocations(location, degrees / 2 + 1);
    }
    if (o.SemiAuto && !o.Scatter) {
        text += ExtraHitsSentence(degrees, HitLocation,
            QStringLiteral(" It's one additional hit. Hit locations: "), QStringLiteral(" It's "),
            QStringLiteral(" additional hits! Hit locations: "));
        text += DescribeHitLocations(location, degrees / 2 + 1);
    }
    if (o.SemiAuto && o.Scatter) {
        const long long half = degrees / 2;
        text += ExtraHitsSentence(degrees, HitLocation,
            QStringLiteral(
                " It's one more hit for RoF, and one more for scatter at point blank. Hit locations: "),
            QStringLiteral(" It's "),
            QStringLiteral(" more hits for RoF, and ") + Number(half)
                + QStringLiteral(" more at point blank for scatter! Hit locations: "));
        text += DescribeHitLocations(location, 2 * half + 1);
    }
    if (o.FullAuto) {
        if (degrees < 1)
            text += HitLocation;
        if (!o.Scatter) {
            if (degrees == 1)
                text += QStringLiteral(" It's one additional hit. Hit locations: ");
            else if (degrees > 1)
                text += QStringLiteral(" It's ") + Number(degrees)
                    + QStringLiteral(" additional hits! Hit locations: ");
            text += DescribeHitLocations(location, degrees + 1);
        } else {
            if (degrees == 1)
                text += QStringLiteral(" It's one additional hit for RoF. Hit locations: ");
            else if (degrees > 1)
                text += QStringLiteral(" It's ") + Number(degrees) + QStringLiteral(" hits more for RoF and ")
                    + Number(degrees / 2)
                    + QStringLiteral(" more at point blank for scatter! Hit locations: ");
            text += DescribeHitLocations(location, degrees + degrees / 2 + 1);
        }
    }
    return text;
}

QString Overheating(Draws& draws)
{
    const int a = draws.Die(10);
    const int b = draws.Die(10);
    const int c = draws.Die(10);
    if (a <= 5)
        return QStringLiteral(" Take a Toughness test or drop the weapon. The weapon can't be fired for ")
            + Number(b) + QStringLiteral(" turns.");
    if (a <= 8)
        return QStringLiteral(" Take ") + Number(b + 2)
            + QStringLiteral(
                " energy damage and drop the weapon. The weapon is too hot to pick up and will deal ")
            + Number(b + 1) + QStringLiteral(" damage to anyone trying for ") + Number(c)
            + QStringLiteral(" turns.");
    return QStringLiteral(
        " The weapon explodes! Everyone in four meters including the wielder take a hit as if "
        "attacked by it.");
}

enum class Zone { Head, Arm, Body, Leg };

Zone FourBandZone(int location)
{
    if (location <= 10)
        return Zone::Head;
    if (location <= 30)
        return Zone::Arm;
    if (location <= 70)
        return Zone::Body;
    return Zone::Leg;
}

QString HitList(int location, long long hits, bool capitalise)
{
    // The first word, then the pieces added while the number of hits exceeds 1, 2, 3, 4 and 5.
    static const std::array<std::array<const char*, 6>, 4> sequences { {
        { "head", ", head", ", arm", ", body", ", arm", ", each additional: body" },
        { "arm", ", arm", ", body", ", head", ", body", ", each additional: arm" },
        { "body", ", body", ", arm", ", head", ", arm", ", each additional: body" },
        { "leg", ", leg", ", body", ", arm", ", head", ", each additional: body" },
    } };
    const auto& sequence = sequences[static_cast<std::size_t>(FourBandZone(location))];
    QString text = QString::fromLatin1(sequence[0]);
    if (capitalise)
        text[0] = text[0].toUpper();
    for (std::size_t k = 1; k < sequence.size(); ++k) {
        if (hits > static_cast<long long>(k))
            text += QString::fromLatin1(sequence[k]);
    }
    return text + u'.';
}

} // namespace

int LocationFromRoll(int roll)
{
    if (roll == 1)
        return 100;
    if (roll == 100)
        return 1;
    if (roll >= 2 && roll <= 9)
        return roll * 10;
    return (roll % 10) * 10 + roll / 10;
}

QString DescribeHitLocations(int location, long long hits)
{
    return HitList(location, hits, false);
}

QString DescribeHitLocationsCapitalised(int location, long long hits)
{
    return HitList(location, hits, true);
}

QString RollDarkHeresyTest(const QString& parameter, Draws& draws)
{
    draws.Reseed();
    const ParsedTest parsed = ParseTest(parameter);
    const AttackOptions& o = parsed.Options;
    if (const std::optional<QString> conflict = Conflict(o))
        return *conflict;

    const std::optional<int> target = EvaluateTarget(parsed.TargetText);
    const int roll = draws.Die(100);
    if (!target)
        return Number(roll);

    QString result = Number(roll);
    if (o.SingleShot && roll > 95) {
        if (draws.Die(10) < 10)
            return result + QStringLiteral(" Automatic failure! Any weapon except reliable ones jammed.");
        return result + QStringLiteral(" Automatic failure! Any weapon including reliable ones jammed!");
    }

    const bool success = *target >= roll;
    const long long degrees
        = (success ? static_cast<long long>(*target) - roll : roll - static_cast<long long>(*target)) / 10;
    result += success ? QStringLiteral(" Success by ") : QStringLiteral(" Failure by ");
    result += Number(degrees) + (degrees == 1 ? QStringLiteral(" degree!") : QStringLiteral(" degrees!"));
    if (success)
        result += SuccessfulAttack(o, roll, degrees);

    if (o.AutomaticFire() && !o.Overheats) {
        if (roll > 93)
            result += QStringLiteral(" Weapon jammed.");
        else if (roll > 90)
            result += QStringLiteral(" Unreliable weapon would be jammed.");
    }
    if (o.Overheats && roll > 90)
        result += Overheating(draws);
    return result;
}

} // namespace games
