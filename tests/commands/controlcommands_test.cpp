#include "commands/channelcommands.h"
#include "support/botfixture.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

using testing_support::WaitUntil;

const QString Denied = QStringLiteral("You're not my daddy and I won't listen to you.");

class ControlCommands : public testing_support::BotFixture {
protected:
    void SetUp() override
    {
        files.Write("previleged.conf", "Mira\r\n");
        Start();
        bot->State().OwnerNick = "Kell";
    }
};

TEST_F(ControlCommands, JoinAcceptsOneChannelNameAndRemembersWhoAsked)
{
    EXPECT_EQ(Say("Bob", "#dice", ",join #rpg"),
        QStringList({ "JOIN #rpg", "PRIVMSG #dice :Joining channel #rpg, chief." }));
    EXPECT_EQ(bot->State().JoinRequester, "#dice");

    for (const char* bad : { ",join 0", ",join #a,#b", ",join rpg", ",join", ",join #a b", ",join #\x01" })
        EXPECT_TRUE(Say("Bob", "#dice", bad).first().startsWith("PRIVMSG #dice :Can't join channel ")) << bad;
    EXPECT_EQ(Say("Bob", "#dice", ",join 0"),
        QStringList(
            { "PRIVMSG #dice :Can't join channel 0, chief. Make sure you specified the name correctly." }));

    out.Connected = false; // the request cannot go out
    bot->State().PrivilegedJoin = true;
    bot->OnMessage("Kell", "#dice", ",join #rpg");
    out.Connected = true;
    EXPECT_TRUE(out.Take().isEmpty());
    EXPECT_EQ(Say("Bob", "#dice", ",join #rpg"), QStringList({ "PRIVMSG #dice :" + Denied }));
    EXPECT_EQ(Say("Mira", "#dice", ",join #x y"),
        QStringList(
            { "PRIVMSG #dice :Can't join channel #x y. Make sure you specified the name correctly." }));
}

TEST_F(ControlCommands, PartLeavesTheChannelTheCommandCameFrom)
{
    EXPECT_EQ(Say("Bob", "#dice", ",part #other"),
        QStringList({ "PRIVMSG #dice :Leaving this channel, chief.", "PART #dice" }));
    EXPECT_EQ(Say("Bob", QString(), ",part"),
        QStringList({ "PRIVMSG Bob :Leaving this channel, chief.", "PART Bob" }));
    bot->State().PrivilegedPart = true;
    EXPECT_EQ(Say("Bob", "#dice", ",part"), QStringList({ "PRIVMSG #dice :" + Denied }));
}

TEST_F(ControlCommands, QuitFollowsItsOwnGate)
{
    EXPECT_EQ(
        Say("Bob", "#dice", ",quit"), QStringList({ "PRIVMSG Bob :No. And I'm logging this, you know." }));
    EXPECT_EQ(Say("Vaddox", "#dice", ",quit"), // the creator's nick alone is no key
        QStringList({ "PRIVMSG Vaddox :No. And I'm logging this, you know." }));
    EXPECT_EQ(Say("Kell", "#dice", ",quit"),
        QStringList({ "PRIVMSG #dice :Oh let killing me be a burden on your conscience!", "DISCONNECT" }));
    out.Connected = true;
    bot->State().PrivilegedQuit = false;
    EXPECT_EQ(Say("Bob", "#dice", ",quit"),
        QStringList({ "PRIVMSG #dice :Bob, I'm logging this, you know.", "DISCONNECT" }));
}

TEST_F(ControlCommands, DoActsInTheTarget)
{
    EXPECT_EQ(Say("Bob", "#dice", ",do hugs his owner"), QStringList({ "ACTION #dice :hugs his owner" }));
    EXPECT_EQ(Say("Bob", "#dice", ",do"), QStringList({ "ACTION #dice :" }));
}

TEST_F(ControlCommands, SayRelaysOnceAMinuteForPlainUsers)
{
    roster.Nicks["#rpg"] = { "Tessarin", "Bob" };
    EXPECT_EQ(
        Say("Bob", "#dice", ",say #rpg hello there"), QStringList({ "PRIVMSG #rpg :Bob says: hello there" }));
    EXPECT_EQ(bot->State().SayRequester, "#dice");
    EXPECT_TRUE(bot->State().SayLocked);
    EXPECT_EQ(bot->Locks().SayTimer.interval(), 60000);
    EXPECT_EQ(Say("Bob", "#dice", ",say #rpg again"),
        QStringList(
            { "PRIVMSG #dice :I relayed a message less than a minute ago, and I am no messaging system." }));
    EXPECT_EQ(Say("Bob", "#dice", ",say dice hello"),
        QStringList(
            { "PRIVMSG #dice :Where should I say that? Name the channel. Channel names start with \"#\"." }));

    bot->Locks().SayTimer.start(1); // the lock-out ends when its timer fires
    ASSERT_TRUE(WaitUntil([this] { return !bot->State().SayLocked; }));
    EXPECT_FALSE(bot->Locks().SayTimer.isActive());
    EXPECT_EQ(Say("Bob", "#dice", ",say #rpg"),
        QStringList({ "PRIVMSG #dice :What should I say there? Put the message after the name." }));
    EXPECT_FALSE(bot->State().SayLocked); // a refused relay starts no lock-out
}

TEST_F(ControlCommands, APrivilegedRelayIgnoresTheLockAndTheChannelRuleButStillLocks)
{
    bot->State().PrivilegedSay = true;
    bot->State().SayLocked = true;
    EXPECT_EQ(Say("Kell", "#dice", ",say Bob psst"), QStringList({ "PRIVMSG Bob :Kell says: psst" }));
    EXPECT_TRUE(bot->Locks().SayTimer.isActive());
    EXPECT_EQ(Say("Bob", "#dice", ",say #rpg hi"), QStringList({ "PRIVMSG #dice :" + Denied }));
}

// Where a relay may go: for a plain user passing the open gate, one channel where the bot sees him too;
// for a privileged user, one target, a nick included. A refused relay sends nothing and starts no
// lock-out, and a channel the plain user is not on is refused alike whether the bot is there or not.
TEST_F(ControlCommands, ARelayGoesToOneTargetAndFromPlainUsersOnlyWhereTheBotSeesThem)
{
    const QString AskChannel
        = QStringLiteral("Where should I say that? Name the channel. Channel names start with \"#\".");
    const QString NotThere = QStringLiteral("I only relay to a channel where I can see you too.");
    roster.Nicks["#rpg"] = { "Tessarin", "Bob" };
    roster.Nicks["#secret"] = { "Tessarin", "Vera" };
    struct Case {
        bool privilegedSay;
        const char* nick;
        const char* line;
        const char* relayed; // empty: refused with the refusal below
        QString refusal = QString();
    };
    const Case cases[] = {
        { false, "Bob", ",say #rpg hi", "PRIVMSG #rpg :Bob says: hi" },
        { false, "bob", ",say #rpg hi", "PRIVMSG #rpg :bob says: hi" },
        { false, "Bob", ",say #dice,Victim hello victim", "", AskChannel },
        { false, "Bob", ",say #rpg,#dice hi", "", AskChannel },
        { false, "Bob", ",say #nowhere hi", "", NotThere },
        { false, "Bob", ",say #secret hi", "", NotThere },
        { false, "Vera", ",say #rpg hi", "", NotThere },
        { false, "Vera", ",say #secret hi", "PRIVMSG #secret :Vera says: hi" },
        { false, "Bob", ",say Victim hi", "", AskChannel },
        { false, "Bob", ",say #\x01 hi", "", AskChannel },
        { false, "Vaddox", ",say #nowhere hi", "", NotThere },
        { false, "Kell", ",say #nowhere hi", "PRIVMSG #nowhere :Kell says: hi" },
        { false, "Mira", ",say #secret hi", "PRIVMSG #secret :Mira says: hi" },
        { false, "Kell", ",say #rpg,Victim hi", "", AskChannel },
        { true, "Kell", ",say Victim psst", "PRIVMSG Victim :Kell says: psst" },
        { true, "Mira", ",say Bob,Carol psst", "", AskChannel },
        { true, "Kell", ",say #rpg,Victim psst", "", AskChannel },
    };
    for (const Case& c : cases) {
        bot->State().PrivilegedSay = c.privilegedSay;
        bot->State().SayLocked = false;
        const QStringList expected
            = *c.relayed ? QStringList({ c.relayed }) : QStringList({ "PRIVMSG #dice :" + c.refusal });
        EXPECT_EQ(Say(c.nick, "#dice", c.line), expected) << c.nick << " " << c.line;
        EXPECT_EQ(bot->State().SayLocked, *c.relayed != 0) << c.line;
    }
}

// Mallory takes the owner's nick and gives it back; the owner goes away under another nick; the real
// owner comes back later. Each user keeps the rights of the nick it came with.
TEST_F(ControlCommands, PrivilegesFollowTheOwnerForwardAndNobodyWhoTakesHisNick)
{
    const QString Dicebot = QStringLiteral("PRIVMSG #dice :Yes, chief, I'll be your dicebot.");
    const QString QuitRefused = QStringLiteral("PRIVMSG %1 :No. And I'm logging this, you know.");
    bot->State().PrivilegedJoin = true;
    const irc::UserPtr mallory = roster.Users.Add("Mallory");
    for (const char* nick : { "Mallory", "Kell", "Mallory" }) {
        mallory->Nick = nick;
        EXPECT_EQ(Say(nick, "#dice", ",be dicerollan"), QStringList({ "PRIVMSG #dice :" + Denied })) << nick;
        EXPECT_EQ(Say(nick, "#dice", ",join #mine"), QStringList({ "PRIVMSG #dice :" + Denied })) << nick;
        EXPECT_EQ(Say(nick, "#dice", ",quit"), QStringList({ QuitRefused.arg(nick) })) << nick;
    }
    EXPECT_FALSE(bot->State().Dicerollan);

    const irc::UserPtr owner = roster.Users.Add("Kell");
    owner->Nick = "Kell_afk";
    EXPECT_EQ(Say("Kell_afk", "#dice", ",be dicerollan"), QStringList({ Dicebot }));
    EXPECT_EQ(Say("Mallory", "#dice", ",be dicerollan"), QStringList({ "PRIVMSG #dice :" + Denied }));
}

TEST_F(ControlCommands, WhoAndHello)
{
    EXPECT_EQ(Say("Bob", "#dice", ",who"),
        QStringList({ "PRIVMSG #dice :I am a mere DH IRC bot. My version is 1.4.ALPHA. My owner is Kell." }));
    EXPECT_EQ(Say("Bob", "#dice", ",hello"), QStringList({ "PRIVMSG #dice :Hello, Bob!" }));
    EXPECT_EQ(Say("Vaddox", "#dice", ",hello"),
        QStringList({ "PRIVMSG #dice :Hello, Vaddox, good job creating me!" }));
    EXPECT_EQ(Say("KELL", "#dice", ",hello"),
        QStringList({ "PRIVMSG #dice :Hello, Vaddox, good job creating me!" }));
    EXPECT_EQ(Say("Kell", "#dice", ",hello"),
        QStringList({ "PRIVMSG #dice :Hello, daddy. I'm here and ready to accept your commands!" }));
}

TEST_F(ControlCommands, BeSwitchesModesByWholeKeywords)
{
    core::BotState& state = bot->State();
    EXPECT_EQ(Say("Kell", "#dice", ",be Silent"),
        QStringList({ "PRIVMSG Kell :Yes, chief, I'll be quit, and will only answer on commands in PMs." }));
    EXPECT_TRUE(state.Silent);
    EXPECT_EQ(Say("Kell", "#dice", ",be talkative"),
        QStringList({ "PRIVMSG Kell :Yes, chief, I'll reply to the commands right in the channels." }));
    EXPECT_FALSE(state.Silent);
    EXPECT_EQ(Say("Kell", "#dice", ",be teamrocketing"),
        QStringList({ "PRIVMSG #dice :Ok, I'll be Meowth, then." }));
    EXPECT_EQ(Say("Kell", "#dice", ",be NOT teamrocketing"),
        QStringList({ "PRIVMSG #dice :Ok, I won't mess with elder bots any more, then." }));
    EXPECT_EQ(Say("Kell", "#dice", ",be dicerollan"),
        QStringList({ "PRIVMSG #dice :Yes, chief, I'll be your dicebot." }));
    EXPECT_EQ(Say("Kell", "#dice", ",be not dicerollan"),
        QStringList({ "PRIVMSG #dice :Yes, chief, I won't be your dicebot any more." }));
    EXPECT_FALSE(state.Teamrocketing || state.Dicerollan);

    EXPECT_TRUE(Say("Kell", "#dice", ",be silent please").isEmpty());
    EXPECT_TRUE(Say("Kell", "#dice", ",be Commanded on !").isEmpty());
    EXPECT_TRUE(Say("Kell", "#dice", ",be commanded on ").isEmpty());
    for (const char* unusable : { ",be commanded on \x01", ",be commanded on \t!" })
        EXPECT_EQ(Say("Kell", "#dice", unusable),
            QStringList(
                { "PRIVMSG #dice :No, chief, the command character must be a visible character, not a "
                  "blank or a control character." }));
    EXPECT_EQ(state.CommandChar, ",");
    EXPECT_FALSE(state.Silent);

    EXPECT_EQ(Say("Kell", "#dice", ",be commanded on !x"),
        QStringList(
            { "PRIVMSG #dice :Yes, chief, I will only get commands if the first character of the command "
              "line is \"!\"." }));
    EXPECT_EQ(state.CommandChar, "!");
    EXPECT_TRUE(Say("Kell", "#dice", ",who").isEmpty());
    EXPECT_EQ(Say("Bob", "#dice", "!be silent"), QStringList({ "PRIVMSG #dice :" + Denied }));
}

TEST_F(ControlCommands, HowTellsTheGatesAndModes)
{
    EXPECT_EQ(Say("Bob", "#dice", ",how"),
        QStringList({ "PRIVMSG #dice :I'm generally OK. Only my owner can execute some of the commands: be, "
                      "quit." }));
    core::BotState& state = bot->State();
    state.PrivilegedBe = state.PrivilegedQuit = false;
    EXPECT_EQ(Say("Bob", "#dice", ",how"), QStringList({ "PRIVMSG #dice :I'm generally OK. " }));
    state.PrivilegedJoin = state.PrivilegedPart = state.PrivilegedBe = state.PrivilegedQuit
        = state.PrivilegedSay = true;
    state.Dicerollan = state.Teamrocketing = true;
    EXPECT_EQ(Say("Mira", "#dice", ",how"),
        QStringList({ "PRIVMSG #dice :I'm generally OK. Only my owner can execute some of the commands: "
                      "join, part, be, "
                      "quit, say. I am currently employed as a dicebot. I will take part in some of the "
                      "dialogs other "
                      "bots are set to perform." }));
    state.Silent = true;
    state.PrivilegedHow = true;
    EXPECT_EQ(Say("Bob", "#dice", ",how"), QStringList({ "PRIVMSG Bob :" + Denied }));
}

TEST(ChannelNames, OnlyOneWellFormedChannel)
{
    for (const char* yes : { "#dice", "&local", "+modeless", "!12345chan", "#ünïcode" })
        EXPECT_TRUE(commands::IsChannelName(QString::fromUtf8(yes))) << yes;
    for (const char* no : { "", "#", "0", "dice", "#a,#b", "#a b", "#a\x07", "#a\x7f" })
        EXPECT_FALSE(commands::IsChannelName(QString::fromUtf8(no))) << no;
}

class ListsOfFiles : public testing_support::BotFixture { };

TEST_F(ListsOfFiles, ListAndAliasesDescribeTheFolders)
{
    Start();
    EXPECT_EQ(Say("Bob", "#dice", ",list"),
        QStringList({ "PRIVMSG #dice :I currently have no added custom text files." }));
    EXPECT_EQ(Say("Bob", "#dice", ",aliases"),
        QStringList({ "PRIVMSG #dice :I currently have no command aliases." }));

    files.Write("custom/tavern.txt", "x\r\n");
    files.Write("custom/Rumours.txt", "y\r\n");
    files.Write("aliases/fireball.txt", ",roll 8d6\r\n");
    files.Write("aliases/big.txt", ",roll parameter full\r\n");
    Start();
    EXPECT_EQ(Say("Bob", "#dice", ",list"),
        QStringList({ "PRIVMSG #dice :I have a couple of them custom text files added: Rumours, tavern." }));
    EXPECT_EQ(Say("Bob", "#dice", ",aliases fireball"),
        QStringList({ "PRIVMSG #dice :Alias \"fireball\" is actually \",roll 8d6\" command." }));
    EXPECT_EQ(Say("Bob", "#dice", ",aliases Fireball"),
        QStringList({ "PRIVMSG #dice :I have some command aliases, here they are: big, fireball." }));
}

} // namespace
