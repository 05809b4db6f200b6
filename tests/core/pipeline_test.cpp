#include "core/channellog.h"
#include "core/pipeline.h"
#include "support/botfixture.h"
#include "support/fixedclock.h"
#include "support/qtprint.h"
#include "support/recordingsender.h"

#include <gtest/gtest.h>

namespace {

// Records each dispatch as "nick|target|line"; aliases turn ",fb" into ",roll 8d6".
class RecordingCommands final : public core::CommandHandler {
public:
    QStringList Dispatched;

    QString ResolveAlias(const QString& line) override
    {
        return line == QLatin1String(",fb") ? QStringLiteral(",roll 8d6") : line;
    }
    void Dispatch(const QString& nick, const QString& target, const QString& line) override
    {
        Dispatched.append(nick + u'|' + target + u'|' + line);
    }
    void RollDice(const QString& nick, const QString& target, const QString& line) override
    {
        Dispatched.append(QStringLiteral("dice:") + nick + u'|' + target + u'|' + line);
    }
};

class PipelineTest : public ::testing::Test {
protected:
    core::BotState state;
    testing_support::RecordingSender out;
    core::CommandLog log;
    testing_support::FixedClock clock;
    core::Lockouts locks { state };
    RecordingCommands commands;
    testing_support::FixedRoster roster;
    core::ChannelLogs logs;
    core::SeenTracker seen { clock };
    core::Pipeline pipeline { { state, out, log, clock, locks, commands, roster, logs, seen } };

    void SetUp() override { state.LogLimit = state.LogLines + 2; }

    QStringList LogOf(const QString& key) const
    {
        const QStringList* found = logs.Find(core::LogOwner { key });
        return found ? *found : QStringList();
    }
};

TEST_F(PipelineTest, ACommandInAChannelIsAnsweredInThatChannel)
{
    pipeline.OnMessage("Bob", "#dice", ",roll 2d6");
    EXPECT_EQ(commands.Dispatched, QStringList({ "Bob|#dice|,roll 2d6" }));
}

TEST_F(PipelineTest, SilentModeAnswersByPrivateMessageButLogsUnderTheChannel)
{
    state.Silent = true;
    pipeline.OnMessage("Bob", "#dice", ",roll 2d6");
    EXPECT_EQ(commands.Dispatched, QStringList({ "Bob|Bob|,roll 2d6" }));
    EXPECT_EQ(LogOf("#dice").mid(2), QStringList({ "<Bob> ,roll 2d6" }));
    EXPECT_TRUE(LogOf("Bob").isEmpty());
}

TEST_F(PipelineTest, APrivateMessageIsAnsweredAndLoggedUnderTheSender)
{
    pipeline.OnMessage("Bob", QString(), ",help");
    EXPECT_EQ(commands.Dispatched, QStringList({ "Bob|Bob|,help" }));
    EXPECT_EQ(LogOf("Bob").mid(2), QStringList({ "<Bob> ,help" }));
}

// A private conversation's log belongs to the services account of its user where the network tells it,
// so that a stranger who takes the nick without the account never writes into it nor reads it.
TEST_F(PipelineTest, APrivateLogBelongsToTheSendersAccountWhereTheNetworkTellsOne)
{
    struct Case {
        const char* What;
        bool NetworkTellsAccounts;
        std::optional<QString> Account;
        const char* Channel;
        core::LogOwner Owner;
    };
    const Case cases[] = {
        { "logged in", true, "Kell_Acct", "", { "kell_acct", true } },
        { "logged out", true, "", "", { "Kell" } },
        { "not told yet", true, std::nullopt, "", { "Kell" } },
        { "a network without accounts", false, "Kell_Acct", "", { "Kell" } },
        { "a channel line", true, "Kell_Acct", "#dice", { "#dice" } },
    };
    for (const Case& c : cases) {
        logs.Clear();
        roster.Accounts = c.NetworkTellsAccounts;
        const irc::UserPtr kell = roster.Users.Add("Kell");
        kell->Account = c.Account;
        pipeline.OnMessage("Kell", c.Channel, "open the vault quietly");
        roster.Users.Release(kell);
        ASSERT_EQ(logs.All().size(), 1) << c.What;
        EXPECT_EQ(logs.Find(c.Owner), &logs.All().first()) << c.What;
        EXPECT_EQ(logs.All().first().last(), "<Kell> open the vault quietly") << c.What;
    }
}

TEST_F(PipelineTest, AliasesAreExpandedOnlyForTheCommandCharacter)
{
    pipeline.OnMessage("Bob", "#dice", ",fb");
    pipeline.OnMessage("Bob", "#dice", "Tessarin, ,fb");
    EXPECT_EQ(commands.Dispatched, QStringList({ "Bob|#dice|,roll 8d6", "Bob|#dice|,fb" }));
    EXPECT_EQ(LogOf("#dice").last(), "<Bob> Tessarin, ,fb"); // the log keeps what was said
}

TEST_F(PipelineTest, AddressingTheBotByNickDispatchesTheRestAndLogsIt)
{
    pipeline.OnMessage("Bob", "#dice", "Tessarin, roll 2d6");
    pipeline.OnMessage("Bob", "#dice", "tessarin, roll 2d6");
    pipeline.OnMessage("Bob", "#dice", "Tessarin: roll 2d6");
    EXPECT_EQ(commands.Dispatched, QStringList({ "Bob|#dice|roll 2d6" }));
    EXPECT_EQ(log.Lines(), QStringList({ "roll 2d6" }));
}

TEST_F(PipelineTest, TheAddressedCommandIsCappedAtAThousandCharactersWithoutSplittingOne)
{
    const QString die = QString::fromUtf8("\xf0\x9f\x8e\xb2"); // two UTF-16 units
    QString tail;
    for (int i = 0; i < 999; ++i)
        tail += u'a';
    tail += die + die;
    pipeline.OnMessage("Bob", "#dice", "Tessarin, " + tail);
    ASSERT_EQ(commands.Dispatched.size(), 1);
    EXPECT_TRUE(commands.Dispatched.first().endsWith(QStringLiteral("a") + die));
}

TEST_F(PipelineTest, ALineThatIsACommandBothWaysIsDispatchedTwice)
{
    state.BotNick = ",bot";
    pipeline.OnMessage("Bob", "#dice", ",bot, roll");
    EXPECT_EQ(commands.Dispatched, QStringList({ "Bob|#dice|,bot, roll", "Bob|#dice|roll" }));
}

TEST_F(PipelineTest, TheCommandCharacterIsTheFirstCharacterOfTheSetting)
{
    state.CommandChar = "!x";
    pipeline.OnMessage("Bob", "#dice", ",roll");
    pipeline.OnMessage("Bob", "#dice", "!roll");
    state.CommandChar = "";
    pipeline.OnMessage("Bob", "#dice", ",seen");
    EXPECT_EQ(commands.Dispatched, QStringList({ "Bob|#dice|!roll", "Bob|#dice|,seen" }));
}

TEST_F(PipelineTest, TheRecognitionQuestionIsAnsweredWhateverTheCommandCharacter)
{
    state.CommandChar = "!";
    pipeline.OnMessage("Bob", "#dice", ",How Do You Recognize Commands");
    EXPECT_EQ(
        out.Take(), QStringList({ "PRIVMSG #dice :I recognize messages that start with a ! as commands." }));
    EXPECT_TRUE(commands.Dispatched.isEmpty());

    state.CommandChar = ",";
    state.Silent = true;
    pipeline.OnMessage("Bob", "#dice", ",how do you recognize commands");
    EXPECT_EQ(
        out.Take(), QStringList({ "PRIVMSG Bob :I recognize messages that start with a , as commands." }));
    EXPECT_EQ(commands.Dispatched.size(), 1); // and with "," it is also a command

    // Only the letters A to Z count as capitals: a long s (U+017F) is no "s", a Kelvin sign (U+212A) no "k".
    pipeline.OnMessage("Bob", "#dice", QStringLiteral(",how do you recognize command\u017F"));
    pipeline.OnMessage("Bob", "#dice", QStringLiteral(",HOW DO YOU RECOGNIZE COMMANDS\u017F"));
    EXPECT_TRUE(out.Take().isEmpty());
}

TEST_F(PipelineTest, AnEmptyMessageIsLoggedAndNothingElse)
{
    pipeline.OnMessage("Bob", "#dice", "");
    EXPECT_EQ(LogOf("#dice").mid(2), QStringList({ "<Bob> " }));
    EXPECT_TRUE(commands.Dispatched.isEmpty());
    EXPECT_TRUE(out.Lines.isEmpty());
}

TEST_F(PipelineTest, ChannelLogsKeepTheirLimitAndTellKeysApartByCase)
{
    state.LogLimit = 100 + 2;
    for (int i = 1; i <= 150; ++i)
        pipeline.OnMessage("Bob", "#RPG", QString::number(i));
    pipeline.OnMessage("Bob", "#rpg", "lower");
    const QStringList upper = LogOf("#RPG");
    ASSERT_EQ(upper.size(), 102);
    EXPECT_EQ(upper.at(0), "#RPG");
    EXPECT_TRUE(upper.at(1).startsWith("Logging channel #RPG since "));
    EXPECT_TRUE(upper.at(1).endsWith("(local)"));
    EXPECT_EQ(upper.at(2), "<Bob> 51");
    EXPECT_EQ(upper.last(), "<Bob> 150");
    EXPECT_EQ(LogOf("#rpg").mid(2), QStringList({ "<Bob> lower" }));
}

TEST_F(PipelineTest, TheOtherBotDialog)
{
    pipeline.OnMessage("Jessie", "#dice", "Prepare for trouble, it's Team Rocket!");
    EXPECT_TRUE(out.Take().isEmpty()); // off unless switched on

    state.Teamrocketing = true;
    pipeline.OnMessage("Jessie", "#dice", QStringLiteral("it's Team Roc\u212Aet!"));
    EXPECT_TRUE(out.Take().isEmpty()); // a Kelvin sign is no "k"
    pipeline.OnMessage("Jessie", "#dice", "Prepare for trouble, it's Team Rocket!");
    EXPECT_EQ(out.Take(), QStringList({ "NICK Meowth" }));
    EXPECT_TRUE(state.MeowthActive);

    pipeline.OnMessage("James", "#dice", "surrender now or prepare to fight!");
    EXPECT_TRUE(out.Take().isEmpty()); // the sentence is matched exactly

    pipeline.OnMessage("James", "#dice", "Surrender now or prepare to fight!");
    EXPECT_EQ(out.Take(),
        QStringList({ "PRIVMSG #dice :Meowth, that's right!", "NICK Tessarin", "ACTION #dice :bows" }));
    EXPECT_TRUE(state.HelpLocked);
    EXPECT_TRUE(locks.Timer1.isActive());

    pipeline.OnMessage("Jessie", "#dice", "team rocket again");
    EXPECT_EQ(out.Take(), QStringList({ "PRIVMSG #dice :Noes, we've just performed for you." }));
}

TEST_F(PipelineTest, TheDialogIsForChannelsOnly)
{
    state.Teamrocketing = true;
    pipeline.OnMessage("Jessie", QString(), "Team Rocket");
    EXPECT_TRUE(out.Lines.isEmpty());
    EXPECT_FALSE(state.MeowthActive);
}

} // namespace

namespace {

TEST(DiceExpression, RecognisesBareRollsOnly)
{
    for (const char* yes : { "d6 for damage", "2d6", "3d10+2 to hit", "d20", "12d6", "2d6d",
             "1d"
             "0" })
        EXPECT_TRUE(core::IsDiceExpression(yes)) << yes;
    for (const char* no : { "hello 2d6", "and6", "d", "dx", "2d", "xd6", "2 d6", "D6", "", "d 6", "2dd6" })
        EXPECT_FALSE(core::IsDiceExpression(no)) << no;
}

TEST_F(PipelineTest, DicebotModeRollsBareExpressionsAndLogsThem)
{
    state.Dicerollan = true;
    state.BannedUsers = { "Troll" };
    pipeline.OnMessage("Bob", "#dice", "2d6");
    pipeline.OnMessage("Bob", "#dice", "hello 2d6");
    pipeline.OnMessage("Bob", "#dice", ",roll 2d6");
    pipeline.OnMessage("troll", "#dice", "2d6");
    state.Silent = true;
    pipeline.OnMessage("Bob", "#dice", "d20");
    EXPECT_EQ(commands.Dispatched,
        QStringList({ "dice:Bob|#dice|2d6", "Bob|#dice|,roll 2d6", "dice:Bob|Bob|d20" }));
    EXPECT_EQ(log.Lines(),
        QStringList({ "07.12.26 10:15:02. User Bob on channel #dice. Commandword=2d6.",
            "07.12.26 10:15:02. User Bob on channel Bob. Commandword=d20." }));

    state.Dicerollan = false;
    pipeline.OnMessage("Bob", "#dice", "2d6");
    EXPECT_EQ(commands.Dispatched.size(), 3);
}

} // namespace
