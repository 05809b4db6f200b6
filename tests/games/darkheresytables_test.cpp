#include "games/darkheresytables.h"
#include "games/scripteddraws.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace games {

// Found by GoogleTest next to the type it prints.
void PrintTo(const GameReply& reply, std::ostream* os)
{
    *os << (reply.To == GameReply::ToNick ? "to nick: " : "to target: ") << reply.Text.toStdString();
}

} // namespace games

namespace {

using games::GameReplies;
using games::GameReply;
using testing_support::Face;
using testing_support::ScriptedDraw;
using testing_support::ScriptedDraws;

GameReply ToTarget(const QString& text)
{
    return { GameReply::ToTarget, text };
}

GameReply ToNick(const QString& text)
{
    return { GameReply::ToNick, text };
}

TEST(DarkHeresyHits, NamesTheZoneOfADirectRoll)
{
    const std::pair<int, const char*> cases[] = { { 1, "Head" }, { 10, "Head" }, { 11, "Right Arm" },
        { 20, "Right Arm" }, { 21, "Left Arm" }, { 30, "Left Arm" }, { 31, "Body" }, { 70, "Body" },
        { 71, "Right Leg" }, { 85, "Right Leg" }, { 86, "Left Leg" }, { 100, "Left Leg" } };
    for (const auto& [roll, zone] : cases) {
        ScriptedDraws draws { Face(100, roll) };
        EXPECT_EQ(games::DarkHeresyHits("Nick", "", draws),
            GameReplies({ ToTarget("Nick, [" + QString::number(roll) + "]: " + zone) }));
        EXPECT_EQ(draws.Reseeds, 1);
    }
}

TEST(DarkHeresyHits, RollsEachCountedHitAnew)
{
    ScriptedDraws draws { Face(100, 5), Face(100, 50), Face(100, 99) };
    EXPECT_EQ(games::DarkHeresyHits("Nick", "3", draws),
        GameReplies({ ToTarget("Nick, hit 1 [5]: Head"), ToTarget("Nick, hit 2 [50]: Body"),
            ToTarget("Nick, hit 3 [99]: Left Leg") }));
    EXPECT_TRUE(draws.AllDrawn());
}

TEST(DarkHeresyHits, RefusesAnythingButAPositiveWholeCount)
{
    const GameReplies refusal {
        ToNick("You're obviously trying to roll several DH hits, but I can't figure out your parameters."),
        ToNick("I only understand integer parameters, chum."),
    };
    for (const char* parameter : { "0", "-3", "x", "2.5", "3d6", " ", "99999999999" }) {
        ScriptedDraws draws {};
        EXPECT_EQ(games::DarkHeresyHits("Nick", parameter, draws), refusal) << parameter;
    }
}

TEST(DarkHeresyHits, CapsALargeCountAndSaysSoPrivately)
{
    for (const char* parameter : { "21", "2147483647" }) {
        std::vector<ScriptedDraw> script(games::MaxHitMessages, Face(100, 40));
        ScriptedDraws draws(script);
        const GameReplies replies = games::DarkHeresyHits("Nick", parameter, draws);
        ASSERT_EQ(replies.size(), games::MaxHitMessages + 1) << parameter;
        EXPECT_EQ(replies.first(), ToNick("Nick, I roll at most 20 hits at a time, so here are 20."));
        EXPECT_EQ(replies.last(), ToTarget("Nick, hit 20 [40]: Body"));
        EXPECT_TRUE(draws.AllDrawn());
    }
    std::vector<ScriptedDraw> script(games::MaxHitMessages, Face(100, 1));
    ScriptedDraws draws(script);
    EXPECT_EQ(games::DarkHeresyHits("Nick", "20", draws).size(), 20); // no note at the cap itself
}

TEST(DarkHeresyBurst, ListsTheHitsOfOneRoll)
{
    struct Case {
        const char* Parameter;
        int Roll;
        const char* Reply;
    };
    const Case cases[] = {
        { "3", 45, "Nick, [45]: Body, body, arm." },
        { "1", 100, "Nick, [100]: Leg." },
        { "", 5, "Nick, [5]: Head, head, arm, body, arm, each additional: body." },
        { "0", 15, "Nick, [15]: Arm, arm, body, head, body, each additional: arm." },
        { "lots", 71, "Nick, [71]: Leg, leg, body, arm, head, each additional: body." },
        { "2147483647", 31, "Nick, [31]: Body, body, arm, head, arm, each additional: body." },
    };
    for (const Case& c : cases) {
        ScriptedDraws draws { Face(100, c.Roll) };
        EXPECT_EQ(games::DarkHeresyBurst("Nick", c.Parameter, draws), GameReplies({ ToTarget(c.Reply) }))
            << c.Parameter;
        EXPECT_EQ(draws.Reseeds, 1);
    }
}

TEST(DarkHeresyFall, TakesTheDamageFromTheHeight)
{
    // The least damage of each height (the d10 showing 1).
    const std::pair<const char*, int> cases[] = { { "3", 4 }, { "5", 4 }, { "6", 6 }, { "8", 6 }, { "9", 8 },
        { "11", 8 }, { "12", 10 }, { "14", 10 }, { "15", 12 }, { "17", 12 }, { "18", 14 }, { "20", 14 },
        { "21", 16 }, { "23", 16 }, { "24", 18 }, { "25", 18 }, { "26", 21 }, { "-1", 21 },
        { "2147483647", 21 }, { "-2147483648", 21 } };
    for (const auto& [height, least] : cases) {
        ScriptedDraws lowest { Face(10, 1), Face(100, 45) };
        EXPECT_EQ(games::DarkHeresyFall("Nick", height, lowest),
            GameReplies(
                { ToTarget("Nick, that is " + QString::number(least) + " points of damage to the body.") }))
            << height;
        ScriptedDraws highest { Face(10, 10), Face(100, 80) };
        EXPECT_EQ(games::DarkHeresyFall("Nick", height, highest),
            GameReplies({ ToTarget(
                "Nick, that is " + QString::number(least + 9) + " points of damage to the right leg.") }))
            << height;
    }
}

TEST(DarkHeresyFall, ShortFallsAndUnreadableHeights)
{
    for (const char* height : { "0", "1", "2" }) {
        ScriptedDraws draws {};
        EXPECT_EQ(games::DarkHeresyFall("Nick", height, draws),
            GameReplies({ ToTarget("Nick, that is no damage!") }));
    }
    for (const char* height : { "", "x", "3m", "2.5" }) {
        ScriptedDraws draws {};
        EXPECT_EQ(games::DarkHeresyFall("Nick", height, draws),
            GameReplies({ ToTarget("Please specify the falling height, Nick.") }))
            << height;
    }
}

TEST(EntryFiles, AnEntryRunsFromItsSeparatorToTheNext)
{
    const QStringList file { "never shown", ";", "one a", "one b", ";", "two", ";", ";", "four", ";" };
    EXPECT_EQ(games::EntryOfFile(file, 1), QStringList({ "one a", "one b" }));
    EXPECT_EQ(games::EntryOfFile(file, 2), QStringList({ "two" }));
    EXPECT_EQ(games::EntryOfFile(file, 3), QStringList());
    EXPECT_EQ(games::EntryOfFile(file, 4), QStringList({ "four" }));
    for (int missing : { 5, 2147483647, 0, -1 })
        EXPECT_FALSE(games::EntryOfFile(file, missing)) << missing;
}

TEST(EntryFiles, AnEntryWithoutItsClosingSeparatorIsMissing)
{
    const QStringList unclosed { ";", "one", ";", "two", "more of two" };
    EXPECT_EQ(games::EntryOfFile(unclosed, 1), QStringList({ "one" }));
    EXPECT_FALSE(games::EntryOfFile(unclosed, 2));
    EXPECT_FALSE(games::EntryOfFile({}, 1));
    EXPECT_FALSE(games::EntryOfFile({ "no separators at all" }, 1));
    EXPECT_FALSE(games::EntryOfFile({ "; ", "near miss", ";;" }, 1)); // only a line of exactly ";" separates
}

TEST(Divination, EachRollFallsInOneEntry)
{
    // The lowest roll of each of the 28 entries.
    const int lowest[] = { 1, 2, 4, 8, 9, 12, 16, 19, 22, 27, 31, 34, 39, 43, 47, 51, 55, 59, 63, 67, 71, 75,
        80, 86, 91, 95, 98, 100 };
    for (int roll = 1; roll <= 100; ++roll) {
        int expected = 0;
        for (int start : lowest)
            expected += start <= roll ? 1 : 0;
        EXPECT_EQ(games::DivinationEntry(roll), expected) << roll;
    }
}

QStringList DivinationFile(int entries)
{
    QStringList lines { ";" };
    for (int n = 1; n <= entries; ++n)
        lines << QStringLiteral("Omen %1. ").arg(n) << QStringLiteral("Effect %1.").arg(n) << ";";
    return lines;
}

TEST(Divination, ShowsTheEffectOnlyWhenAskedInFull)
{
    struct Case {
        const char* Parameter;
        int Roll;
        const char* Reply;
    };
    const Case cases[] = {
        { "", 1, "Omen 1. " },
        { "F", 1, "Omen 1. Effect 1." },
        { "full", 45, "Omen 14. Effect 14." },
        { "FuLl", 100, "Omen 28. Effect 28." },
        { "fu", 100, "Omen 28. " },
        { "f ", 100, "Omen 28. " },
    };
    for (const Case& c : cases) {
        ScriptedDraws draws { Face(100, c.Roll) };
        EXPECT_EQ(games::DarkHeresyDivination(c.Parameter, DivinationFile(28), draws),
            GameReplies({ ToTarget(c.Reply) }))
            << c.Parameter;
        EXPECT_EQ(draws.Reseeds, 1);
    }
}

TEST(Divination, SaysNothingWithoutItsFileOrEntry)
{
    ScriptedDraws missing { Face(100, 50) };
    EXPECT_TRUE(games::DarkHeresyDivination("f", std::nullopt, missing).isEmpty());
    ScriptedDraws beyond { Face(100, 100) };
    EXPECT_TRUE(games::DarkHeresyDivination("f", DivinationFile(27), beyond).isEmpty());
}

TEST(CriticalHits, ReadsTypeZoneAndWounds)
{
    using games::CritRequest;
    struct Case {
        const char* Parameter;
        CritRequest::Kind Result;
        const char* Key;
        int Wounds;
    };
    const Case cases[] = {
        { "E Head 11", CritRequest::Entry, "E Head", 10 },
        { "E Head 3", CritRequest::Entry, "E Head", 3 },
        { "E Head 25", CritRequest::Entry, "E Head", 10 },
        { "R Arm 3", CritRequest::Entry, "R Arm", 3 },
        { "I Body 1234", CritRequest::Entry, "I Body", 10 }, // only three characters are read
        { "e Head 3", CritRequest::Usage, "", 0 },
        { "", CritRequest::Usage, "", 0 },
        { " E Head 3", CritRequest::Usage, "", 0 },
        { "E Head 0", CritRequest::BadWounds, "", 0 },
        { "E Head x", CritRequest::BadWounds, "", 0 },
        { "E Head", CritRequest::BadWounds, "", 0 },
        { "E Head 3 extra", CritRequest::BadWounds, "", 0 },
        { "R Arm 3 ", CritRequest::BadWounds, "", 0 }, // a number is a number as typed
        { "R Arm  3", CritRequest::BadWounds, "", 0 },
        { "E/../../x 3", CritRequest::BadZone, "E/../../x", 3 },
        { "X\\..\\y 3", CritRequest::BadZone, "X\\..\\y", 3 },
        { "E ..Head 3", CritRequest::BadZone, "E ..Head", 3 },
    };
    for (const Case& c : cases) {
        const CritRequest request = games::ParseCritRequest(c.Parameter);
        EXPECT_EQ(request.Result, c.Result) << c.Parameter;
        if (c.Result == CritRequest::Entry || c.Result == CritRequest::BadZone) {
            EXPECT_EQ(request.Key, c.Key) << c.Parameter;
            EXPECT_EQ(request.Wounds, c.Wounds) << c.Parameter;
        }
    }
}

TEST(CriticalHits, SendsTheEntryOrExplainsWhatWentWrong)
{
    using games::CritRequest;
    const QStringList file { ";", "Wound one.", "", "Still wound one.", ";", "Wound two.", ";",
        "Wound three." };
    const CritRequest one { CritRequest::Entry, "E Head", 1 };
    EXPECT_EQ(games::DarkHeresyCrit(one, file),
        GameReplies({ ToTarget("Wound one."), ToTarget("Still wound one.") }));
    const CritRequest three { CritRequest::Entry, "E Head", 3 };
    const GameReplies zone { ToNick(games::CritZoneMessage()) };
    EXPECT_EQ(games::DarkHeresyCrit(three, file), zone); // the file ends before entry 3 is closed
    EXPECT_EQ(games::DarkHeresyCrit(one, std::nullopt), zone);
    EXPECT_EQ(games::DarkHeresyCrit({ CritRequest::BadZone, "E/x", 1 }, file), zone);
    EXPECT_EQ(games::DarkHeresyCrit({ CritRequest::BadWounds, "", 0 }, file),
        GameReplies({ ToNick("Make sure you specified correct crit wounds number.") }));
    const GameReplies usage = games::DarkHeresyCrit({ CritRequest::Usage, "", 0 }, file);
    ASSERT_EQ(usage.size(), 6);
    EXPECT_EQ(usage.first(),
        ToNick("Sorry, buddy, I can't understand you. Make sure you specify parameters by the book:"));
    EXPECT_EQ(usage.last(), ToNick("Example: ,dhcrit E Head 11"));
    EXPECT_EQ(games::CritZoneMessage(),
        "Make sure you specified correct damage zone, I have to data for what you have specified.");
}

TEST(Hallucinogen, SendsARandomEntryOrTheLostFileMessage)
{
    QStringList file { ";" };
    for (int n = 1; n <= 10; ++n)
        file << QStringLiteral("Vision %1").arg(n) << QStringLiteral("Lasting %1").arg(n) << ";";
    ScriptedDraws seventh { Face(10, 7) };
    EXPECT_EQ(games::DarkHeresyHallucinogen(file, seventh),
        GameReplies({ ToTarget("Vision 7"), ToTarget("Lasting 7") }));
    EXPECT_EQ(seventh.Reseeds, 1);

    const GameReplies lost { ToNick(
        "I seem to have lost the file with the answers. Maybe you have seen it?") };
    ScriptedDraws any { Face(10, 1) };
    EXPECT_EQ(games::DarkHeresyHallucinogen(std::nullopt, any), lost);
    ScriptedDraws tenth { Face(10, 10) };
    EXPECT_EQ(games::DarkHeresyHallucinogen(file.mid(0, file.size() - 1), tenth), lost); // no closing ";"
}

} // namespace
