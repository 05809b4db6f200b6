#include "commands/bot.h"
#include "commands/commandline.h"
#include "commands/privilegegate.h"
#include "dice/randomsource.h"
#include "dice/roller.h"
#include "support/botfixture.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

using testing_support::TempFiles;

const QString Unknown = QStringLiteral("I can't imagine what the hell you are babbling about.");
const QString Banned = QStringLiteral("Silence, you funny fool! Lol banned.");
const QString LostFile
    = QStringLiteral("I seem to have lost the file with the answers. Maybe you have seen it?");

struct SplitCase {
    const char* Line;
    const char* Word;
    const char* Parameter;
};

TEST(CommandLine, SplitsTheWordFromTheParameter)
{
    const SplitCase cases[] = {
        { ",ROLL 2d6", "ROLL", "2d6" },
        { ",Seen Bob", "Seen", "Bob" },
        { ",roll", "roll", "" },
        { ",roll  2d6", "roll", " 2d6" },
        { "roll 2d6", "roll", "2d6" }, // addressed by nick: no command character
        { ",", "", "" },
        { ", x", "", "x" },
        { ",roll 2d6 full tn 5", "roll", "2d6 full tn 5" },
        { "", "", "" },
    };
    for (const SplitCase& c : cases) {
        const commands::CommandLine split = commands::SplitCommandLine(c.Line, ",");
        EXPECT_EQ(split.Word, c.Word) << c.Line;
        EXPECT_EQ(split.Parameter, c.Parameter) << c.Line;
    }
}

TEST(CommandLine, CapsTheParameterAndALoneWordAtFiveHundredCharacters)
{
    const QString die = QString::fromUtf8("\xf0\x9f\x8e\xb2");
    QString parameter;
    for (int i = 0; i < 600; ++i)
        parameter += die;
    const commands::CommandLine split = commands::SplitCommandLine(",roll " + parameter, ",");
    EXPECT_EQ(split.Parameter.size(), 1000); // 500 characters of two UTF-16 units each
    EXPECT_TRUE(split.Parameter.endsWith(die));
    EXPECT_EQ(commands::SplitCommandLine("," + QString(800, u'w'), ",").Word.size(), 500);
}

TEST(CommandLine, RecognisesTheBareTarotForm)
{
    for (const char* yes : { ",3cT", ",12cD full", ",3c", ",9ccc" })
        EXPECT_TRUE(commands::IsBareTarotForm(yes)) << yes;
    for (const char* no : { ",3xT", ",c3", ",123cT", ",xcT", ",3CT", ",", "" })
        EXPECT_FALSE(commands::IsBareTarotForm(no)) << no;
}

TEST(PrivilegeGate, LetsThroughTheOwnerAndThePrivilegedButNotTheCreatorsNick)
{
    core::BotState state;
    state.OwnerNick = "Kell";
    state.PrivilegedUsers = { "Mira" };
    const testing_support::FixedRoster roster;
    EXPECT_TRUE(commands::PassesGate(state, roster, false, "Anyone"));
    EXPECT_TRUE(commands::PassesGate(state, roster, true, "Kell"));
    EXPECT_TRUE(commands::PassesGate(state, roster, true, "kell"));
    EXPECT_TRUE(commands::PassesGate(state, roster, true, "MIRA"));
    // A nick is no evidence of being the creator: anybody may take it.
    EXPECT_FALSE(commands::PassesGate(state, roster, true, "Vaddox"));
    EXPECT_FALSE(commands::PassesGate(state, roster, true, "Anyone"));
}

using BotTest = testing_support::BotFixture;

TEST_F(BotTest, AnUnknownCommandIsAnsweredPrivatelyAndLogged)
{
    Start();
    EXPECT_EQ(Say("Bob", "#dice", ",ROLLL 2d6"), QStringList({ "PRIVMSG Bob :" + Unknown }));
    EXPECT_EQ(bot->Log().Lines(),
        QStringList({ "07.12.26 10:15:02. User Bob on channel #dice. Commandword=ROLLL. Parameter=2d6" }));
}

TEST_F(BotTest, TheCommandLogShowsControlCharactersEscapedWhileRepliesKeepThem)
{
    Start();
    dice::ReseedPin pin(4357);
    const QString controls = QString(QChar(0)) + QChar(2) + QChar(0x1f) + QChar(0x7f) + QChar(0x85);
    EXPECT_EQ(Say("Kell", "#dice", ",roll 3d6 Attack" + controls),
        QStringList({ "PRIVMSG #dice :Kell, Attack" + controls + ": 13" }));
    Say("Kell", "#dice", "Tessarin, hello" + QString(QChar(1)));
    const QStringList& log = bot->Log().Lines();
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log[0],
        "07.12.26 10:15:02. User Kell on channel #dice. Commandword=roll. "
        "Parameter=3d6 Attack\\x00\\x02\\x1f\\x7f\\x85");
    EXPECT_EQ(log[1], "hello\\x01");
    EXPECT_TRUE(log[2].endsWith("Commandword=hello\\x01. Parameter=")) << log[2].toStdString();
}

TEST_F(BotTest, ABannedUserGetsOnlyTheBannedReply)
{
    files.Write("banned.conf", "Troll\r\n");
    files.Write("custom/help.txt", "never quoted\r\n");
    Start();
    EXPECT_EQ(Say("troll", "#dice", ",help"), QStringList({ "PRIVMSG troll :" + Banned }));
    EXPECT_EQ(bot->Log().Lines(),
        QStringList({ "07.12.26 10:15:02. User troll on channel #dice. Commandword=help. Parameter=",
            "troll is banned. Command rejected." }));
}

TEST_F(BotTest, CustomFilesAreFoundByNameByNumberAndBeforeBuiltInCommands)
{
    QByteArray table;
    for (int i = 1; i <= 10; ++i)
        table += QByteArray("entry ") + QByteArray::number(i) + "\r\n";
    files.Write("custom/my table.txt", table);
    files.Write("custom/roll.txt", "rolled from a file\r\n");
    files.Write("custom/Upper.TXT", "read as the folder spells it\r\n");
    Start();

    EXPECT_EQ(Say("Bob", "#dice", ",upper"), QStringList({ "PRIVMSG #dice :read as the folder spells it" }));
    EXPECT_EQ(
        Say("Bob", "#dice", ",UPPER 1"), QStringList({ "PRIVMSG #dice :read as the folder spells it" }));

    EXPECT_EQ(Say("Bob", "#dice", ",my table 3"), QStringList({ "PRIVMSG #dice :entry 3" }));
    EXPECT_EQ(Say("Bob", "#dice", ",My Table 10"), QStringList({ "PRIVMSG #dice :entry 10" }));
    EXPECT_EQ(Say("Bob", "#dice", ",my table 11"),
        QStringList({ "PRIVMSG #dice :Make sure you specify correct quote number. Maximum is 10." }));
    EXPECT_EQ(Say("Bob", "#dice", ",roll 2d6"), QStringList({ "PRIVMSG #dice :rolled from a file" }));

    const QStringList random = Say("Bob", "#dice", ",my table");
    ASSERT_EQ(random.size(), 1);
    EXPECT_TRUE(random.first().startsWith("PRIVMSG #dice :entry ")) << random.first().toStdString();
}

struct ReplyCase {
    QString Line;
    QString Reply;
};

// Command words, custom-file and alias names and keywords match whatever the case of the letters A to Z,
// and only of those: a Kelvin sign (U+212A) is no "k", a long s (U+017F) no "s".
TEST_F(BotTest, WordsMatchIgnoringTheCaseOfAsciiLettersOnly)
{
    files.Write("custom/kit.txt", "a kit\r\n");
    files.Write("aliases/Kiss.txt", ",hello\r\n");
    files.Write("div.txt", "a divination\r\n");
    files.Write("custom/sea.txt", "the sea\r\n");
    Start();
    const QString kelvin = QStringLiteral("\u212A");
    const QString longS = QStringLiteral("\u017F");
    const ReplyCase cases[] = {
        { ",NEWDECK", "PRIVMSG #dice :Bob, opened a new deck and ready to draw." },
        { ",newdec" + kelvin, "PRIVMSG Bob :" + Unknown },
        { ",KIT", "PRIVMSG #dice :a kit" },
        { "," + kelvin + "it", "PRIVMSG Bob :" + Unknown },
        { ",kIsS", "PRIVMSG #dice :Hello, Bob!" },
        { "," + kelvin + "iss", "PRIVMSG Bob :" + Unknown },
        { ",DIV 1", "PRIVMSG #dice :a divination" },
        { ",SEA", "PRIVMSG #dice :the sea" },
        { "," + longS + "ea", "PRIVMSG Bob :" + Unknown },
        { ",seen ANYONE", "PRIVMSG Bob :Users I've seen:  that's it." },
        { ",seen anyone" + longS, "PRIVMSG Bob :Never heard of this user." },
    };
    for (const ReplyCase& c : cases)
        EXPECT_EQ(Say("Bob", "#dice", c.Line), QStringList({ c.Reply })) << c.Line.toStdString();
}

// A number parameter is a number only as typed: with a blank before or after it, every command reads it
// as it reads any other text (a refusal, a random entry, the default count).
TEST_F(BotTest, ANumberParameterWithBlanksIsTextForEveryCommand)
{
    files.Write("RPGnoes.txt", "one\r\ntwo\r\nthree\r\nfour\r\nfive\r\n");
    files.Write("custom/my table.txt", "one\r\ntwo\r\nthree\r\nfour\r\nfive\r\n");
    Start();
    dice::ReseedPin pin(4357);
    struct SameAnswer {
        const char* Line;
        const char* ReadAs;
    };
    const SameAnswer cases[] = {
        { ",dhhit  2", ",dhhit x" },
        { ",dhhit 2 ", ",dhhit x" },
        { ",dhburst  3", ",dhburst x" },
        { ",dhfall  3", ",dhfall x" },
        { ",dhcrit E Head  3", ",dhcrit E Head x" },
        { ",dhcrit E Head 3 ", ",dhcrit E Head x" },
        { ",tarot  3cT", ",tarot xcT" },
        { ",noes  2", ",noes x" },
        { ",my table  2", ",my table x" },
        { ",last  2", ",last x" },
    };
    // What a line gets at once; a replay's later lines and its lock-out would otherwise answer the next one.
    const auto ask = [this](const char* line) {
        const QStringList answer = Say("Bob", "#dice", line);
        EXPECT_TRUE(testing_support::WaitUntil([this] { return !bot->Replay().Running(); }));
        out.Take();
        bot->State().LastLocked = false;
        return answer;
    };
    for (const SameAnswer& c : cases) {
        const QStringList answer = ask(c.Line);
        EXPECT_FALSE(answer.isEmpty()) << c.Line;
        EXPECT_EQ(answer, ask(c.ReadAs)) << c.Line;
    }
    EXPECT_EQ(Say("Bob", "#dice", ",dhhit 2").size(), 2);
    EXPECT_EQ(Say("Bob", "#dice", ",noes 2"), QStringList({ "PRIVMSG #dice :two" }));
}

TEST_F(BotTest, AQuotedEntryMayNameTheAskerAndActInsteadOfSpeaking)
{
    files.Write("custom/props.txt", "/me hands %NAME% a die\r\n%NAME% and %NAME%\r\n/ME shouts\r\n");
    Start();
    EXPECT_EQ(Say("Nick", "#dice", ",props 1"), QStringList({ "ACTION #dice :hands Nick a die" }));
    EXPECT_EQ(Say("Nick", "#dice", ",props 2"), QStringList({ "PRIVMSG #dice :Nick and %NAME%" }));
    EXPECT_EQ(Say("Nick", "#dice", ",props 3"), QStringList({ "PRIVMSG #dice :/ME shouts" }));
    EXPECT_EQ(Say("Nick", "#dice", ",props 0"),
        QStringList({ "PRIVMSG #dice :Make sure you specify correct quote number. Maximum is 3." }));
}

TEST_F(BotTest, AVanishedCustomFileGetsTheLostFilePhraseAndStopsBeingACommand)
{
    files.Write("custom/gone.txt", "soon gone\r\n");
    files.Write("custom/empty.txt", "");
    Start();
    QFile::remove(files.PathOf("custom/gone.txt"));
    EXPECT_EQ(Say("Bob", "#dice", ",gone"), QStringList({ "PRIVMSG Bob :" + LostFile }));
    EXPECT_EQ(Say("Bob", "#dice", ",gone"), QStringList({ "PRIVMSG Bob :" + Unknown }));
    EXPECT_EQ(Say("Bob", "#dice", ",empty"), QStringList({ "PRIVMSG Bob :" + LostFile }));
}

TEST_F(BotTest, TheBuiltInTablesAnswerWithTheLostFilePhraseWhenTheirFileIsMissing)
{
    Start();
    EXPECT_EQ(Say("Bob", "#dice", ",noes"), QStringList({ "PRIVMSG Bob :" + LostFile }));
    files.Write("RPGnoes.txt", "Never split the party.\r\n");
    EXPECT_EQ(Say("Bob", "#dice", ",NOES 1"), QStringList({ "PRIVMSG #dice :Never split the party." }));
}

TEST_F(BotTest, AliasesExpandTheWholeLine)
{
    files.Write("aliases/big.txt", ",roll parameter full\r\nignored\r\n");
    files.Write("aliases/Fireball.txt", "ROLL 8d6\r\n");
    Start();
    Say("Bob", "#dice", ",big 4d6");
    Say("Bob", "#dice", ",big");
    Say("Bob", "#dice", ",FIREBALL now");
    Say("Bob", "#dice", "Tessarin, big 4d6");
    const QStringList& log = bot->Log().Lines();
    ASSERT_EQ(log.size(), 5);
    EXPECT_TRUE(log[0].endsWith("Commandword=roll. Parameter=4d6 full"));
    EXPECT_TRUE(log[1].endsWith("Commandword=roll. Parameter= full"));
    EXPECT_TRUE(log[2].endsWith("Commandword=roll. Parameter=8d6"));
    EXPECT_EQ(log[3], "big 4d6");
    EXPECT_TRUE(log[4].endsWith("Commandword=big. Parameter=4d6"));
}

TEST_F(BotTest, AnAliasTableWhoseFirstNameIsEmptyExpandsNothing)
{
    files.Write("aliases/.txt", "roll 1d4\r\n");
    files.Write("aliases/big.txt", ",roll parameter full\r\n");
    Start();
    Say("Bob", "#dice", ",big 4d6");
    EXPECT_TRUE(bot->Log().Lines().first().endsWith("Commandword=big. Parameter=4d6"));
}

TEST_F(BotTest, AChangedCommandCharacterIsStrippedFromTheWord)
{
    files.Write("custom/tale.txt", "once upon a time\r\n");
    Start();
    bot->State().CommandChar = "!";
    EXPECT_EQ(Say("Bob", "#dice", "!tale"), QStringList({ "PRIVMSG #dice :once upon a time" }));
    EXPECT_TRUE(Say("Bob", "#dice", ",tale").isEmpty());
    EXPECT_EQ(Say("Bob", "#dice", "!zzz"), QStringList({ "PRIVMSG Bob :" + Unknown }));
}

TEST_F(BotTest, RollRepliesNameTheRollerAndSendErrorsPrivately)
{
    Start();
    dice::ReseedPin pin(4357); // every d6 term shows 5, 3, 5, ...
    EXPECT_EQ(Say("Kell", "#dice", ",roll 3d6 Attack"), QStringList({ "PRIVMSG #dice :Kell, Attack: 13" }));
    EXPECT_EQ(Say("Kell", "#dice", ",roll 3d6;1d4"), QStringList({ "PRIVMSG #dice :Kell: 13;3" }));
    EXPECT_EQ(Say("Kell", "#dice", ",roll 3d6 tn 1"),
        QStringList({ "PRIVMSG Kell :Kell, target number specified is too low." }));
    EXPECT_EQ(Say("Kell", "#dice", ",roll 3d6 tn 1 tn 5"), QStringList({ "PRIVMSG #dice :Kell: <h:2>13" }));
    // Values that still hold a group show the total first; a bare term shows only its total.
    const QString bold = dice::Bold;
    EXPECT_EQ(Say("Kell", "#dice", ",roll (2d6+3)"),
        QStringList({ "PRIVMSG #dice :Kell: " + bold + "11" + bold + ":(8+3)" }));
    EXPECT_EQ(Say("Kell", "#dice", ",roll ((1/3)*3)"),
        QStringList({ "PRIVMSG #dice :Kell: " + bold + "0.99" + bold + ":((1/3)*3)" }));
    EXPECT_EQ(Say("Kell", "#dice", ",roll 3d6"), QStringList({ "PRIVMSG #dice :Kell: 13" }));
    EXPECT_EQ(Say("Kell", "#dice", ",roll"),
        QStringList({ "PRIVMSG Kell :Kell, error: make sure you specify parameters correctly." }));

    bot->State().Dicerollan = true;
    EXPECT_EQ(Say("Kell", "#dice", "3d6 Attack"), QStringList({ "PRIVMSG #dice :Kell, Attack: 13" }));
    EXPECT_EQ(
        Say("Kell", "#dice", "3d66666"), QStringList({ "PRIVMSG Kell :Kell, dice side number too high." }));
}

TEST_F(BotTest, CloseWritesTheFilesAfterDisconnecting)
{
    Start();
    bot->State().BannedUsers = { "Troll" };
    EXPECT_EQ(bot->Close(), QString());
    EXPECT_EQ(out.Take(), QStringList({ "DISCONNECT" }));
    EXPECT_EQ(files.Read("banned.conf"), QByteArray("Troll\r\n"));
    EXPECT_EQ(files.Read("settings.conf").count("\r\n"), 22);
    EXPECT_EQ(files.Read("messages.conf").count("\r\n"), 11);
}

} // namespace
