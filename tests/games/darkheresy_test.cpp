#include "dice/randomsource.h"
#include "games/darkheresy.h"
#include "games/scripteddraws.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using testing_support::Face;
using testing_support::ScriptedDraw;
using testing_support::ScriptedDraws;

TEST(DarkHeresyLocation, SwapsTheDigitsOfTheRoll)
{
    const std::pair<int, int> cases[] = { { 1, 100 }, { 100, 1 }, { 2, 20 }, { 7, 70 }, { 9, 90 }, { 10, 1 },
        { 23, 32 }, { 50, 5 }, { 91, 19 }, { 99, 99 } };
    for (const auto& [roll, location] : cases)
        EXPECT_EQ(games::LocationFromRoll(roll), location) << roll;
}

TEST(DarkHeresyLocation, ListsSeveralHitsFromTheFirstZone)
{
    struct Case {
        int Location;
        long long Hits;
        const char* List;
    };
    const Case cases[] = {
        { 32, 3, "body, body, arm." },
        { 10, 1, "head." },
        { 5, 6, "head, head, arm, body, arm, each additional: body." },
        { 5, 2000000000, "head, head, arm, body, arm, each additional: body." },
        { 30, 7, "arm, arm, body, head, body, each additional: arm." },
        { 31, 5, "body, body, arm, head, arm." },
        { 71, 1, "leg." },
        { 100, 6, "leg, leg, body, arm, head, each additional: body." },
    };
    for (const Case& c : cases)
        EXPECT_EQ(games::DescribeHitLocations(c.Location, c.Hits), c.List) << c.Location << " " << c.Hits;
    EXPECT_EQ(games::DescribeHitLocationsCapitalised(45, 3), "Body, body, arm.");
    EXPECT_EQ(games::DescribeHitLocationsCapitalised(71, 2), "Leg, leg.");
}

struct TestCase {
    const char* Parameter;
    std::vector<ScriptedDraw> Draws;
    const char* Result;
};

void Check(const TestCase& c)
{
    ScriptedDraws draws(c.Draws);
    EXPECT_EQ(games::RollDarkHeresyTest(QString::fromUtf8(c.Parameter), draws), c.Result) << c.Parameter;
    EXPECT_TRUE(draws.AllDrawn()) << c.Parameter;
    EXPECT_EQ(draws.Reseeds, 1) << c.Parameter;
}

TEST(DarkHeresyTest, ReportsDegreesOfAPlainTest)
{
    const TestCase cases[] = {
        { "50", { Face(100, 50) }, "50 Success by 0 degrees!" },
        { "50", { Face(100, 61) }, "61 Failure by 1 degree!" },
        { "50", { Face(100, 100) }, "100 Failure by 5 degrees!" },
        { "40+10", { Face(100, 30) }, "30 Success by 2 degrees!" },
        { "45.9", { Face(100, 45) }, "45 Success by 0 degrees!" },
        { "0-5", { Face(100, 1) }, "1 Failure by 0 degrees!" },
        { "-5", { Face(100, 1) }, "1 Success by 0 degrees!" }, // a leading sign is skipped, as in rolls
        { "2147483647", { Face(100, 7) }, "7 Success by 214748364 degrees!" },
        { "0-2147483647", { Face(100, 100) }, "100 Failure by 214748374 degrees!" },
    };
    for (const TestCase& c : cases)
        Check(c);
}

TEST(DarkHeresyTest, AnUnreadableTargetGetsABareRoll)
{
    for (const char* parameter : { "", "abc", "(40)", "50+", "1e300", "2147483648", "2d", " 50 semi", "0/0" })
        Check({ parameter, { Face(100, 57) }, "57" });
}

TEST(DarkHeresyTest, ConflictingWordsAreRefusedBeforeAnyRoll)
{
    const char* const mind = "Make up your mind on what kind of shot it is already!.";
    const char* const melee = "Melee weapons don't really shoot or overheat, sorry.";
    const char* const scatter
        = "Well, it's assumed scatter shot is still a shot. So no need to specify both.";
    const TestCase cases[] = {
        { "50 semi full", {}, mind },
        { "50 shot semi", {}, mind },
        { "50 Full SHOT", {}, mind },
        { "semi full", {}, mind }, // the target is read as the second word when only one follows it
        { "50 close overheats", {}, melee },
        { "50 melee shot", {}, melee },
        { "50 shot scatter", {}, scatter },
        { "abc melee shot", {}, melee },
    };
    for (const TestCase& c : cases)
        Check(c);
}

TEST(DarkHeresyTest, ReadsTwoOptionWordsAndIgnoresTheRest)
{
    const char* const semi23 = "23 Success by 2 degrees! It's one additional hit. Hit locations: body, body.";
    const TestCase cases[] = {
        { "50 semi", { Face(100, 23) }, semi23 },
        { "50 semi semi full", { Face(100, 23) }, semi23 },
        { "50  semi", { Face(100, 23) }, semi23 }, // two blanks: an empty first word
        { "50 nonsense words semi", { Face(100, 23) }, "23 Success by 2 degrees!" },
    };
    for (const TestCase& c : cases)
        Check(c);
}

TEST(DarkHeresyTest, SingleShotsMeleeAndOverheatingWeaponsHitOneLocation)
{
    const TestCase cases[] = {
        { "100 shot", { Face(100, 1) }, "1 Success by 9 degrees! It's a hit to the left leg." },
        { "100 melee", { Face(100, 100) }, "100 Success by 0 degrees! It's a hit to the head." },
        { "50 close", { Face(100, 41) }, "41 Success by 0 degrees! It's a hit to the right arm." },
        { "50 shot", { Face(100, 22) }, "22 Success by 2 degrees! It's a hit to the left arm." },
        { "80 overheats", { Face(100, 23) }, "23 Success by 5 degrees! It's a hit to the body." },
        { "40 shot", { Face(100, 45) }, "45 Failure by 0 degrees!" },
        { "95 shot", { Face(100, 93) },
            "93 Success by 0 degrees! It's a hit to the body. Unreliable weapon would be jammed." },
        { "90 shot", { Face(100, 93) }, "93 Failure by 0 degrees!" },
        { "40 shot", { Face(100, 97), Face(10, 9) },
            "97 Automatic failure! Any weapon except reliable ones jammed." },
        { "40 shot", { Face(100, 97), Face(10, 10) },
            "97 Automatic failure! Any weapon including reliable ones jammed!" },
        { "200 shot", { Face(100, 96), Face(10, 1) },
            "96 Automatic failure! Any weapon except reliable ones jammed." },
    };
    for (const TestCase& c : cases)
        Check(c);
}

TEST(DarkHeresyTest, ScatterAndRateOfFireAddHits)
{
    const TestCase cases[] = {
        { "80 scatter", { Face(100, 75) }, "75 Success by 0 degrees! Hit location: body." },
        { "80 scatter", { Face(100, 51) },
            "51 Success by 2 degrees! It's one additional hit at point blank for scatter. Hit locations: "
            "arm, "
            "arm." },
        { "80 scatter", { Face(100, 5) },
            "5 Success by 7 degrees! It's 3 additional hits at point blank for scatter! Hit locations: body, "
            "body, arm, head." },
        { "80 melee scatter", { Face(100, 51) },
            "51 Success by 2 degrees! It's a hit to the right arm. It's one additional hit at point blank "
            "for "
            "scatter. Hit locations: arm, arm." },
        { "80 semi", { Face(100, 63) }, "63 Success by 1 degree! Hit location: body." },
        { "80 burst", { Face(100, 30) },
            "30 Success by 5 degrees! It's 2 additional hits! Hit locations: head, head, arm." },
        { "80 semi scatter", { Face(100, 75) }, "75 Success by 0 degrees! Hit location: body." },
        { "80 semi scatter", { Face(100, 60) },
            "60 Success by 2 degrees! It's one more hit for RoF, and one more for scatter at point blank. "
            "Hit "
            "locations: head, head, arm." },
        { "80 short scatter", { Face(100, 30) },
            "30 Success by 5 degrees! It's 2 more hits for RoF, and 2 more at point blank for scatter! Hit "
            "locations: head, head, arm, body, arm." },
        { "80 full", { Face(100, 75) }, "75 Success by 0 degrees! Hit location: body." },
        { "80 full", { Face(100, 70) },
            "70 Success by 1 degree! It's one additional hit. Hit locations: head, head." },
        { "80 long", { Face(100, 40) },
            "40 Success by 4 degrees! It's 4 additional hits! Hit locations: head, head, arm, body, arm." },
        { "80 full scatter", { Face(100, 70) },
            "70 Success by 1 degree! It's one additional hit for RoF. Hit locations: head, head." },
        { "60 long scatter", { Face(100, 12) },
            "12 Success by 4 degrees! It's 4 hits more for RoF and 2 more at point blank for scatter! Hit "
            "locations: arm, arm, body, head, body, each additional: arm." },
        { "80 full scatter", { Face(100, 75) }, "75 Success by 0 degrees! Hit location: body." },
        { "20 full", { Face(100, 75) }, "75 Failure by 5 degrees!" },
    };
    for (const TestCase& c : cases)
        Check(c);
}

TEST(DarkHeresyTest, AutomaticFireJamsAndOverheatingWeaponsOverheat)
{
    const TestCase cases[] = {
        { "100 semi", { Face(100, 94) }, "94 Success by 0 degrees! Hit location: body. Weapon jammed." },
        { "100 semi", { Face(100, 93) },
            "93 Success by 0 degrees! Hit location: body. Unreliable weapon would be jammed." },
        { "100 semi", { Face(100, 92) },
            "92 Success by 0 degrees! Hit location: arm. Unreliable weapon would be jammed." },
        { "100 full", { Face(100, 90) },
            "90 Success by 1 degree! It's one additional hit. Hit locations: "
            "head, head." },
        { "10 full", { Face(100, 94) }, "94 Failure by 8 degrees! Weapon jammed." },
        { "10 semi", { Face(100, 91) }, "91 Failure by 8 degrees! Unreliable weapon would be jammed." },
        { "50 semi overheats", { Face(100, 95), Face(10, 3), Face(10, 4), Face(10, 2) },
            "95 Failure by 4 degrees! Take a Toughness test or drop the weapon. The weapon can't be fired "
            "for 4 "
            "turns." },
        { "100 full overheats", { Face(100, 91), Face(10, 7), Face(10, 3), Face(10, 5) },
            "91 Success by 0 degrees! Hit location: arm. Take 5 energy damage and drop the weapon. The "
            "weapon "
            "is too hot to pick up and will deal 4 damage to anyone trying for 5 turns." },
        { "100 overheats", { Face(100, 99), Face(10, 9), Face(10, 1), Face(10, 1) },
            "99 Success by 0 degrees! It's a hit to the left leg. The weapon explodes! Everyone in four "
            "meters "
            "including the wielder take a hit as if attacked by it." },
        { "10 overheats", { Face(100, 100), Face(10, 5), Face(10, 10), Face(10, 10) },
            "100 Failure by 9 degrees! Take a Toughness test or drop the weapon. The weapon can't be fired "
            "for "
            "10 turns." },
        { "10 overheats", { Face(100, 90) }, "90 Failure by 8 degrees!" },
    };
    for (const TestCase& c : cases)
        Check(c);
}

TEST(DarkHeresyTest, RollsADiceTarget)
{
    const std::uint32_t seed = 1234;
    dice::SeedGenerator(seed);
    const int target = dice::RandomBelow(10) + 1 + dice::RandomBelow(10) + 1 + 20;
    const dice::ReseedPin pin(seed);
    const int roll = target - 10; // success by exactly one degree
    Check({ "2d10+20", { Face(100, roll) }, qPrintable(QString::number(roll) + " Success by 1 degree!") });
}

} // namespace
