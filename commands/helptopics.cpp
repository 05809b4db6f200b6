#include "commands/helptopics.h"

namespace commands {

// The texts are sent as they are, one message per line; the last line of the D&D topic and of the
// general help end with an address that the operator configures (see HelpLines).
const QList<HelpTopic>& HelpTopics()
{
    static const QList<HelpTopic> topics {
        { { QStringLiteral("roll") }, false,
            {
                QStringLiteral("Say \"roll\", and I will roll a set of dice for you."),
                QStringLiteral("If set to act as a dicebot by my owner with ,be, I can also roll dice even "
                               "without the command itself, just give me the roll parameters."),
                QStringLiteral(
                    "The basic syntax for the command is this: pool_rerolls#dice_numberddicesides"),
                QStringLiteral(
                    "Pool rerolls number and dice number may be omitted, and I will default them to 1."),
                QStringLiteral("Basic examples: ,roll 1d20; 2#3d6."),
                QStringLiteral("You can also specify more complex dice pool parameters, using parentheses, "
                               "semicolon and math operation signs."),
                QStringLiteral("Complex example: ,roll 6d6#(2+d20)*(4d6/4)."),
                QStringLiteral("There are also command words, modifying the way I supply results:"),
                QStringLiteral("droplow for me to omit the lowest roll in the set (doesn't work for random "
                               "pool reroll numbers),"),
                QStringLiteral("full (or f) for me to show every die rolled, and short (or s) to show only "
                               "the final results for each pool. These two last are mutually exclusive."),
                QStringLiteral("tn (or vs) to specify the target number for each die rolled, dice rolling "
                               "more or equal than tn count as hits and are displayed as such."),
                QStringLiteral("Command words are specified after the dice pool parameters divided by space "
                               "signs. You can add a comment after the command words."),
                QStringLiteral("Command word usage example: ,roll 6#4d6 full droplow D&D character creation; "
                               ",roll 20d6 short tn 5 Shadowrun machine gun."),
            } },
        { { QStringLiteral("r"), QStringLiteral("gmroll"), QStringLiteral("gr") }, false,
            {
                QStringLiteral(
                    "Say \"r\", and I will roll dice written as on Roll20 and Foundry: ,r 4d6kh3; ,r "
                    "d20+5 to hit."),
                QStringLiteral(
                    "Dice: 3d6, d20, d% (a d100), 4dF (Fudge dice, -1 to +1). Keep or drop: 4d6kh3 "
                    "(k for short), 2d20kl1, 4d6dl1, 4d6dh1."),
                QStringLiteral(
                    "Exploding: 3d6! on the highest face, d10!>=8 on 8 or more, d6!! adds into one "
                    "die, d6!p takes one off each extra die."),
                QStringLiteral(
                    "Rerolls: 2d6r1 or r<=2 until the die no longer matches, 2d6ro1 only once. Rules "
                    "combine in any order: 4d6r1kh3."),
                QStringLiteral(
                    "Successes: 10d10>=7 counts dice of 7 or more (also >, <, <=, =), f1 takes one "
                    "away for each 1, dbl10 counts each 10 twice: ,r 10d10>=7dbl10."),
                QStringLiteral("Exploded dice count too: ,r 5d10>=8! (a point right after ! says where to "
                               "explode: 5d10!>=9>=8)."),
                QStringLiteral("Arithmetic: + - * / with parentheses, floor() ceil() round() abs(): ,r "
                               "floor((2d6+3)/2)."),
                QStringLiteral(
                    "Several rolls: ,r d20; 2d6. Repeats: ,r 6#4d6kh3. The best of a group: ,r {d8!, "
                    "d6!}kh1."),
                QStringLiteral(
                    "Words after a blank that do not go on with the roll are its comment. ,gmroll (or "
                    ",gr) shows the roll only to you and the game master; where my owner allows it, "
                    "[[2d6+3]] in a line is rolled too."),
            } },
        { { QStringLiteral("rolls"), QStringLiteral("recall"), QStringLiteral("reveal"),
              QStringLiteral("luck") },
            false,
            {
                QStringLiteral("I keep every dice result I say, numbered, with who rolled it and when."),
                QStringLiteral("\"rolls [nick] [n]\" lists privately the last n rolls (5, at most 20) made "
                               "here by nick (you unless named): ,rolls Kell 10."),
                QStringLiteral("\"recall N\" says roll N again with who rolled it and when, where it was "
                               "made or privately to its roller: ,recall 42."),
                QStringLiteral("\"reveal N\" shows a secret roll to the channel it was made in; its roller "
                               "or the game master may: ,reveal 42."),
                QStringLiteral("\"luck [nick]\" tells privately, per die size, how many dice and their mean, "
                               "and whether the faces look fair by a chi-square test."),
                QStringLiteral("A secret roll is shown only to its roller and the game master, a private one "
                               "only to its roller; someone else's luck counts public rolls only."),
            } },
        { { QStringLiteral("tarot") }, false,
            {
                QStringLiteral("Say \"tarot\", and I will pull a set of Tarot cards for you."),
                QStringLiteral("Specify the number and type of cards you need using this syntax: "),
                QStringLiteral("(number_of_cards)c(card_set)"),
                QStringLiteral("card_set can be either S, T, M or D: 52-card deck, trumps only, minor "
                               "arcanas only or all the deck, respectively."),
                QStringLiteral("You may specify \"full\" as the only secondary parameter, making me say "
                               "whether the card is face up or face down."),
                QStringLiteral("You can omit the \"tarot\" command whatsoever, only specifying its "
                               "parameters in the way I just described."),
                QStringLiteral("I will most likely guess what you want. Well, I hope so, at least, I'm just "
                               "a bot, after all."),
            } },
        { { QStringLiteral("dhhit") }, false,
            {
                QStringLiteral("dhhit is a function to allocate hits on different body parts randomly"),
                QStringLiteral("in Dark Heresy. You can supply hits number as a sole parameter."),
                QStringLiteral("Example: ,dhhit 10"),
            } },
        { { QStringLiteral("dhcrit") }, false,
            {
                QStringLiteral("dhcrit is a function to show Dark Heresy critical hit descriptions."),
                QStringLiteral("Syntax: ,dhcrit [damage_type] [damage_zone] [crit_wounds]"),
                QStringLiteral("[damage_type] is either [E]nergy, [I]mpact, [R]ending or E[X]plosive."),
                QStringLiteral("[damage_zone] is either [Head], [Body], [Arm] or [Leg]."),
                QStringLiteral("[crit_wounds] is just a number."),
                QStringLiteral("Example: ,dhcrit E Head 11"),
            } },
        { { QStringLiteral("dhburst") }, false,
            {
                QStringLiteral(
                    "dhburst command allocates a specified number of hits on various body parts in DH."),
                QStringLiteral("The only parameter is number of hits to allocate, and really is optional."),
                QStringLiteral("Example: ,dhburst 10"),
            } },
        { { QStringLiteral("dhfall") }, false,
            {
                QStringLiteral("dhfall command orders me to count, how much damage you will sustain after "
                               "falling from a certain height."),
                QStringLiteral("The parameter you need to specify is the falling height in meters."),
                QStringLiteral("Example: ,dhfall 25 (you can pretty much roll a new character if you need a "
                               "command like this, though)."),
            } },
        { { QStringLiteral("dhhal") }, false,
            {
                QStringLiteral("dhhal command orders me to randomly determine which effect will a "
                               "hallucinogen grenade have on your character in DH."),
                QStringLiteral("No parameter needs to be specified."),
            } },
        { { QStringLiteral("dhroll"), QStringLiteral("dr") }, false,
            {
                QStringLiteral("dhroll (dr for short) is the DH dice-rolling command."),
                QStringLiteral("Without parameters, it just rolls a d100."),
                QStringLiteral("The first parameter you specify must be the target number for the test."),
                QStringLiteral("You can also add up to two command words after the target number, such as:"),
                QStringLiteral("melee=close - the roll is a melee attack."),
                QStringLiteral("shot - the roll is a ranged attack."),
                QStringLiteral("short=burst=semi - the roll is a semi-automatic ranged attack."),
                QStringLiteral("long=full - the roll is a full auto ranged attack."),
                QStringLiteral("scatter - the roll is an attack with a scatter weapon."),
                QStringLiteral("overheats - the roll is an attack with an overheating weapon."),
                QStringLiteral("Examples: ,dr; ,dr 50 shot; ,dr 60 long scatter."),
            } },
        { { QStringLiteral("srtest") }, false,
            {
                QStringLiteral("srtest command allows you to roll a dice pool of specified size for "
                               "Shadowrun 4ed tests."),
                QStringLiteral("The parameter needed is, obviously, the dice pool size."),
                QStringLiteral("You can also specify if the bot should report you all the roll results or "
                               "just the hits count."),
                QStringLiteral("Use \"f\" or \"full\" parameter for that."),
                QStringLiteral("Examples: ,srtest 10 full ; ,srtest 15"),
            } },
        { { QStringLiteral("srext") }, false,
            {
                QStringLiteral("srext command allows you to roll a dice pool of specified size for Shadowrun "
                               "4ed extended tests with a specific target hit number."),
                QStringLiteral("Parameters needed are, naturally, the dice pool size and the target hit "
                               "number (one after another and not the other way round)."),
                QStringLiteral("You can also specify if the bot should report you all the roll results or "
                               "just the number of dice rolls he used."),
                QStringLiteral("Use \"f\" or \"full\" parameter for that."),
                QStringLiteral("Examples: ,srext 10 30 full ; ,srext 15 10"),
            } },
        { { QStringLiteral("sredge") }, false,
            {
                QStringLiteral("sredge command allows you to roll a dice pool of specified size for "
                               "Shadowrun 4ed edge tests."),
                QStringLiteral("The parameter needed is, obviously, the dice pool size."),
                QStringLiteral("You can also specify if the bot should report you all the iteration roll "
                               "results or just the hits count."),
                QStringLiteral("Use \"f\" or \"full\" parameter for that."),
                QStringLiteral("Examples: ,sredge 10 full ; ,sredge 15"),
            } },
        { { QStringLiteral("srnpc") }, false,
            {
                QStringLiteral("srnpc allows you to quickly create an NPC for Shadowrun 4e, with 200 BP "
                               "total spent on his Physical and Mental attributes."),
                QStringLiteral("Edge, Magic or Resonance are determined randomly if need be."),
                QStringLiteral("You can either call the command without parameters, or specify metatype, "
                               "special ability and/or dominant ability required."),
                QStringLiteral("If the dominant ability is specified in caps, it's maxed out, otherwise it's "
                               "a point below natural maximum."),
                QStringLiteral("Examples: ,srnpc human Cha; ,srnpc human AGI; ,srnpc troll technomancer Int"),
            } },
        { { QStringLiteral("srnade") }, false,
            {
                QStringLiteral("srnade allows for random grenade (or similar projectile) scattering "
                               "calculation for SR4E."),
                QStringLiteral("You must specify net hits scored on the opposed test prior to the scattering "
                               "effect determination."),
                QStringLiteral("You can also specify projectile type: grenade, aerodynamic (or just aero), "
                               "launcher, rocket, missile, or airburst (or just air or burst)."),
                QStringLiteral("Examples: ,srnade 2; ,srnade launcher 4"),
            } },
        { { QStringLiteral("dryh") }, false,
            {
                QStringLiteral("dryh command allows you to have a pool of colored dice rolled for Don't Rest "
                               "Your Head."),
                QStringLiteral("The parameter you must specify is the number of white discipline dice."),
                QStringLiteral("The parameters you can also specify are the number of red madness dice and "
                               "black exhaustion dice."),
                QStringLiteral(
                    "The numbers specified must be separated by a single space, like this: ,dryh 4 3 5"),
            } },
        { { QStringLiteral("ware") }, false,
            {
                QStringLiteral("ware is a function to show contents of a single drawer on curioshop site."),
                QStringLiteral("There are typically various creepy things inside."),
                QStringLiteral("You can specify the floor the drawer is on as a sole parameter."),
            } },
        { { QStringLiteral("part") }, false,
            {
                QStringLiteral("part command makes me leave the channel I'm currently on."),
                QStringLiteral("Beware, making me leave the channel I should be on may result in a ban."),
            } },
        { { QStringLiteral("join") }, false,
            {
                QStringLiteral("join command makes me join the channel specified in the parameter."),
                QStringLiteral("Example: ,join #bottest"),
            } },
        { { QStringLiteral("quit") }, false,
            {
                QStringLiteral("quit command makes me disconnect from the server I am connected to."),
                QStringLiteral("Only my owner can issue that command."),
            } },
        { { QStringLiteral("say") }, false,
            {
                QStringLiteral("say is a function used for transmitting messages to the channels I am on and "
                               "you are not."),
                QStringLiteral("The only parameter is the target channel name, precided with # sign."),
                QStringLiteral("Example: ,say #suptg I hate you Quorv!"),
            } },
        { { QStringLiteral("do") }, false,
            {
                QStringLiteral("do is a function used to make me perform an action of your choosing on the "
                               "current channel."),
                QStringLiteral("Example: ,do hugs his owner"),
            } },
        { { QStringLiteral("help") }, false,
            {
                QStringLiteral("Feeling recursive today, huh?"),
                QStringLiteral("Alright, help is the command for showing help. It takes command names as the "
                               "only parameter."),
                QStringLiteral("Happy now?"),
            } },
        { { QStringLiteral("how") }, false,
            {
                QStringLiteral("how command is a request for my settings."),
                QStringLiteral("So, obviously, if I'm allowed to, I will tell you my settings."),
            } },
        { { QStringLiteral("be") }, false,
            {
                QStringLiteral("be command can set up some of my functions."),
                QStringLiteral("First, you can tell me to be either \"silent\" or \"talkative\". When in "
                               "silent mode, I will only reply to commands with PMs."),
                QStringLiteral("Second, you can set up if I should participate in the preprogrammed dialogs "
                               "of the other suptg bots."),
                QStringLiteral("Use \"teamrocketing\" and \"not teamrocketing\" parameters for that matter."),
                QStringLiteral("Third, you also can make me roll the dice pools not preceeded by ,roll or "
                               "stop doing that."),
                QStringLiteral("Use \"dicerollan\" and \"not dicerollan\" command words for that."),
                QStringLiteral("Fourth, use command words \"commanded on \", followed by a single character, "
                               "to set the first character in the lines I should get as commands."),
                QStringLiteral("Example: ,be not dicerollan; ,be commanded on !"),
            } },
        { { QStringLiteral("who") }, false,
            {
                QStringLiteral(
                    "After a who command I will tell you who I am. That is, my owner and version number."),
            } },
        { { QStringLiteral("last") }, false,
            {
                QStringLiteral("Last command makes me show the last 50 messages I logged on the channel it "
                               "was given from."),
                QStringLiteral("You can specify a different line number as a sole parameter, but I only "
                               "store 50 lines for each channel anyway."),
            } },
        { { QStringLiteral("hello") }, false,
            {
                QStringLiteral("Hello command makes me greet you. :3"),
            } },
        { { QStringLiteral("dhdiv") }, false,
            {
                QStringLiteral("Use dhdiv command to request an Imperial Divination."),
                QStringLiteral("Specify \"full\" or \"f\" parameter to also get in-game effects of this "
                               "Divination on your DH character."),
            } },
        { { QStringLiteral("div") }, false,
            {
                QStringLiteral("Use div command to request an Imperial Though for the Day."),
            } },
        { { QStringLiteral("noes") }, false,
            {
                QStringLiteral("Use noes command to get a quote from the ironic set of 1150 things an PRG "
                               "player shound never ever do."),
                QStringLiteral("You can also specify the exact number of the quote you want to get as the "
                               "only parameter."),
            } },
        { { QStringLiteral("daat") }, false,
            {
                QStringLiteral("Use noes command to get a quote from the hilarious Doc Brinewick's Random "
                               "Adventure percentile Table."),
                QStringLiteral("Some more random adventure seeds are also added to the table; only first 100 "
                               "are Doc Brinewick's."),
                QStringLiteral("You can also specify the exact number of the quote you want to get as the "
                               "only parameter."),
            } },
        { { QStringLiteral("char") }, false,
            {
                QStringLiteral("Use char command to get a random hilarious character description."),
                QStringLiteral("The characters used are from a /tg/ thread on the matter."),
                QStringLiteral("You can also specify the exact number of the description you want to get as "
                               "the only parameter."),
            } },
        { { QStringLiteral("space") }, false,
            {
                QStringLiteral("Use space command to get a random space encounter description."),
                QStringLiteral("The encounters used are from a /tg/ thread on the matter."),
                QStringLiteral("You can also specify the exact number of the description you want to get as "
                               "the only parameter."),
            } },
        { { QStringLiteral("art") }, false,
            {
                QStringLiteral("Use art command to get a random artifact description."),
                QStringLiteral("You can also specify the exact number of the description you want to get as "
                               "the only parameter."),
            } },
        { { QStringLiteral("rev") }, false,
            {
                QStringLiteral("Since bots never sleep, I see all of your shit."),
                QStringLiteral(" If you want a piece of shocking truth about yourself, REVelation command is "
                               "your choice."),
            } },
        { { QStringLiteral("sr3test") }, false,
            {
                QStringLiteral(
                    "sr3test is a standard SR3 dice pool roll, Rule of 1 and Rule of 6 both working."),
                QStringLiteral("The only parameter you must specify is the dice pool size."),
                QStringLiteral("You can also specify the target number, and I will count successes. Add \" "
                               "vs X\" after the pool size for that."),
                QStringLiteral("You can also add \"full\" after that to see each of the dice pool rolls with "
                               "Rule of Six, and your comments."),
                QStringLiteral("Examples: ,sr3test 15 vs 4 full Dodge; ,sr3test 10"),
            } },
        { { QStringLiteral("ep") }, false,
            {
                QStringLiteral("ep is an Eclipse Phase rolling function."),
                QStringLiteral(
                    "You can specify either one parameter - the target number, if it's a straight test,"),
                QStringLiteral("or two target numbers, if the test is opposed."),
                QStringLiteral(
                    "I determine whether the test is a success, whether is's a critical or a severe one."),
                QStringLiteral("I can also say who won the opposed test as per standard core rules."),
                QStringLiteral("Examples: ,ep 25 Freerunning; ,ep 50 vs 75 Shooting"),
            } },
        { { QStringLiteral("draw") }, false,
            {
                QStringLiteral("draw makes me draw a single card from a standard poker deck for Deadlands."),
                QStringLiteral("No single card can be drawn from a deck twice."),
            } },
        { { QStringLiteral("drawhand") }, false,
            {
                QStringLiteral(
                    "draw makes me draw seven cards from a standard poker deck for Deadlands, a full hand."),
                QStringLiteral("No single card can be drawn from a deck twice."),
            } },
        { { QStringLiteral("match") }, false,
            {
                QStringLiteral("match rolls a pool of dice and detects matches, represening them as [number "
                               "rolled]x[value rolled]."),
                QStringLiteral("Could be used for DRYH games."),
                QStringLiteral("The only parameter is the number of dice to roll."),
            } },
        { { QStringLiteral("newdeck") }, false,
            {
                QStringLiteral("newdeck starts a new pocker deck for draw and drawhand commands."),
                QStringLiteral("Essentially, it erases the data on which cards have been drawn already."),
            } },
        { { QStringLiteral("seen") }, false,
            {
                QStringLiteral("Use seen command to get info on when was a user last seen connecting, "
                               "disconnecting or messaging on a channel."),
                QStringLiteral("Obviously, you need to specify the user's nick. If you are requesting info "
                               "on user's actions on another channel, also specify the channel's name."),
                QStringLiteral("You can also request info on the other nicks the user has been seen using, "
                               "the channels he has been seen on, and whether I've seen anyone at all."),
                QStringLiteral("Examples of usage: ,seen Tessarin; ,seen Tessarin #suptg; ,seen anyone; "
                               ",seen Tessarin around; ,seen Tessarin names."),
            } },
        { { QStringLiteral("list") }, false,
            {
                QStringLiteral("Use list command to list custom text files which I currently use."),
            } },
        { { QStringLiteral("aliases") }, false,
            {
                QStringLiteral("Use aliases command to list command aliases I'm using."),
                QStringLiteral("You can also specify a specific alias's name as a parameter to see the "
                               "actual command behind it."),
            } },
        { { QStringLiteral("count") }, false,
            {
                QStringLiteral("Count is the command for using the countdown timer."),
                QStringLiteral("It requires two parameters - the initial and target numbers. The first one "
                               "may be skipped, however, and I then presume it to be 1."),
                QStringLiteral("Example: ,count to 10; count 15 to 5."),
                QStringLiteral(
                    "You can also specify the step size for the countdown with step parameter; and the "
                    "interval between steps in seconds with interval (or just int) parameter."),
                QStringLiteral("If you don't specify those, I will presume both to be 1s."),
                QStringLiteral("Example: ,count 1 to 20 step 2 interval 5; count 20 to 1 step 5 int 10."),
                QStringLiteral(
                    "Everything written after those parameters I presume to be a comment on the roll."),
                QStringLiteral("Example: ,count 1 to 100 step 10 interval 10 Bomb timer."),
                QStringLiteral(
                    "You can also pause the countdown with pause parameter, or resume a paused countdown "
                    "with resume parameter. Any user on the channel I am counting for may do it."),
                QStringLiteral("To prevent abuse, a single count command can only produce 30 lines of text "
                               "or work for 10 minutes. These limitations do not apply to PMs."),
                QStringLiteral("Furthermore, I will only have one countdown active at a time, and I will "
                               "report who is using said countdown if questioned."),
                QStringLiteral("The owner may interrupt the current active countdown with ,count stop."),
            } },
        { { QStringLiteral("channel") }, false,
            {
                QStringLiteral(
                    "channel shows privately the settings of the channel you say it in: its own, and "
                    "the global ones it follows. ,channel #name names another channel."),
                QStringLiteral(
                    "The owner, privileged users and the channel's operators may change them with "
                    ",channel set KEY VALUE, or go back to the global one with ,channel unset KEY."),
                QStringLiteral(
                    "Keys: char (the command character), dicebot, silent and inline (yes or no), gm "
                    "(who sees ,gmroll: a nick, $a:account or mask), system (none, sr3, sr4, ex, ep, dh or "
                    "dryh)."),
                QStringLiteral(
                    "Under a system, ,r followed by a number is that system's roll: ,r 9 is ,srtest 9 "
                    "under sr4, ,r 7 vs 8 is ,ex 7 vs 8 under ex; ,r 2d6 stays a dice roll."),
            } },
        { { QStringLiteral("dnd"), QStringLiteral("d&d") }, true,
            {
                QStringLiteral("I am not good for any specific D&D task."),
                QStringLiteral("There were plans to allow me describe monsters, feats, skills and items, but "
                               "it turned out there was nobody to use it."),
                QStringLiteral("Perhaps you can use me as a simple dicebot with that roll command if you're "
                               "playing D&D, though. See its help topic to get more info."),
            } },
        { { QStringLiteral("dh"), QStringLiteral("darkheresy"), QStringLiteral("dark heresy") }, true,
            {
                QStringLiteral("Dark Heresy is my cup of tea."),
                QStringLiteral("I can describe any test rolls, crit effects, allocate single hits and bursts "
                               "of fire, give you thoughts for the day and count damage from falling."),
                QStringLiteral("These are dhroll, dhcrit, dhhit, dhdiv, dhburst and dhfall commands, "
                               "respectively. See their own help topics to get more info."),
            } },
        { { QStringLiteral("sr"), QStringLiteral("shadowrun") }, true,
            {
                QStringLiteral(
                    "Well, I am not specifically designed for Shadowrun, but I still can be of some use."),
                QStringLiteral("I can roll dice pools for you, both for ordinary, extended and edge tests."),
                QStringLiteral("Use srtest, srext and sredge commands for that, respectively. See their help "
                               "topics to get more info on the usage."),
                QStringLiteral("I can also quickly stat up NPCs after a srnpc command, or compute grenade "
                               "deviations after srnade."),
                QStringLiteral("Third edition players can use the sr3test function."),
            } },
        { { QStringLiteral("exalted"), QStringLiteral("ex") }, true,
            {
                QStringLiteral(",exalted is the dice-rolling function for Exalted."),
                QStringLiteral("The only parameter you must specify is a number of dice you roll. The "
                               "default target number is 7."),
                QStringLiteral("There's also a number of commandwords available:"),
                QStringLiteral(
                    "flurry X - rolls a flurry of X rolls, with appropriate penalties to each roll."),
                QStringLiteral("multi X - rolls a magical flurry of X rolls - that is, basically, a flurry "
                               "without penalties."),
                QStringLiteral(
                    "vs X - sets X as target number. Any rolls no less than X count as successes."),
                QStringLiteral("damage - informs me that you're rolling a damage roll. 10s don't count for "
                               "two hits in damage rolls."),
                QStringLiteral("Examples: ,ex 7; ,ex 7 damage; ,ex 7 vs 6 multi 3."),
            } },
    };
    return topics;
}

const QStringList& GeneralHelp()
{
    static const QStringList lines {
        QStringLiteral(
            "I can't imagine what the help you are babbling about. Seriously now, I am a simple IRC bot."),
        QStringLiteral("All my commands normally start with \",\" or my name followed by \", \"; and I have "
                       "several command groups:"),
        QStringLiteral("Random generation: roll, r, tarot, space, art."),
        QStringLiteral("Dark Heresy: dhroll, dhhit, dhburst, dhcrit, dhhal, dhfall, dhdiv."),
        QStringLiteral("Don't Rest Your Head: dryh."),
        QStringLiteral("Eclipse Phase: ep, match."),
        QStringLiteral("Shadowrun: srtest, sredge, srext, srnade, srnpc, sr3test."),
        QStringLiteral("Exalted: ex."),
        QStringLiteral("Fun: daat, noes, ware, critfail, div, rev."),
        QStringLiteral("System and auxiliary: hello, join, part, quit, say, seen, count, who, how, be, list, "
                       "aliases, help."),
        QStringLiteral("Additional files for random reply generation and command aliases may be created by "
                       "my owner, and you might list those with list and aliases commands."),
        QStringLiteral("For more detailed descriptions please refer to individual command help entries, "
                       "typing ,help command_name."),
    };
    return lines;
}

} // namespace commands
