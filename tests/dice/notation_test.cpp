// The dice notation on scripted faces: what each element rolls and shows, how the elements combine, the
// bounds and the errors.

#include "dice/notationformat.h"
#include "dice/notationparser.h"
#include "support/qtprint.h"
#include "support/scriptedfaces.h"

#include <gtest/gtest.h>

namespace {

using testing_support::ScriptedFaces;

// "B" in an expected text stands for the bold toggle, "~" for the strikethrough toggle.
QString Marked(const char* text)
{
    QString result = QString::fromUtf8(text);
    result.replace(u'B', QChar(2));
    result.replace(u'~', dice::Strike);
    return result;
}

// The answer for text on the faces, or the error's message.
QString Answer(const QString& text, ScriptedFaces& faces, qsizetype budget = 400)
{
    const auto parsed = dice::ParseNotation(text);
    if (const auto* error = std::get_if<dice::NotationError>(&parsed))
        return error->Message();
    const dice::RollText& roll = std::get<dice::RollText>(parsed);
    const auto rolled = dice::RollNotation(roll, faces);
    if (const auto* error = std::get_if<dice::NotationError>(&rolled))
        return error->Message();
    return dice::FormatNotation(roll, std::get<std::vector<dice::RollOutcome>>(rolled), budget)
        .value_or(QStringLiteral("(nothing fits)"));
}

struct RollCase {
    const char* Text;
    QList<int> Faces;
    const char* Expected;
};

TEST(Notation, RollsAndShowsEachElementAndTheirCombinations)
{
    const RollCase cases[] = {
        { "3d6", { 4, 2, 5 }, "3d6 [4, 2, 5] = B11B" },
        { "d20+5", { 13 }, "d20 [13] + 5 = B18B" },
        { "D20 +  5", { 13 }, "D20 [13] + 5 = B18B" },
        { "d%", { 42 }, "d% [42] = B42B" },
        { "4dF", { 1, 2, 3, 3 }, "4dF [-, 0, +, +] = B1B" },
        { "4d6kh3", { 6, 5, 3, 1 }, "4d6kh3 [6, 5, 3, ~1~] = B14B" },
        { "4d6k3", { 6, 5, 3, 1 }, "4d6k3 [6, 5, 3, ~1~] = B14B" },
        { "2d20kl1+5", { 15, 8 }, "2d20kl1 [~15~, 8] + 5 = B13B" },
        { "4d6dl1", { 3, 1, 6, 1 }, "4d6dl1 [3, ~1~, 6, 1] = B10B" }, // a tie drops the earlier lowest
        { "4d6dh1", { 6, 2, 6, 3 }, "4d6dh1 [6, 2, ~6~, 3] = B11B" }, // and the later highest
        { "3d6kh5", { 1, 2, 3 }, "3d6kh5 [1, 2, 3] = B6B" },
        { "3d6!", { 6, 4, 2, 5 }, "3d6! [6!4, 2, 5] = B17B" },
        { "2d6!>=5", { 5, 6, 1, 3 }, "2d6!>=5 [5!6!1, 3] = B15B" },
        { "2d6!!", { 6, 6, 2, 3 }, "2d6!! [6!6!2, 3] = B17B" },
        { "2d6!p", { 6, 6, 2, 3 }, "2d6!p [6!5!1, 3] = B15B" },
        { "4d6!kh3", { 6, 3, 2, 1, 4 }, "4d6!kh3 [6!3, ~2~, ~1~, 4] = B13B" }, // explode, then keep
        { "2d6!!kh1", { 6, 1, 5 }, "2d6!!kh1 [6!1, ~5~] = B7B" }, // a compounded die is kept whole
        { "3d6>=5", { 5, 2, 6 }, "3d6>=5 [5, 2, 6] = B2 successesB" },
        { "1d6>5", { 6 }, "1d6>5 [6] = B1 successB" },
        { "2d6=6", { 1, 2 }, "2d6=6 [1, 2] = B0 successesB" },
        { "3d10>=7!", { 10, 7, 3, 9 }, "3d10>=7! [10!7, 3, 9] = B3 successesB" }, // each explosion counts
        { "2d6>=8!!", { 6, 3, 5 }, "2d6>=8!! [6!3, 5] = B1 successB" }, // a compounded die counts once
        { "4d10>=7dbl10", { 10, 7, 3, 10 }, "4d10>=7dbl10 [10, 7, 3, 10] = B5 successesB" },
        { "4d6>=4f1", { 1, 4, 5, 1 }, "4d6>=4f1 [1, 4, 5, 1] = B0 successesB" },
        { "4D6>=4F1DbL5", { 1, 4, 5, 1 }, "4D6>=4F1DbL5 [1, 4, 5, 1] = B1 successB" },
        { "4d6<3f=6", { 1, 6, 2, 4 }, "4d6<3f=6 [1, 6, 2, 4] = B1 successB" },
        { "4dF>=0", { 1, 2, 3, 2 }, "4dF>=0 [-, 0, +, 0] = B3 successesB" },
        { "3d6r1", { 1, 1, 4, 2, 6 }, "3d6r1 [~1~, ~1~, 4, 2, 6] = B12B" },
        { "3d6ro1", { 1, 1, 2, 6 }, "3d6ro1 [~1~, 1, 2, 6] = B9B" },
        { "4d6r<=2kh3", { 2, 5, 1, 3, 6, 4 }, "4d6r<=2kh3 [~2~, 5, ~1~, ~3~, 6, 4] = B15B" }, // reroll, keep
        { "(2d6+3)*2", { 4, 1 }, "(2d6 [4, 1] + 3) * 2 = B16B" },
        { "2+3*4-6/2", {}, "2 + 3 * 4 - 6 / 2 = B11B" },
        { "7/2", {}, "7 / 2 = B3.5B" },
        { "d6/3", { 2 }, "d6 [2] / 3 = B0.67B" },
        { "floor(7/2)+ceil(1/3)", {}, "floor(7 / 2) + ceil(1 / 3) = B4B" },
        { "round(d6/4)", { 6 }, "round(d6 [6] / 4) = B2B" },
        { "abs(1-d6)", { 4 }, "abs(1 - d6 [4]) = B3B" },
        { "-d4+10", { 3 }, "-d4 [3] + 10 = B7B" },
        { "{d8!, d6!}kh1", { 8, 3, 4 }, "{d8! [8!3], ~d6! [4]~}kh1 = B11B" },
        { "{4d6kh3, 3d6}kh1", { 6, 5, 3, 1, 2, 2, 2 }, "{4d6kh3 [6, 5, 3, ~1~], ~3d6 [2, 2, 2]~}kh1 = B14B" },
        { "{3d6, 2d8}>=7", { 1, 1, 1, 4, 4 }, "{3d6 [1, 1, 1], 2d8 [4, 4]}>=7 = B1 successB" },
        { "{d6, 5}", { 2 }, "{d6 [2], 5} = B7B" },
        { "{2d6, 3}kl1", { 1, 1 }, "{2d6 [1, 1], ~3~}kl1 = B2B" },
        { "{d6, d6, d6}dh1>=4f1", { 6, 1, 4 }, "{~d6 [6]~, d6 [1], d6 [4]}dh1>=4f1 = B0 successesB" },
        { "2d6>=5!p", { 6, 6, 4, 5 }, "2d6>=5!p [6!5!3, 5] = B3 successesB" }, // a penetrated 6 counts 5
        { "dF!", { 3, 3, 1 }, "dF! [+!+!-] = B1B" },
        { "3#d6", { 1, 2, 3 }, "d6 [1] = B1B; d6 [2] = B2B; d6 [3] = B3B" },
        { "d20; 2#d4", { 11, 3, 4 }, "d20 [11] = B11B; d4 [3] = B3B; d4 [4] = B4B" },
    };
    for (const RollCase& c : cases) {
        ScriptedFaces faces(c.Faces);
        EXPECT_EQ(Answer(QString::fromUtf8(c.Text), faces), Marked(c.Expected)) << c.Text;
        EXPECT_EQ(faces.Used(), faces.Scripted()) << c.Text;
    }
}

TEST(Notation, AsksTheFaceSourceForTheRightDice)
{
    const std::pair<const char*, QList<int>> cases[] = {
        { "2d%", { 100, 100 } },
        { "dF", { 3 } },
        { "{d8, 2d6}", { 8, 6, 6 } },
        { "d4+d10000", { 4, 10000 } },
    };
    for (const auto& [text, sides] : cases) {
        ScriptedFaces faces = ScriptedFaces::Always(1);
        Answer(QString::fromUtf8(text), faces);
        EXPECT_EQ(faces.Sides, sides) << text;
    }
}

TEST(Notation, KeepsEachDieForLaterUse)
{
    const dice::RollText text = std::get<dice::RollText>(dice::ParseNotation("4d6r1kh2+1"));
    ScriptedFaces faces({ 1, 6, 2, 5, 3 });
    const auto rolls = std::get<std::vector<dice::RollOutcome>>(dice::RollNotation(text, faces));
    ASSERT_EQ(rolls.size(), 1u);
    EXPECT_EQ(rolls[0].Total, 12);
    ASSERT_EQ(rolls[0].Dice.size(), 1u);
    const dice::DiceOutcome& term = rolls[0].Dice[0];
    EXPECT_EQ(term.Total, 11);
    const std::vector<std::tuple<int, bool, bool>> expected { { 1, false, true }, { 6, false, false },
        { 2, true, false }, { 5, false, false }, { 3, true, false } };
    ASSERT_EQ(term.Dice.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(term.Dice[i].Value, std::get<0>(expected[i])) << i;
        EXPECT_EQ(term.Dice[i].Dropped, std::get<1>(expected[i])) << i;
        EXPECT_EQ(term.Dice[i].Rerolled, std::get<2>(expected[i])) << i;
    }
}

TEST(Notation, TakesTheWordsAfterTheRollAsItsComment)
{
    const std::pair<const char*, const char*> cases[] = {
        { "d20+5 to hit", "to hit" },
        { "d20 +5 to hit", "to hit" },
        { "2d6 (fire)", "(fire)" },
        { "d6;d4  Two Things; really", "Two Things; really" },
        { "4d6kh3", "" },
    };
    for (const auto& [text, comment] : cases) {
        const auto parsed = dice::ParseNotation(QString::fromUtf8(text));
        ASSERT_TRUE(std::holds_alternative<dice::RollText>(parsed)) << text;
        EXPECT_EQ(std::get<dice::RollText>(parsed).Comment, comment) << text;
    }
    EXPECT_EQ(std::get<dice::NotationError>(dice::ParseNotation("2d6 fire", false)).At, "fire");
}

TEST(Notation, NamesWhatItCannotReadAndWhere)
{
    const std::pair<const char*, const char*> cases[] = {
        { "4d6kk3",
            "I can't read \"4d6kk3\" at \"kk\": that is no dice modifier (kh kl dh dl r ro ! !! !p >= f "
            "dbl)." },
        { "2d6+", "I can't read \"2d6+\" at its end: a number, dice or \"(\" should come here." },
        { "d20; 2d6+ Goblin",
            "I can't read \"2d6+ Goblin\" at \"Goblin\": a number, dice, \"(\" or a function "
            "(floor, ceil, round, abs) should come here." },
        { "2d",
            "I can't read \"2d\" at its end: the number of sides, \"%\" or \"F\" should follow the \"d\"." },
        { "2dx",
            "I can't read \"2dx\" at \"x\": the number of sides, \"%\" or \"F\" should follow the \"d\"." },
        { "(2d6", "I can't read \"(2d6\" at its end: a \")\" should close the \"(\" here." },
        { "2d6)",
            "I can't read \"2d6)\" at \")\": an operator (+ - * /), \";\" or a blank before a comment "
            "should come here." },
        { "{d6 d8}", "I can't read \"{d6 d8}\" at \"d\": a \",\" or \"}\" should come here." },
        { "0d6", "I can't read \"0d6\" at \"0\": a roll needs at least one die." },
        { "d0", "I can't read \"d0\" at \"0\": dice have 1 to 10000 sides." },
        { "21#d6", "I can't read \"21#d6\" at \"21\": a roll is repeated 1 to 20 times." },
        { "d1!", "I can't read \"d1!\" at \"!\": every face would explode, so the roll would never end." },
        { "dF!>=-1",
            "I can't read \"dF!>=-1\" at \"!\": every face would explode, so the roll would never end." },
        { "d6r<=6",
            "I can't read \"d6r<=6\" at \"r\": every face would be rerolled, so the roll would never end." },
        { "d6kh1kl1", "I can't read \"d6kh1kl1\" at \"kl\": a roll keeps or drops by one rule only." },
        { "3d6>=", "I can't read \"3d6>=\" at its end: a number should come here." },
        { "floor 3", "I can't read \"floor 3\" at \"3\": a \"(\" should follow the function's name." },
        { "{d6}!", "I can't read \"{d6}!\" at \"!\": a group does not explode; explode the dice inside it." },
        { "9999999999", "I can't read \"9999999999\" at \"9999999999\": that number is too large." },
        { "2d6!!!", "I can't read \"2d6!!!\" at \"!\": dice explode by one rule only." },
        { "4d6r1ro2", "I can't read \"4d6r1ro2\" at \"ro\": dice reroll by one rule only." },
        { "3d6>=4<2", "I can't read \"3d6>=4<2\" at \"<\": a roll counts successes by one rule only." },
        { "3d6f1f2", "I can't read \"3d6f1f2\" at \"f\": that rule is given twice." },
        { "d6ro", "I can't read \"d6ro\" at its end: a number should come here." },
        { "{d6}r1", "I can't read \"{d6}r1\" at \"r\": a group does not reroll; reroll the dice inside it." },
        { "abs(d6", "I can't read \"abs(d6\" at its end: a \")\" should close the \"(\" here." },
        { "2#", "I can't read \"2#\" at its end: a number, dice or \"(\" should come here." },
        { "", "tell me what to roll, for example 4d6kh3." },
        { "1001d6", "I roll at most 1,000 dice at once." },
        { "11#100d6", "I roll at most 1,000 dice at once." },
        { "600d6+400d6;d4", "I roll at most 1,000 dice at once." },
        { "1/(d6-1)", "I can't divide by zero." },
    };
    for (const auto& [text, message] : cases) {
        ScriptedFaces faces = ScriptedFaces::Always(1);
        EXPECT_EQ(Answer(QString::fromUtf8(text), faces), QString::fromUtf8(message)) << text;
    }
    ScriptedFaces faces({});
    EXPECT_EQ(Answer(QString(501, u'1'), faces), "that roll is too long: I read at most 500 characters.");
}

TEST(Notation, StopsADieThatExplodesOrRerollsTooOften)
{
    ScriptedFaces sixes = ScriptedFaces::Always(6);
    EXPECT_EQ(Answer("d6!>=2", sixes), "a die exploded more than 100 times, so I stopped rolling.");
    EXPECT_EQ(sixes.Used(), 1 + dice::MaxExplosionsPerDie);
    ScriptedFaces ones = ScriptedFaces::Always(1);
    EXPECT_EQ(Answer("d6r<=5", ones), "a die was rerolled more than 100 times, so I stopped rolling.");
    // One explosion short of the bound still rolls.
    QList<int> script(dice::MaxExplosionsPerDie, 6);
    script.append(1);
    ScriptedFaces hundred(script);
    EXPECT_TRUE(Answer("d6!", hundred).endsWith(Marked("] = B601B")));
}

TEST(Notation, ShortensAnAnswerTooLongForOneLine)
{
    const struct {
        const char* Text;
        qsizetype Budget;
        const char* Expected;
    } cases[] = {
        { "100d6kh1", 100, "100d6kh1 [100 dice, 99 dropped] = B3B" },
        { "2#100d6", 100, "100d6 [100 dice] = B300B; 100d6 [100 dice] = B300B" },
        { "20#50d6", 400,
            "B150B; B150B; B150B; B150B; B150B; B150B; B150B; B150B; B150B; B150B; B150B; B150B; "
            "B150B; B150B; B150B; B150B; B150B; B150B; B150B; B150B" },
        { "2#100d6", 10, "(nothing fits)" },
    };
    for (const auto& c : cases) {
        ScriptedFaces faces = ScriptedFaces::Always(3);
        EXPECT_EQ(Answer(QString::fromUtf8(c.Text), faces, c.Budget), Marked(c.Expected)) << c.Text;
    }
    EXPECT_EQ(dice::Utf8Bytes(u"a\u00e9\u20ac\U0001F3B2"), 1 + 2 + 3 + 4);
}

} // namespace
