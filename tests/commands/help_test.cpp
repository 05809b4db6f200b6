#include "commands/help.h"
#include "support/botfixture.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

using testing_support::WaitUntil;

struct TopicCase {
    const char* Word;
    int LineCount;
    const char* First;
    const char* Last; // nullptr: the closing line names the request address
};

// Every topic word with the first and last line of its topic, as users are to read them.
const TopicCase Topics[] = {
    { "roll", 13, "Say \"roll\", and I will roll a set of dice for you.",
        "Command word usage example: ,roll 6#4d6 full droplow D&D character creation; ,roll 20d6 short tn 5 "
        "Shadowrun machine gun." },
    { "tarot", 7, "Say \"tarot\", and I will pull a set of Tarot cards for you.",
        "I will most likely guess what you want. Well, I hope so, at least, I'm just a bot, after all." },
    { "dhhit", 3, "dhhit is a function to allocate hits on different body parts randomly",
        "Example: ,dhhit 10" },
    { "dhcrit", 6, "dhcrit is a function to show Dark Heresy critical hit descriptions.",
        "Example: ,dhcrit E Head 11" },
    { "dhburst", 3, "dhburst command allocates a specified number of hits on various body parts in DH.",
        "Example: ,dhburst 10" },
    { "dhfall", 3,
        "dhfall command orders me to count, how much damage you will sustain after falling from a certain "
        "height.",
        "Example: ,dhfall 25 (you can pretty much roll a new character if you need a command like this, "
        "though)." },
    { "dhhal", 2,
        "dhhal command orders me to randomly determine which effect will a hallucinogen grenade have on your "
        "character in DH.",
        "No parameter needs to be specified." },
    { "dhroll", 11, "dhroll (dr for short) is the DH dice-rolling command.",
        "Examples: ,dr; ,dr 50 shot; ,dr 60 long scatter." },
    { "dr", 11, "dhroll (dr for short) is the DH dice-rolling command.",
        "Examples: ,dr; ,dr 50 shot; ,dr 60 long scatter." },
    { "srtest", 5, "srtest command allows you to roll a dice pool of specified size for Shadowrun 4ed tests.",
        "Examples: ,srtest 10 full ; ,srtest 15" },
    { "srext", 5,
        "srext command allows you to roll a dice pool of specified size for Shadowrun 4ed extended tests "
        "with a specific target hit number.",
        "Examples: ,srext 10 30 full ; ,srext 15 10" },
    { "sredge", 5,
        "sredge command allows you to roll a dice pool of specified size for Shadowrun 4ed edge tests.",
        "Examples: ,sredge 10 full ; ,sredge 15" },
    { "srnpc", 5,
        "srnpc allows you to quickly create an NPC for Shadowrun 4e, with 200 BP total spent on his Physical "
        "and Mental attributes.",
        "Examples: ,srnpc human Cha; ,srnpc human AGI; ,srnpc troll technomancer Int" },
    { "srnade", 4,
        "srnade allows for random grenade (or similar projectile) scattering calculation for SR4E.",
        "Examples: ,srnade 2; ,srnade launcher 4" },
    { "dryh", 4, "dryh command allows you to have a pool of colored dice rolled for Don't Rest Your Head.",
        "The numbers specified must be separated by a single space, like this: ,dryh 4 3 5" },
    { "ware", 3, "ware is a function to show contents of a single drawer on curioshop site.",
        "You can specify the floor the drawer is on as a sole parameter." },
    { "part", 2, "part command makes me leave the channel I'm currently on.",
        "Beware, making me leave the channel I should be on may result in a ban." },
    { "join", 2, "join command makes me join the channel specified in the parameter.",
        "Example: ,join #bottest" },
    { "quit", 2, "quit command makes me disconnect from the server I am connected to.",
        "Only my owner can issue that command." },
    { "say", 3, "say is a function used for transmitting messages to the channels I am on and you are not.",
        "Example: ,say #suptg I hate you Quorv!" },
    { "do", 2, "do is a function used to make me perform an action of your choosing on the current channel.",
        "Example: ,do hugs his owner" },
    { "help", 3, "Feeling recursive today, huh?", "Happy now?" },
    { "how", 2, "how command is a request for my settings.",
        "So, obviously, if I'm allowed to, I will tell you my settings." },
    { "be", 8, "be command can set up some of my functions.",
        "Example: ,be not dicerollan; ,be commanded on !" },
    { "who", 1, "After a who command I will tell you who I am. That is, my owner and version number.",
        "After a who command I will tell you who I am. That is, my owner and version number." },
    { "last", 2, "Last command makes me show the last 50 messages I logged on the channel it was given from.",
        "You can specify a different line number as a sole parameter, but I only store 50 lines for each "
        "channel anyway." },
    { "hello", 1, "Hello command makes me greet you. :3", "Hello command makes me greet you. :3" },
    { "dhdiv", 2, "Use dhdiv command to request an Imperial Divination.",
        "Specify \"full\" or \"f\" parameter to also get in-game effects of this Divination on your DH "
        "character." },
    { "div", 1, "Use div command to request an Imperial Though for the Day.",
        "Use div command to request an Imperial Though for the Day." },
    { "noes", 2,
        "Use noes command to get a quote from the ironic set of 1150 things an PRG player shound never ever "
        "do.",
        "You can also specify the exact number of the quote you want to get as the only parameter." },
    { "daat", 3,
        "Use noes command to get a quote from the hilarious Doc Brinewick's Random Adventure percentile "
        "Table.",
        "You can also specify the exact number of the quote you want to get as the only parameter." },
    { "char", 3, "Use char command to get a random hilarious character description.",
        "You can also specify the exact number of the description you want to get as the only parameter." },
    { "space", 3, "Use space command to get a random space encounter description.",
        "You can also specify the exact number of the description you want to get as the only parameter." },
    { "art", 2, "Use art command to get a random artifact description.",
        "You can also specify the exact number of the description you want to get as the only parameter." },
    { "rev", 2, "Since bots never sleep, I see all of your shit.",
        " If you want a piece of shocking truth about yourself, REVelation command is your choice." },
    { "sr3test", 5, "sr3test is a standard SR3 dice pool roll, Rule of 1 and Rule of 6 both working.",
        "Examples: ,sr3test 15 vs 4 full Dodge; ,sr3test 10" },
    { "ep", 6, "ep is an Eclipse Phase rolling function.",
        "Examples: ,ep 25 Freerunning; ,ep 50 vs 75 Shooting" },
    { "draw", 2, "draw makes me draw a single card from a standard poker deck for Deadlands.",
        "No single card can be drawn from a deck twice." },
    { "drawhand", 2, "draw makes me draw seven cards from a standard poker deck for Deadlands, a full hand.",
        "No single card can be drawn from a deck twice." },
    { "match", 3,
        "match rolls a pool of dice and detects matches, represening them as [number rolled]x[value rolled].",
        "The only parameter is the number of dice to roll." },
    { "newdeck", 2, "newdeck starts a new pocker deck for draw and drawhand commands.",
        "Essentially, it erases the data on which cards have been drawn already." },
    { "seen", 4,
        "Use seen command to get info on when was a user last seen connecting, disconnecting or messaging on "
        "a channel.",
        "Examples of usage: ,seen Tessarin; ,seen Tessarin #suptg; ,seen anyone; ,seen Tessarin around; "
        ",seen Tessarin names." },
    { "list", 1, "Use list command to list custom text files which I currently use.",
        "Use list command to list custom text files which I currently use." },
    { "aliases", 2, "Use aliases command to list command aliases I'm using.",
        "You can also specify a specific alias's name as a parameter to see the actual command behind it." },
    { "count", 12, "Count is the command for using the countdown timer.",
        "The owner may interrupt the current active countdown with ,count stop." },
    { "dnd", 4, "I am not good for any specific D&D task.", nullptr },
    { "d&d", 4, "I am not good for any specific D&D task.", nullptr },
    { "dh", 3, "Dark Heresy is my cup of tea.",
        "These are dhroll, dhcrit, dhhit, dhdiv, dhburst and dhfall commands, respectively. See their own "
        "help topics to get more info." },
    { "darkheresy", 3, "Dark Heresy is my cup of tea.",
        "These are dhroll, dhcrit, dhhit, dhdiv, dhburst and dhfall commands, respectively. See their own "
        "help topics to get more info." },
    { "dark heresy", 3, "Dark Heresy is my cup of tea.",
        "These are dhroll, dhcrit, dhhit, dhdiv, dhburst and dhfall commands, respectively. See their own "
        "help topics to get more info." },
    { "sr", 5, "Well, I am not specifically designed for Shadowrun, but I still can be of some use.",
        "Third edition players can use the sr3test function." },
    { "shadowrun", 5, "Well, I am not specifically designed for Shadowrun, but I still can be of some use.",
        "Third edition players can use the sr3test function." },
    { "exalted", 8, ",exalted is the dice-rolling function for Exalted.",
        "Examples: ,ex 7; ,ex 7 damage; ,ex 7 vs 6 multi 3." },
    { "ex", 8, ",exalted is the dice-rolling function for Exalted.",
        "Examples: ,ex 7; ,ex 7 damage; ,ex 7 vs 6 multi 3." },
    { "rolls", 6, "I keep every dice result I say, numbered, with who rolled it and when.", nullptr },
    { "luck", 6, "I keep every dice result I say, numbered, with who rolled it and when.", nullptr },
};

const char* GeneralFirst
    = "I can't imagine what the help you are babbling about. Seriously now, I am a simple IRC bot.";

TEST(Help, EveryTopicIsReachedByItsWord)
{
    core::BotState state;
    for (const TopicCase& c : Topics) {
        const QStringList lines = commands::HelpLines(QString::fromUtf8(c.Word), state);
        ASSERT_EQ(lines.size(), c.LineCount) << c.Word;
        EXPECT_EQ(lines.first(), c.First) << c.Word;
        if (c.Last) {
            EXPECT_EQ(lines.last(), c.Last) << c.Word;
        }
    }
}

TEST(Help, MostTopicsMatchExactlyAndTheGameSystemsIgnoreCase)
{
    core::BotState state;
    const auto first = [&state](const char* parameter) {
        return commands::HelpLines(QString::fromUtf8(parameter), state).first();
    };
    for (const char* general : { "", "Roll", "roll ", " roll", "critfail", "return", "lastlines", "nothing" })
        EXPECT_EQ(first(general), GeneralFirst) << general;
    for (const char* heresy : { "Dark Heresy", "DH", "darkheresy", "dh" })
        EXPECT_EQ(first(heresy), "Dark Heresy is my cup of tea.") << heresy;
    EXPECT_EQ(first("EX"), ",exalted is the dice-rolling function for Exalted.");
    EXPECT_EQ(first("ex"), ",exalted is the dice-rolling function for Exalted.");
    EXPECT_EQ(first("D&D"), "I am not good for any specific D&D task.");
}

TEST(Help, AddressesComeFromTheSettingsOrPointToTheOwner)
{
    core::BotState state;
    state.OwnerNick = "Kell";
    QStringList general = commands::HelpLines(QString(), state);
    ASSERT_EQ(general.size(), 13);
    EXPECT_EQ(general[1],
        "All my commands normally start with \",\" or my name followed by \", \"; and I have several "
        "command groups:");
    EXPECT_EQ(general.last(), "You can also get your own Tessarin bot: ask my owner, Kell.");
    EXPECT_EQ(commands::HelpLines("dnd", state).last(),
        "Everything is up to you, really, feel free to make requests to my owner, Kell.");

    state.Extra.HomePage = "https://example.org/tessarin";
    state.Extra.RequestAddress = "dice@example.org";
    EXPECT_EQ(commands::HelpLines(QString(), state).last(),
        "You can also get your own Tessarin bot here: https://example.org/tessarin");
    EXPECT_EQ(commands::HelpLines("dnd", state).last(),
        "Everything is up to you, really, feel free to make requests at dice@example.org.");
}

class HelpCommandTest : public testing_support::BotFixture { };

TEST_F(HelpCommandTest, AnswersPrivatelyThenLocksHelpForEveryone)
{
    Start();
    const QStringList answer = Say("Bob", "#dice", ",help roll");
    ASSERT_EQ(answer.size(), 13);
    for (const QString& line : answer)
        EXPECT_TRUE(line.startsWith("PRIVMSG Bob :")) << line.toStdString();
    EXPECT_TRUE(bot->State().HelpLocked);
    EXPECT_EQ(bot->Locks().Timer1.interval(), 10000);

    EXPECT_EQ(
        Say("Ann", "#dice", ",help"), QStringList({ "PRIVMSG #dice :Come on, I just told you everything." }));

    bot->Locks().Timer1.start(1);
    ASSERT_TRUE(WaitUntil([this] { return !bot->State().HelpLocked; }));
    EXPECT_EQ(Say("Ann", "#dice", ",help").size(), 13);
}

TEST_F(HelpCommandTest, HelpIsLockedByTheOtherBotDialogToo)
{
    Start();
    bot->State().Teamrocketing = true;
    Say("Jessie", "#dice", "Team Rocket!");
    Say("James", "#dice", "Surrender now or prepare to fight!");
    EXPECT_EQ(
        Say("Ann", "#dice", ",help"), QStringList({ "PRIVMSG #dice :Come on, I just told you everything." }));
}

} // namespace
