#include "dice/randomsource.h"
#include "dice/roller.h"
#include "dice/rollerror.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

// Every dice term reseeds, so with the reseed pinned every term starts the same sequence. For seed 4357
// the first d6 faces are 5, 3, 5, 5, 4, 5; the first d8 faces 6, 3; the first d20 face 14.
constexpr std::uint32_t PinnedSeed = 4357;

// "B" in an expected text stands for the bold toggle.
QString WithBold(const char* text)
{
    QString result = QString::fromUtf8(text);
    result.replace(u'B', dice::Bold);
    return result;
}

struct RollCase {
    const char* Text;
    const char* Expected; // result text, B for bold
    const char* Comment;
};

TEST(Roller, ShowsPoolsInTheFormTheOptionsAskFor)
{
    const RollCase cases[] = {
        { "3d6", "13", "" },
        { "d20", "14", "" },
        { "3d6 full", "B13B[5,3,5]", "" },
        { "3d6 f", "B13B[5,3,5]", "" },
        { "3d6 short", "B13B", "" },
        { "3d6+2", "B15B:13+2", "" },
        { "3d6+2 full", "B15B:13[5,3,5]+2", "" },
        { "3d6+2 short", "B15B", "" },
        { "5d6 tn 5", "<h:3>22", "" },
        { "5d6 vs 5", "<h:3>22", "" },
        { "5d6 tn 5 short", "<h:B3B>B22B", "" },
        { "5d6 tn 5 full", "B22B[<h:3>5,3,5,5,4]", "" },
        { "5d6+1 tn 5", "<h:B3B>B23B:22+1", "" },
        { "4d6 droplow full", "B15B[5,3,5,5<dr:3>]", "" },
        { "4d6 droplow 2 full", "B10B[5,3,5,5<dr:5,3>]", "" },
        { "4d6 droplow D&D stats", "15", "D&D stats" },
        { "5d6 droplow tn 5 full", "B19B[<h:3>5,3,5,5,4<dr:3>]", "" },
        { "2#3d6", "13;13", "" },
        { "3#5d6 tn 5", "<h:3>22;<h:3>22;<h:3>22", "" },
        { "2d6+1#d6", "5;5;5;5;5;5;5;5;5", "" }, // the repeat count is itself rolled: 5 + 3 + 1
        { "3d6;1d4", "13; 3", "" },
        { "3d6;2d8 full", "B13B[5,3,5]; B9B[6,3]", "" },
        { "3d6 full;2d8", "13", "full;2d8" },
        { "3d6 Attack", "13", "Attack" },
        { "3d6  Attack", "13", " Attack" },
        { "3d6 tn 5 Goblin", "<h:2>13", "Goblin" },
        { "3d0", "3", "" },
        { "d1000000", "6676", "" },
        { "(3d6) full", "B13B:(13[5,3,5])", "" },
        { "(3d6)", "B13B:(13)", "" },
        { "(2d6+3)", "B11B:(8+3)", "" },
        { "(3d6) short", "B13B", "" },
        { "(5d6) tn 5", "<h:B3B>B22B:(22)", "" },
        { "3d6 tn 1 tn 5", "<h:2>13", "" }, // the last target number counts, and so does its error
        { "3d6 tn x vs 5", "<h:2>13", "" },
    };
    dice::ReseedPin pin(PinnedSeed);
    for (const RollCase& c : cases) {
        const dice::RollResult roll = dice::EvaluateRoll(c.Text);
        EXPECT_EQ(roll.Error, 0) << c.Text;
        EXPECT_EQ(roll.Text, WithBold(c.Expected)) << c.Text;
        EXPECT_EQ(roll.Comment, c.Comment) << c.Text;
    }
}

TEST(Roller, DoesArithmeticWithVisibleRoundingOfGroups)
{
    const RollCase cases[] = {
        { "7/2", "B3.50B:7/2", "" },
        { "8/4/2", "B4B:8/4/2", "" },
        { "8/2*2", "B2B:8/2*2", "" },
        { "2-3-4", "B-5B:2-3-4", "" },
        { "2+3*4", "B14B:2+3*4", "" },
        { "5*(2-5)", "B-15B:5*(2-5)", "" },
        { "(1/3)*3", "B0.99B:(1/3)*3", "" },
        { "((1/3)*3)", "B0.99B:((1/3)*3)", "" },
        { "((2+2)*(1+1))/4", "B2B:((2+2)*(1+1))/4", "" },
        { "-3", "3", "" },
        { "2*-3", "B6B:2*3", "" },
        { "2+3+", "B5B:2+3", "" },
        { "3d6++", "B13B:13+0", "" },
        { "2.5+1", "B3.50B:2.50+1", "" },
        { "1e2", "100", "" },
        { "0-0", "B0B:0-0", "" },
    };
    dice::ReseedPin pin(PinnedSeed);
    for (const RollCase& c : cases) {
        const dice::RollResult roll = dice::EvaluateRoll(c.Text);
        EXPECT_EQ(roll.Error, 0) << c.Text;
        EXPECT_EQ(roll.Text, WithBold(c.Expected)) << c.Text;
    }
}

struct ErrorCase {
    const char* Text;
    int Error;
};

TEST(Roller, ReportsEachErrorCode)
{
    const ErrorCase cases[] = {
        { "xd6", 1 },
        { "1.5d6", 1 },
        { "99999999999d6", 1 },
        { "3d6x", 2 },
        { "3d", 2 },
        { "3d-1", 2 },
        { "0d6", 3 },
        { "101d6", 4 },
        { "3d10001", 6 },
        { "abc", 7 },
        { "3D6", 7 },
        { "(3d6", 8 },
        { "3d6)", 8 },
        { "0#d6", 9 },
        { "21#d6", 10 },
        { "3d6 full short", 11 },
        { "3d6 s f", 11 },
        { "", 12 },
        { ")3d6(", 12 },
        { "1/0", 12 },
        { "(1-1)/(2-2)", 12 },
        { "#3d6", 12 },
        { "3#", 12 },
        { "()", 12 },
        { "3d6+", 12 },
        { "3d6;", 12 },
        { ";;;;", 12 },
        { "#", 12 },
        { "1e999", 12 },
        { "(1)(2)", 12 },
        { "3d6 tn", 13 },
        { "3d6 tn x", 13 },
        { "3d6 tn 5 tn x", 13 },
        { "3d6 tn 1", 14 },
        { "3d6 tn 5 vs 1", 14 },
        { "3d6 vs -4", 14 },
        { "2d6 droplow 2", 15 },
        { "4d6+1d4 droplow", 15 },
        { "3d6x tn 1", 2 }, // a later error replaces the option error
        { "3d6;0d6 tn 5", 3 }, // several pools: the larger code
        { "abc;3d6x", 7 },
    };
    dice::ReseedPin pin(PinnedSeed);
    for (const ErrorCase& c : cases)
        EXPECT_EQ(dice::EvaluateRoll(c.Text).Error, c.Error) << c.Text;
    EXPECT_EQ(dice::EvaluateRoll("20#d6").Error, 0);
    EXPECT_EQ(dice::EvaluateRoll("2#4d6 droplow").Error, 0); // the drop count skips the repeat count
}

TEST(Roller, ErrorMessagesAreExact)
{
    EXPECT_EQ(dice::RollErrorMessage(8), "more opening than closing parentheses.  Or the other way round.");
    EXPECT_EQ(dice::RollErrorMessage(12), "error: make sure you specify parameters correctly.");
    EXPECT_EQ(dice::RollErrorMessage(15),
        "the number of dice dropped is higher or equal to the number of dice rolled.");
    EXPECT_EQ(dice::RollErrorMessage(0), "");
    EXPECT_EQ(dice::RollErrorMessage(16), "");
}

TEST(Roller, DiceStayWithinTheirFacesAndDroppedDiceAreTheLowest)
{
    for (int i = 0; i < 200; ++i) {
        const dice::RollResult roll = dice::EvaluateRoll("6d4 droplow 2 full");
        ASSERT_EQ(roll.Error, 0);
        // B total B [ f,f,f,f,f,f <dr:a,b> ]
        const QString inside = roll.Text.section(u'[', 1).chopped(1);
        const QStringList faces = inside.section(u'<', 0, 0).split(u',');
        const QStringList dropped = inside.section(u':', 1).chopped(1).split(u',');
        ASSERT_EQ(faces.size(), 6);
        ASSERT_EQ(dropped.size(), 2);
        QList<int> sorted;
        int sum = 0;
        for (const QString& face : faces) {
            ASSERT_GE(face.toInt(), 1);
            ASSERT_LE(face.toInt(), 4);
            sorted.append(face.toInt());
            sum += face.toInt();
        }
        std::sort(sorted.begin(), sorted.end());
        QList<int> droppedSorted { dropped[0].toInt(), dropped[1].toInt() };
        std::sort(droppedSorted.begin(), droppedSorted.end());
        EXPECT_EQ(droppedSorted, sorted.mid(0, 2)) << roll.Text.toStdString();
        EXPECT_EQ(roll.Text.section(dice::Bold, 1, 1).toInt(), sum - sorted[0] - sorted[1]);
    }
}

// Whatever users type, the roller answers with a result or one of its codes, quickly.
TEST(Roller, SurvivesHostileRollTexts)
{
    QStringList hostile {
        QString(250, u'(') + "1" + QString(250, u')'),
        QString(400, u'9'),
        "1" + QString(300, u'0') + "*" + "1" + QString(300, u'0'),
        QString(499, u'+') + "1",
        QString(500, u'#'),
        QString(500, u';'),
        QStringLiteral("d6+").repeated(166),
        QStringLiteral("20#100d10000 tn 2 droplow 99 full"),
        QStringLiteral("20#(100d6*100d6*100d6*100d6*100d6)"),
        QStringLiteral("1e308*1e308"),
        QStringLiteral("-1e308-1e308-1e308"),
        QString(5000, u'd'),
    };
    dice::SeedGenerator(99);
    const QString alphabet = QStringLiteral("0123456789d#;()+-*/ .etnvsfulhrowpD");
    for (int i = 0; i < 3000; ++i) {
        QString text;
        const int length = dice::RandomBelow(40);
        for (int k = 0; k < length; ++k)
            text += alphabet[dice::RandomBelow(static_cast<int>(alphabet.size()))];
        hostile.append(text);
    }
    for (const QString& text : hostile) {
        const dice::RollResult roll = dice::EvaluateRoll(text);
        ASSERT_GE(roll.Error, 0) << text.toStdString();
        ASSERT_LE(roll.Error, 15) << text.toStdString();
        EXPECT_LE(roll.Comment.size(), dice::MaxRollTextChars);
    }
}

TEST(Roller, NeverCutsACharacterInHalf)
{
    const QString die = QString::fromUtf8("\xf0\x9f\x8e\xb2");
    QString text = "3d6 ";
    while (text.size() < 520)
        text += die;
    const dice::RollResult roll = dice::EvaluateRoll(text);
    ASSERT_EQ(roll.Error, 0);
    EXPECT_FALSE(roll.Comment.isEmpty());
    EXPECT_FALSE(roll.Comment.back().isHighSurrogate());
}

} // namespace
