// The dice-notation commands through the whole bot: r, gmroll and inline rolls, where each answer goes,
// the settings that steer them, and addressing the bot with a colon. The notation itself is tested in
// tests/dice.

#include "commands/help.h"
#include "dice/randomsource.h"
#include "support/botfixture.h"
#include "support/qtprint.h"
#include "support/seedsearch.h"

#include <gtest/gtest.h>

namespace {

// "B" in an expected line stands for the bold toggle, "~" for the strikethrough toggle.
QStringList Marked(std::initializer_list<const char*> lines)
{
    QStringList result;
    for (const char* line : lines) {
        QString text = QString::fromUtf8(line);
        text.replace(u'B', QChar(2));
        text.replace(u'~', QChar(0x1E));
        result.append(text);
    }
    return result;
}

struct CommandCase {
    const char* Settings; // tessarin.ini
    const char* Channel; // empty for a private message
    const char* Line;
    std::initializer_list<std::pair<int, int>> Draws; // (range, value) of RandomBelow, in order
    std::initializer_list<const char*> Expected;
};

class NotationCommandTest : public testing_support::BotFixture {
protected:
    // Each case gets a folder of its own: settings read from a rewritten file may come from a cache.
    QStringList Run(const CommandCase& c)
    {
        testing_support::TempFiles folder;
        folder.Write("tessarin.ini", c.Settings);
        bot = std::make_unique<commands::Bot>(folder.Path(), out, roster, clock);
        bot->Start();
        bot->State().CurrentChannels = roster.Nicks.keys();
        const std::optional<std::uint32_t> seed = testing_support::SeedGiving(c.Draws);
        EXPECT_TRUE(seed);
        const dice::ReseedPin pin(seed.value_or(0));
        const QStringList answer = Say("Kell", QString::fromUtf8(c.Channel), QString::fromUtf8(c.Line));
        bot.reset();
        return answer;
    }
};

const char* const InlineOn = "[dice]\ninline_rolls = yes\n";
const char* const ColonOn = "[commands]\naddress_with_colon = yes\n";

const char* const NobodyElse
    = "PRIVMSG Kell :Kell, no game master is here to see that roll; only you saw it.";

TEST_F(NotationCommandTest, AnswersEachCommandWhereItBelongs)
{
    roster.Nicks["#dice"] = QStringList { "Kell", "vera" };
    const CommandCase cases[] = {
        { "", "#dice", ",r 4d6kh3", { { 6, 5 }, { 6, 4 }, { 6, 2 }, { 6, 0 } },
            { "PRIVMSG #dice :Kell: 4d6kh3 [6, 5, 3, ~1~] = B14B" } },
        { "", "#dice", ",R d20+5 Attack on the troll", { { 20, 12 } },
            { "PRIVMSG #dice :Kell, Attack on the troll: d20 [13] + 5 = B18B" } },
        { "", "#dice", ",r 4d6kk3", {},
            { "PRIVMSG Kell :Kell, I can't read \"4d6kk3\" at \"kk\": that is no dice modifier (kh kl dh dl "
              "r ro ! "
              "!! !p >= f dbl)." } },
        { "", "#dice", ",r 1001d6", {}, { "PRIVMSG Kell :Kell, I roll at most 1,000 dice at once." } },
        // Addressing with a colon, where the operator allows it, is addressing with a comma.
        { ColonOn, "#dice", "Tessarin: r d6", { { 6, 3 } }, { "PRIVMSG #dice :Kell: d6 [4] = B4B" } },
        { ColonOn, "#dice", "Tessarin, r d6", { { 6, 3 } }, { "PRIVMSG #dice :Kell: d6 [4] = B4B" } },
        { ColonOn, "#dice", "tessarin: r d6", {}, {} },
        { ColonOn, "#dice", "Tessarin:r d6", {}, {} },
        { ColonOn, "#dice", "Tessarin:  r d6", {},
            { "PRIVMSG Kell :I can't imagine what the hell you are babbling about." } },
        { "", "#dice", "Tessarin: r d6", {}, {} },
        // The game master is the owner until one is set, but never the placeholder nick of a new
        // configuration: the roller alone sees the roll and is told so.
        { "", "#dice", ",gmroll d20 Stealth", { { 20, 16 } },
            { "PRIVMSG Kell :Kell, Stealth: d20 [17] = B17B", NobodyElse,
                "PRIVMSG #dice :Kell rolled in secret." } },
        { "", "", ",gr d20", { { 20, 0 } }, { "PRIVMSG Kell :Kell: d20 [1] = B1B", NobodyElse } },
        // The roller and a game master the bot sees get the same line.
        { "[dice]\ngame_master = Vera\n", "#dice", ",gr d20", { { 20, 0 } },
            { "PRIVMSG Kell :Kell: d20 [1] = B1B", "PRIVMSG vera :Kell in #dice: d20 [1] = B1B",
                "PRIVMSG #dice :Kell rolled in secret." } },
        { "[dice]\ngame_master = Zara\n", "#dice", ",gr d20", { { 20, 0 } },
            { "PRIVMSG Kell :Kell: d20 [1] = B1B", NobodyElse, "PRIVMSG #dice :Kell rolled in secret." } },
        { "[dice]\ngame_master = kell\n", "#dice", ",gr d20", { { 20, 0 } },
            { "PRIVMSG Kell :Kell: d20 [1] = B1B", "PRIVMSG #dice :Kell rolled in secret." } },
        // A game master who sees private rolls too.
        { "[dice]\ngame_master = Vera\n", "", ",gr d20", { { 20, 0 } },
            { "PRIVMSG Kell :Kell: d20 [1] = B1B", "PRIVMSG vera :Kell: d20 [1] = B1B" } },
        { "", "#dice", ",gr d20+", {},
            { "PRIVMSG Kell :Kell, I can't read \"d20+\" at its end: a number, dice or \"(\" should come "
              "here." } },
        // Inline rolls: only where they are on, only in channels, at most three a line.
        { InlineOn, "#dice", "I hit [[d20+5]] for [[2d6+3]]!", { { 20, 12 }, { 6, 3 }, { 6, 0 } },
            { "PRIVMSG #dice :Kell: [[d20+5]] = B18B, [[2d6+3]] = B8B" } },
        { InlineOn, "#dice", "[[1]] [[2]] [[3]] [[4]]", {},
            { "PRIVMSG #dice :Kell: [[1]] = B1B, [[2]] = B2B, [[3]] = B3B" } },
        { InlineOn, "#dice", "[[2d6 fire]]", {},
            { "PRIVMSG Kell :Kell, I can't read \"2d6 fire\" at \"fire\": an operator (+ - * /) or \";\" "
              "should "
              "come here." } },
        { InlineOn, "", "[[d20]]", {}, {} },
        { InlineOn, "#dice", "[[d20]] and [[d4 unclosed", { { 20, 4 } },
            { "PRIVMSG #dice :Kell: [[d20]] = B5B" } },
        { InlineOn, "#dice", ",r d6 [[d20]]", { { 6, 1 } },
            { "PRIVMSG #dice :Kell, [[d20]]: d6 [2] = B2B" } },
        { "", "#dice", "I hit [[d20+5]]", {}, {} },
        { "[dice]\ninline_rolls = maybe\n", "#dice", "I hit [[d20+5]]", {}, {} },
    };
    for (const CommandCase& c : cases) {
        EXPECT_EQ(Run(c), Marked(c.Expected)) << c.Line << " with " << c.Settings;
    }
}

TEST_F(NotationCommandTest, InlineRollsPassOverBannedUsersAndAreLogged)
{
    files.Write("tessarin.ini", InlineOn);
    files.Write("banned.conf", "Troll\r\n");
    Start();
    EXPECT_TRUE(Say("Troll", "#dice", "[[d20]]").isEmpty());
    EXPECT_EQ(Say("Kell", "#dice", "[[7]]"), Marked({ "PRIVMSG #dice :Kell: [[7]] = B7B" }));
    EXPECT_TRUE(bot->Log().Lines().last().endsWith(". User Kell on channel #dice. Inline rolls=[[7]]."))
        << bot->Log().Lines().last().toStdString();
}

TEST_F(NotationCommandTest, LeavesTheClassicRollAsItWas)
{
    // The classic roller knows no "kh": it cannot read the sides of "4d6kh3". Every term reseeds.
    Start();
    const dice::ReseedPin pin(4357);
    EXPECT_EQ(Say("Kell", "#dice", ",roll 4d6kh3"),
        QStringList { "PRIVMSG Kell :Kell, dice side number for one of the dice rolls isn't an integer." });
    EXPECT_EQ(Say("Kell", "#dice", ",roll 4d6"), QStringList { "PRIVMSG #dice :Kell: 18" });
}

TEST_F(NotationCommandTest, ShortensAnswersToOneLine)
{
    Start();
    const QStringList lines = Say("Kell", "#dice", ",r 10#100d6");
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith("PRIVMSG #dice :Kell: 100d6 [100 dice] = ")) << lines[0].toStdString();
    // Two hundred totals are too many even alone.
    EXPECT_EQ(Say("Kell", "#dice", ",r " + QString("1;").repeated(200) + "1"),
        QStringList {
            "PRIVMSG Kell :Kell, that answer would not fit on one line, even as totals; ask for fewer "
            "rolls." });
}

TEST_F(NotationCommandTest, HelpExplainsTheNotationAndTheGeneralHelpNamesIt)
{
    Start();
    const QStringList topic = Say("Kell", "#dice", ",help r");
    ASSERT_EQ(topic.size(), 9);
    EXPECT_TRUE(topic[0].startsWith("PRIVMSG Kell :Say \"r\", and I will roll dice"))
        << topic[0].toStdString();
    EXPECT_EQ(commands::HelpLines("gmroll", bot->State()), commands::HelpLines("r", bot->State()));
    EXPECT_EQ(
        commands::HelpLines(QString(), bot->State())[2], "Random generation: roll, r, tarot, space, art.");
}

} // namespace
