#include "dice/randomsource.h"
#include "games/scripteddraws.h"
#include "games/shadowrun.h"
#include "support/qtprint.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using testing_support::Face;
using testing_support::ScriptedDraw;
using testing_support::ScriptedDraws;

TEST(ShadowrunNpc, KnowsTheMetatypes)
{
    struct Case {
        const char* Word;
        const char* Name;
        games::Attributes Minimum;
        games::Attributes Maximum;
        int Edge;
    };
    const Case cases[] = {
        { "", "human", { 1, 1, 1, 1, 1, 1, 1, 1 }, { 6, 6, 6, 6, 6, 6, 6, 6 }, 2 },
        { "ORK", "ork", { 4, 1, 1, 3, 1, 1, 1, 1 }, { 9, 6, 6, 8, 6, 6, 6, 6 }, 1 },
        { "Dwarf", "dwarf", { 2, 1, 1, 3, 1, 1, 1, 2 }, { 7, 6, 6, 8, 6, 6, 6, 7 }, 1 },
        { "elf", "elf", { 1, 2, 1, 1, 3, 1, 1, 1 }, { 6, 7, 6, 6, 8, 6, 6, 6 }, 1 },
        { "troll", "troll", { 5, 1, 1, 5, 1, 1, 1, 1 }, { 10, 5, 6, 10, 4, 5, 5, 6 }, 1 },
    };
    for (const Case& c : cases) {
        const games::Metatype m = games::MetatypeFromWord(c.Word);
        EXPECT_EQ(m.Name, c.Name) << c.Word;
        EXPECT_EQ(m.Minimum, c.Minimum) << c.Word;
        EXPECT_EQ(m.Maximum, c.Maximum) << c.Word;
        EXPECT_EQ(m.MinimumEdge, c.Edge) << c.Word;
    }
}

// What the attributes cost, counted from scratch: 10 a point, 25 for a point that reaches the maximum.
int CostOf(const games::ShadowrunNpc& npc)
{
    int cost = 0;
    for (int i = 0; i < games::AttributeCount; ++i) {
        cost += (npc.Values[i] - npc.Kind.Minimum[i]) * 10;
        if (npc.Values[i] == npc.Kind.Maximum[i])
            cost += 15;
    }
    return cost;
}

TEST(ShadowrunNpc, EveryCharacterKeepsTheRules)
{
    const char* const metatypes[] = { "human", "ork", "dwarf", "elf", "troll" };
    const char* const dominants[]
        = { "", "BOD", "agi", "REA", "Str", "CHA", "int", "LOG", "wil", "nonsense" };
    std::uint32_t seed = 1;
    for (const char* word : metatypes) {
        const games::Metatype metatype = games::MetatypeFromWord(word);
        for (const char* dominant : dominants) {
            for (int run = 0; run < 60; ++run) {
                const dice::ReseedPin pin(seed++);
                const bool awakened = run % 3 == 1;
                const bool technomancer = run % 3 == 2;
                const games::ShadowrunNpc npc
                    = games::BuildShadowrunNpc(metatype, dominant, awakened, technomancer);
                const QString where = QStringLiteral("%1 %2 seed %3").arg(word, dominant).arg(seed - 1);
                int atMaximum = 0;
                for (int i = 0; i < games::AttributeCount; ++i) {
                    EXPECT_GE(npc.Values[i], metatype.Minimum[i]) << where.toStdString();
                    EXPECT_LE(npc.Values[i], metatype.Maximum[i]) << where.toStdString();
                    atMaximum += npc.Values[i] == metatype.Maximum[i] ? 1 : 0;
                }
                EXPECT_LE(atMaximum, 1) << where.toStdString();
                EXPECT_GE(CostOf(npc), 191) << where.toStdString();
                EXPECT_LE(CostOf(npc), 200) << where.toStdString();
                EXPECT_EQ(CostOf(npc), npc.BuildPoints) << where.toStdString();
                EXPECT_GE(npc.Edge, metatype.MinimumEdge);
                EXPECT_LE(npc.Edge, metatype.MinimumEdge + 5);
                EXPECT_EQ(npc.Magic.has_value(), awakened);
                EXPECT_EQ(npc.Resonance.has_value(), technomancer);
                EXPECT_TRUE(npc.Magic.value_or(1) >= 1 && npc.Magic.value_or(1) <= 6);
                EXPECT_TRUE(npc.Resonance.value_or(1) >= 1 && npc.Resonance.value_or(1) <= 6);

                const QString name = QString::fromUtf8(dominant);
                const qsizetype index
                    = QStringList({ "BOD", "AGI", "REA", "STR", "CHA", "INT", "LOG", "WIL" })
                          .indexOf(name.toUpper());
                if (index >= 0) {
                    const int max = metatype.Maximum[static_cast<std::size_t>(index)];
                    const int value = npc.Values[static_cast<std::size_t>(index)];
                    if (name == name.toUpper()) {
                        EXPECT_EQ(value, max) << where.toStdString();
                    } else {
                        EXPECT_GE(value, max - 1) << where.toStdString();
                    }
                }
            }
        }
    }
}

struct NpcCase {
    const char* Parameter;
    std::vector<ScriptedDraw> Draws;
    const char* Result;
};

TEST(ShadowrunNpc, SpendsPointsAsTheDrawsSay)
{
    const NpcCase cases[] = {
        // BOD at its maximum from the start: picking it again buys nothing.
        { "human BOD", { { 8, 1 }, { 8, 0 }, { 8, 4 }, { 8, 6 }, { 8, 7 }, { 8, 5 }, { 6, 3 } },
            "human: BOD 6, AGI 4, REA 3, STR 3, CHA 2, INT 3, LOG 2, WIL 3, Edge 5." },
        // The point that reaches CHA's maximum costs 25, and no second attribute may follow it.
        { "elf mage cha",
            { { 8, 4 }, { 8, 4 }, { 8, 5 }, { 8, 6 }, { 8, 7 }, { 8, 3 }, Face(6, 4), { 6, 0 } },
            "elf: BOD 2, AGI 3, REA 2, STR 2, CHA 8, INT 4, LOG 4, WIL 4, Edge 1, Magic 4." },
        // Once 176 points are spent, no attribute is raised to its maximum.
        { "human Bod",
            { { 8, 1 }, { 8, 1 }, { 8, 2 }, { 8, 2 }, { 8, 3 }, { 8, 3 }, { 8, 1 }, { 8, 4 }, { 8, 6 },
                { 6, 0 } },
            "human: BOD 5, AGI 5, REA 5, STR 5, CHA 2, INT 2, LOG 2, WIL 2, Edge 2." },
        { "troll techie WIL", { { 8, 0 }, { 8, 3 }, { 8, 7 }, { 8, 1 }, { 8, 2 }, Face(6, 2), { 6, 5 } },
            "troll: BOD 7, AGI 3, REA 3, STR 6, CHA 3, INT 3, LOG 3, WIL 6, Edge 6, Resonance 2." },
        { "human mystic adept LOG",
            { { 8, 0 }, { 8, 0 }, { 8, 0 }, { 8, 0 }, { 8, 1 }, Face(6, 6), { 6, 1 } },
            "human: BOD 5, AGI 3, REA 2, STR 1, CHA 3, INT 3, LOG 6, WIL 3, Edge 3, Magic 6." },
    };
    for (const NpcCase& c : cases) {
        ScriptedDraws draws(c.Draws);
        EXPECT_EQ(games::ShadowrunNpcFromParameter(c.Parameter, draws), c.Result) << c.Parameter;
        EXPECT_TRUE(draws.AllDrawn()) << c.Parameter;
        EXPECT_EQ(draws.Reseeds, 1);
    }
}

TEST(ShadowrunNpc, ReadsMetatypeAbilityAndDominantAttribute)
{
    struct Case {
        const char* Parameter;
        const char* Pattern;
    };
    const Case cases[] = {
        { "",
            "^human: BOD \\d, AGI \\d, REA \\d, STR \\d, CHA \\d, INT \\d, LOG \\d, WIL \\d, Edge "
            "[2-7]\\.$" },
        { "troll BOD", "^troll: BOD 10, .*, Edge \\d\\.$" },
        { "troll bod", "^troll: BOD (9|10), " },
        { "troll mage STR", ", STR 10, .*, Magic [1-6]\\.$" },
        { "elf Mage", ", Magic [1-6]\\.$" },
        { "ork adept", "^ork: .*, Magic [1-6]\\.$" },
        { "orc MAGICIAN", "^orc: .*, Magic [1-6]\\.$" },
        { "human mystic adept", ", Magic [1-6]\\.$" },
        { "dwarf Mystic Adept WIL", "^dwarf: .*, WIL 7, Edge \\d, Magic [1-6]\\.$" },
        { "elf techie", ", Resonance [1-6]\\.$" },
        { "human mystic", ", Edge \\d\\.$" },
        { "human mage  cha", ", Edge \\d, Magic [1-6]\\.$" },
    };
    for (const Case& c : cases) {
        const QString result = games::ShadowrunNpcFromParameter(c.Parameter);
        EXPECT_TRUE(QRegularExpression(c.Pattern).match(result).hasMatch())
            << c.Parameter << ": " << result.toStdString();
    }
}

TEST(GrenadeScatter, RollsTheDiceOfTheProjectileType)
{
    struct Case {
        const char* Parameter;
        std::vector<ScriptedDraw> Draws;
        const char* Result;
    };
    const Case cases[] = {
        { "2", { Face(6, 1), Face(6, 6) }, "the projectile continued past the target for 2 meters." },
        { "2", { Face(6, 1), Face(6, 4) }, "the projectile hit right on target!" },
        { "2", { Face(6, 1), Face(6, 3) }, "the projectile hit right on target!" },
        { "launcher 4", { Face(6, 3), Face(6, 6), Face(6, 6), Face(6, 6) },
            "the projectile bounced back from the target and to the right for 2 meters." },
        { "launcher 4", { Face(6, 3), Face(6, 5), Face(6, 5), Face(6, 6) },
            "the projectile hit right on target!" },
        { "4 launcher", { Face(6, 2), Face(6, 6) }, "the projectile hit right on target!" },
        { "AERO 1", { Face(6, 4), Face(6, 5), Face(6, 5) },
            "the projectile bounced back from the target for 6 meters." },
        { "aerodynamic 0", { Face(6, 4), Face(6, 1), Face(6, 2) },
            "the projectile bounced back from the target for 3 meters." },
        { "rocket 2", { Face(6, 5), Face(6, 3), Face(6, 4) },
            "the projectile bounced back from the target and to the left for 5 meters." },
        { "missile 12", { Face(6, 5), Face(6, 6), Face(6, 6) }, "the projectile hit right on target!" },
        { "airburst 1", { Face(6, 6), Face(6, 4) },
            "the projectile continued past the target and to the left for 3 meters." },
        { "air 1", { Face(6, 2), Face(6, 4) },
            "the projectile continued past the target and to the right for 3 meters." },
        { "burst 0", { Face(6, 1), Face(6, 1) }, "the projectile continued past the target for 1 meters." },
        { "x", { Face(6, 1), Face(6, 4) }, "the projectile continued past the target for 4 meters." },
        { "3x", { Face(6, 1), Face(6, 6) }, "the projectile hit right on target!" },
        { "1x", { Face(6, 1), Face(6, 6) }, "the projectile continued past the target for 4 meters." },
        { "", { Face(6, 1), Face(6, 5) }, "the projectile continued past the target for 5 meters." },
        { "-1", { Face(6, 1), Face(6, 1) }, "the projectile continued past the target for 3 meters." },
        { "launcher -2147483648", { Face(6, 1), Face(6, 1), Face(6, 1), Face(6, 1) },
            "the projectile continued past the target for 8589934595 meters." },
        { "99999999999999999999", { Face(6, 1), Face(6, 6) }, "the projectile hit right on target!" },
    };
    for (const Case& c : cases) {
        ScriptedDraws draws(c.Draws);
        EXPECT_EQ(games::GrenadeScatter(c.Parameter, draws), c.Result) << c.Parameter;
        EXPECT_TRUE(draws.AllDrawn()) << c.Parameter;
        EXPECT_EQ(draws.Reseeds, 2) << c.Parameter;
    }
}

} // namespace
