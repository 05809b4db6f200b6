#include "games/darkheresytables.h"

#include "common/asciicase.h"
#include "common/parseinteger.h"
#include "games/darkheresy.h"

#include <algorithm>
#include <array>

namespace games {

namespace {

// Hit zones of a direct d100 roll, as dhhit names them and as dhfall ends its sentence.
QString HitZone(int roll)
{
    if (roll <= 10)
        return QStringLiteral("Head");
    if (roll <= 20)
        return QStringLiteral("Right Arm");
    if (roll <= 30)
        return QStringLiteral("Left Arm");
    if (roll <= 70)
        return QStringLiteral("Body");
    if (roll <= 85)
        return QStringLiteral("Right Leg");
    return QStringLiteral("Left Leg");
}

QString FallZone(int roll)
{
    return HitZone(roll).toLower() + u'.';
}

// A number parameter is a number as typed: blanks around it make it text, as for every other command.
std::optional<int> ReadCount(const QString& parameter)
{
    return common::ParseInteger(parameter);
}

// The falling damage bonus added to a d10 - 1 for a height; nothing for a harmless fall.
std::optional<int> FallBonus(int height)
{
    if (height >= 0 && height <= 2)
        return std::nullopt;
    if (height >= 3 && height <= 25)
        return 4 + 2 * ((height - 3) / 3);
    return 21;
}

GameReplies EntryReplies(const QStringList& lines)
{
    GameReplies replies;
    for (const QString& line : lines) {
        if (!line.isEmpty())
            replies.append({ GameReply::ToTarget, line });
    }
    return replies;
}

bool IsKeyCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u' ' || c == u'-' || c == u'_';
}

} // namespace

GameReplies DarkHeresyHits(const QString& nick, const QString& parameter, Draws& draws)
{
    draws.Reseed();
    if (parameter.isEmpty()) {
        const int roll = draws.Die(100);
        return { { GameReply::ToTarget,
            nick + QStringLiteral(", [") + QString::number(roll) + QStringLiteral("]: ") + HitZone(roll) } };
    }
    const std::optional<int> count = ReadCount(parameter);
    if (!count || *count < 1) {
        return {
            { GameReply::ToNick,
                QStringLiteral("You're obviously trying to roll several DH hits, but I can't figure out your "
                               "parameters.") },
            { GameReply::ToNick, QStringLiteral("I only understand integer parameters, chum.") },
        };
    }
    GameReplies replies;
    if (*count > MaxHitMessages) {
        replies.append({ GameReply::ToNick,
            nick + QStringLiteral(", I roll at most ") + QString::number(MaxHitMessages)
                + QStringLiteral(" hits at a time, so here are ") + QString::number(MaxHitMessages)
                + QStringLiteral(".") });
    }
    const int hits = std::min(*count, MaxHitMessages);
    for (int k = 1; k <= hits; ++k) {
        const int roll = draws.Die(100);
        replies.append({ GameReply::ToTarget,
            nick + QStringLiteral(", hit ") + QString::number(k) + QStringLiteral(" [")
                + QString::number(roll) + QStringLiteral("]: ") + HitZone(roll) });
    }
    return replies;
}

GameReplies DarkHeresyBurst(const QString& nick, const QString& parameter, Draws& draws)
{
    draws.Reseed();
    const std::optional<int> given = ReadCount(parameter);
    const int count = given && *given >= 1 ? *given : 6;
    const int roll = draws.Die(100);
    return { { GameReply::ToTarget,
        nick + QStringLiteral(", [") + QString::number(roll) + QStringLiteral("]: ")
            + DescribeHitLocationsCapitalised(roll, count) } };
}

GameReplies DarkHeresyFall(const QString& nick, const QString& parameter, Draws& draws)
{
    draws.Reseed();
    const std::optional<int> height = ReadCount(parameter);
    if (!height)
        return { { GameReply::ToTarget,
            QStringLiteral("Please specify the falling height, ") + nick + u'.' } };
    const std::optional<int> bonus = FallBonus(*height);
    if (!bonus)
        return { { GameReply::ToTarget, nick + QStringLiteral(", that is no damage!") } };
    const int damage = draws.Below(10) + *bonus;
    const int roll = draws.Die(100);
    return { { GameReply::ToTarget,
        nick + QStringLiteral(", that is ") + QString::number(damage)
            + QStringLiteral(" points of damage to the ") + FallZone(roll) } };
}

std::optional<QStringList> EntryOfFile(const QStringList& fileLines, int number)
{
    if (number < 1)
        return std::nullopt;
    int separatorsSeen = 0;
    QStringList entry;
    for (const QString& line : fileLines) {
        if (line == u";") {
            if (separatorsSeen == number)
                return entry;
            ++separatorsSeen;
        } else if (separatorsSeen == number) {
            entry.append(line);
        }
    }
    return std::nullopt; // the file ended before the entry was closed
}

int DivinationEntry(int roll)
{
    // The highest roll of each entry, in entry order.
    static constexpr std::array<int, 28> highest { 1, 3, 7, 8, 11, 15, 18, 21, 26, 30, 33, 38, 42, 46, 50, 54,
        58, 62, 66, 70, 74, 79, 85, 90, 94, 97, 99, 100 };
    for (std::size_t i = 0; i < highest.size(); ++i) {
        if (roll <= highest[i])
            return static_cast<int>(i) + 1;
    }
    return static_cast<int>(highest.size());
}

CritRequest ParseCritRequest(const QString& parameter)
{
    CritRequest request;
    if (parameter.isEmpty() || !QStringLiteral("EIRX").contains(parameter.at(0)))
        return request;

    const qsizetype space = parameter.indexOf(u' ', 2);
    if (space < 0) {
        request.Result = CritRequest::BadWounds;
        return request;
    }
    const std::optional<int> wounds = ReadCount(parameter.mid(space + 1, 3));
    if (!wounds || *wounds < 1) {
        request.Result = CritRequest::BadWounds;
        return request;
    }
    request.Key = parameter.left(space);
    request.Wounds = std::min(*wounds, CritEntries);
    // The key becomes a file name: letters, digits, blanks, "-" and "_" only, so it names a file of the
    // data folder and nothing beyond it.
    request.Result = std::all_of(request.Key.cbegin(), request.Key.cend(), IsKeyCharacter)
        ? CritRequest::Entry
        : CritRequest::BadZone;
    return request;
}

QStringList CritUsageLines()
{
    return {
        QStringLiteral("Sorry, buddy, I can't understand you. Make sure you specify parameters by the book:"),
        QStringLiteral(" ,dhcrit [damage_type] [damage_zone] [crit_wounds]"),
        QStringLiteral("[damage_type] is either [E]nergy, [I]mpact, [R]ending or E[X]plosive."),
        QStringLiteral("[damage_zone] is either [Head], [Body], [Arm] or [Leg]."),
        QStringLiteral("[crit_wounds] is just a number."),
        QStringLiteral("Example: ,dhcrit E Head 11"),
    };
}

QString CritWoundsMessage()
{
    return QStringLiteral("Make sure you specified correct crit wounds number.");
}

QString CritZoneMessage()
{
    return QStringLiteral(
        "Make sure you specified correct damage zone, I have to data for what you have specified.");
}

QString LostFileMessage()
{
    return QStringLiteral("I seem to have lost the file with the answers. Maybe you have seen it?");
}

GameReplies DarkHeresyCrit(const CritRequest& request, const std::optional<QStringList>& fileLines)
{
    switch (request.Result) {
    case CritRequest::Usage: {
        GameReplies replies;
        for (const QString& line : CritUsageLines())
            replies.append({ GameReply::ToNick, line });
        return replies;
    }
    case CritRequest::BadWounds:
        return { { GameReply::ToNick, CritWoundsMessage() } };
    case CritRequest::BadZone:
        return { { GameReply::ToNick, CritZoneMessage() } };
    case CritRequest::Entry:
        break;
    }
    const std::optional<QStringList> entry
        = fileLines ? EntryOfFile(*fileLines, request.Wounds) : std::nullopt;
    if (!entry)
        return { { GameReply::ToNick, CritZoneMessage() } };
    return EntryReplies(*entry);
}

GameReplies DarkHeresyHallucinogen(const std::optional<QStringList>& fileLines, Draws& draws)
{
    draws.Reseed();
    const int number = draws.Die(HallucinogenEntries);
    const std::optional<QStringList> entry = fileLines ? EntryOfFile(*fileLines, number) : std::nullopt;
    if (!entry)
        return { { GameReply::ToNick, LostFileMessage() } };
    return EntryReplies(*entry);
}

GameReplies DarkHeresyDivination(
    const QString& parameter, const std::optional<QStringList>& fileLines, Draws& draws)
{
    draws.Reseed();
    const int number = DivinationEntry(draws.Die(100));
    const std::optional<QStringList> entry = fileLines ? EntryOfFile(*fileLines, number) : std::nullopt;
    if (!entry || entry->isEmpty() || entry->first().isEmpty())
        return {};
    QString text = entry->first();
    const QString wanted = common::AsciiLower(parameter);
    if (wanted == u"full" || wanted == u"f")
        text += entry->value(1);
    return { { GameReply::ToTarget, text } };
}

} // namespace games
