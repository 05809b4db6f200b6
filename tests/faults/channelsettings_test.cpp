// Channels' own settings on real servers. Two tables on ngircd, #sr and #dh, whose settings differ in every
// key: a channel operator, a privileged user and a plain user try to change them; after a restart the new
// bot answers each channel by its own settings. And those who would take the settings from others: an
// operator deopped among InspIRCd's own modes, a user filling the table with channels of her own.

#include "support/headlessbot.h"
#include "support/ircdaemon.h"
#include "support/qtprint.h"
#include "support/tempfiles.h"
#include "support/testircclient.h"

#include <gtest/gtest.h>

namespace {

using testing_support::HeadlessBot;
using testing_support::IrcDaemon;
using testing_support::TempFiles;
using testing_support::TestIrcClient;

struct Request {
    TestIrcClient& From;
    QByteArray Line; // sent as is; none for one more answer to the line before
    TestIrcClient& Hears;
    QByteArray Answer; // a text of the answer
};

void Exchange(std::initializer_list<Request> requests)
{
    for (const Request& r : requests) {
        if (!r.Line.isEmpty())
            r.From.Send(r.Line);
        EXPECT_TRUE(r.Hears.WaitForLine(r.Answer))
            << r.Line.toStdString() << " got no " << r.Answer.toStdString();
    }
}

qsizetype CountContaining(const QList<QByteArray>& lines, const QByteArray& text)
{
    return std::count_if(
        lines.cbegin(), lines.cend(), [&text](const QByteArray& line) { return line.contains(text); });
}

TEST(Faults, EachChannelKeepsItsOwnSettingsAcrossARestart)
{
    const auto server = IrcDaemon::Ngircd();
    ASSERT_TRUE(server->Start()) << server->Output().toStdString();
    TempFiles files;
    files.Write("settings.conf", testing_support::SettingsFile(200, 100));
    files.Write("previleged.conf", "Vera\r\n");
    files.Write("tessarin.ini", "[store]\nkeep = yes\n");

    // Oscar opens #sr and so is its operator; the bot opens #dh.
    TestIrcClient oscar, vera, pete;
    ASSERT_TRUE(oscar.Register(server->Port(), "Oscar"));
    oscar.Send("JOIN #sr");
    ASSERT_TRUE(oscar.WaitForLine(" 366 Oscar #sr "));
    const QStringList arguments { "--files", files.Path(), "--server",
        "127.0.0.1:" + QString::number(server->Port()), "--join", "#sr,#dh", "--set", "flood/line_interval=0",
        "--set", "flood/burst_lines=100" };
    auto first = std::make_unique<HeadlessBot>();
    ASSERT_TRUE(first->Start(arguments));
    ASSERT_TRUE(first->WaitForLine("Joined #sr"));
    ASSERT_TRUE(first->WaitForLine("Joined #dh"));
    for (auto [client, nick] : { std::pair { &vera, "Vera" }, std::pair { &pete, "Pete" } }) {
        ASSERT_TRUE(client->Register(server->Port(), nick));
        client->Send("JOIN #sr,#dh");
        ASSERT_TRUE(client->WaitForLine(" 366 " + QByteArray(nick) + " #dh "));
    }
    oscar.Send("JOIN #dh");
    ASSERT_TRUE(oscar.WaitForLine(" 366 Oscar #dh "));

    Exchange({
        { pete, "PRIVMSG #sr :,channel set system ex", pete, "PRIVMSG Pete :Pete, only the owner" },
        { oscar, "PRIVMSG #dh :,channel set system ex", oscar, "PRIVMSG Oscar :Oscar, only the owner" },
        { oscar, "PRIVMSG #sr :,channel set char !", oscar, "PRIVMSG Oscar :#sr: char is ! now." },
        { oscar, "PRIVMSG #sr :!channel set dicebot yes", oscar, "PRIVMSG Oscar :#sr: dicebot is yes now." },
        { oscar, "PRIVMSG #sr :!channel set silent no", oscar, "PRIVMSG Oscar :#sr: silent is no now." },
        { oscar, "PRIVMSG #sr :!channel set inline no", oscar, "PRIVMSG Oscar :#sr: inline is no now." },
        { oscar, "PRIVMSG #sr :!channel set system sr4", oscar, "PRIVMSG Oscar :#sr: system is sr4 now." },
        { oscar, "PRIVMSG #sr :!channel set gm Oscar", oscar, "PRIVMSG Oscar :#sr: gm is Oscar now." },
        { vera, "PRIVMSG Tessarin :,channel #dh set char .", vera, "PRIVMSG Vera :#dh: char is . now." },
        { vera, "PRIVMSG Tessarin :,channel #dh set dicebot no", vera,
            "PRIVMSG Vera :#dh: dicebot is no now." },
        { vera, "PRIVMSG Tessarin :,channel #dh set silent yes", vera,
            "PRIVMSG Vera :#dh: silent is yes now." },
        { vera, "PRIVMSG Tessarin :,channel #dh set inline yes", vera,
            "PRIVMSG Vera :#dh: inline is yes now." },
        { vera, "PRIVMSG Tessarin :,channel #dh set system dh", vera,
            "PRIVMSG Vera :#dh: system is dh now." },
        { vera, "PRIVMSG #sr :!channel #dh set gm Vera", vera, "PRIVMSG Vera :#dh: gm is Vera now." },
    });
    EXPECT_EQ(first->Finish(), 0);
    first.reset();

    HeadlessBot second;
    ASSERT_TRUE(second.Start(arguments));
    ASSERT_TRUE(second.WaitForLine("Joined #dh"));
    // The new bot has to see the names lists again before Oscar counts as an operator.
    ASSERT_TRUE(second.WaitForLine("Joined #sr"));
    Exchange({
        { pete, "PRIVMSG #sr :!channel", pete,
            "PRIVMSG Pete :#sr: char ! (own), dicebot yes (own), silent no (own), inline no (own), system "
            "sr4 "
            "(own), gm Oscar (own)." },
        { pete, "PRIVMSG #dh :.channel", pete,
            "PRIVMSG Pete :#dh: char . (own), dicebot no (own), silent yes (own), inline yes (own), system "
            "dh "
            "(own), gm Vera (own)." },
        // #sr: "!" commands, answers in the channel, bare dice rolled, ",r 9" and ",gr 2" are Shadowrun
        // tests.
        { pete, "PRIVMSG #sr :,who", vera, "PRIVMSG #sr :,who" },
        { pete, "PRIVMSG #sr :!r 9", pete, "PRIVMSG #sr :Pete, hits: " },
        { pete, "PRIVMSG #sr :2d1", pete, "PRIVMSG #sr :Pete: 2" },
        { oscar, "PRIVMSG #sr :[[1+1]] said in #sr", pete, "[[1+1]] said in #sr" },
        { pete, "PRIVMSG #sr :!gr 2", pete, "PRIVMSG Pete :Pete, hits: " },
        { pete, "", oscar, "PRIVMSG Oscar :Pete in #sr, hits: " },
        // #dh: "." commands, answers in private, inline rolls, ".r 45" a Dark Heresy test.
        { pete, "PRIVMSG #dh :.r 45", pete, "PRIVMSG Pete :Pete: " },
        { pete, "PRIVMSG #dh :I fire [[1+1]]", pete, "PRIVMSG Pete :Pete: [[1+1]] = " },
        { pete, "PRIVMSG #dh :.gr 1d1", pete, "PRIVMSG Pete :Pete: 1d1 [1] = " },
        { pete, "", vera, "PRIVMSG Vera :Pete: 1d1 [1] = " },
        { oscar, "PRIVMSG #sr :!channel unset gm", oscar,
            "PRIVMSG Oscar :#sr: gm follows the global setting again" },
        { oscar, "PRIVMSG #dh :.channel set silent no", oscar, "PRIVMSG Oscar :Oscar, only the owner" },
    });
    // The bot answers in order, so by now it would have answered the ",who" of #sr and the inline roll
    // said there: it did neither.
    EXPECT_EQ(CountContaining(pete.Lines, "I am a mere DH IRC bot"), 0);
    EXPECT_EQ(CountContaining(pete.Lines, "[[1+1]] ="), 1);
    EXPECT_EQ(second.Finish(), 0);
}

// InspIRCd's "d" takes a parameter when set: Bob's "+d-o 5 Mallory" takes Mallory's operator status, and
// with it her say over the channel's settings.
TEST(Faults, AnOperatorTakenDownAmongOtherModesLosesHerSayOverTheChannel)
{
    const auto server = IrcDaemon::InspircdWithDelayMode();
    ASSERT_TRUE(server->Start()) << server->Output().toStdString();
    TempFiles files;
    files.Write("settings.conf", testing_support::SettingsFile(200, 100));

    TestIrcClient mallory, bob;
    ASSERT_TRUE(mallory.Register(server->Port(), "Mallory"));
    mallory.Send("JOIN #t");
    ASSERT_TRUE(mallory.WaitForLine(" 366 Mallory #t "));
    ASSERT_TRUE(bob.Register(server->Port(), "Bob"));
    bob.Send("JOIN #t");
    ASSERT_TRUE(bob.WaitForLine(" 366 Bob #t "));
    mallory.Send("MODE #t +o Bob");
    ASSERT_TRUE(bob.WaitForLine(" MODE #t +o :Bob"));
    HeadlessBot bot;
    ASSERT_TRUE(
        bot.Start({ "--files", files.Path(), "--server", "127.0.0.1:" + QString::number(server->Port()),
            "--join", "#t", "--set", "flood/line_interval=0", "--set", "flood/burst_lines=100" }));
    ASSERT_TRUE(bot.WaitForLine("Joined #t"));

    Exchange({
        { mallory, "PRIVMSG Tessarin :,channel #t set dicebot yes", mallory,
            "PRIVMSG Mallory :#t: dicebot is yes now." },
        { bob, "MODE #t +d-o 5 Mallory", mallory, " MODE #t +d-o 5 :Mallory" },
        { mallory, "PRIVMSG Tessarin :,channel #t set dicebot no", mallory,
            "PRIVMSG Mallory :Mallory, only the owner, the privileged users and the operators of #t may "
            "change "
            "its settings." },
        { bob, "PRIVMSG Tessarin :,channel #t set silent yes", bob, "PRIVMSG Bob :#t: silent is yes now." },
    });
    EXPECT_EQ(bot.Finish(), 0);
}

// Mallory founds channels, brings the bot to each, gives it settings and sends it away again, until the
// table (three channels here) is full: the tables the bot serves still get their settings, before and
// after a restart, as her channels give way oldest first.
TEST(Faults, ChannelsTheBotHasLeftCannotFillTheSettingsTable)
{
    const auto server = IrcDaemon::Ngircd();
    ASSERT_TRUE(server->Start()) << server->Output().toStdString();
    TempFiles files;
    files.Write("settings.conf", testing_support::SettingsFile(200, 100));
    files.Write("tessarin.ini", "[store]\nkeep = yes\nchannel_settings = 3\n");

    TestIrcClient oscar, mallory;
    ASSERT_TRUE(oscar.Register(server->Port(), "Oscar"));
    oscar.Send("JOIN #sr,#dh");
    ASSERT_TRUE(oscar.WaitForLine(" 366 Oscar #dh "));
    ASSERT_TRUE(mallory.Register(server->Port(), "Mallory"));
    const QStringList arguments { "--files", files.Path(), "--server",
        "127.0.0.1:" + QString::number(server->Port()), "--join", "#sr,#dh", "--set", "flood/line_interval=0",
        "--set", "flood/burst_lines=100" };
    auto first = std::make_unique<HeadlessBot>();
    ASSERT_TRUE(first->Start(arguments));
    ASSERT_TRUE(first->WaitForLine("Joined #dh"));

    for (const QByteArray channel : { "#m1", "#m2", "#m3" }) {
        mallory.Send("JOIN " + channel);
        ASSERT_TRUE(mallory.WaitForLine(" 366 Mallory " + channel + ' '));
        Exchange(
            { { mallory, "PRIVMSG Tessarin :,join " + channel, mallory, "Joining channel " + channel } });
        ASSERT_TRUE(first->WaitForLine("Joined " + QString::fromLatin1(channel)));
        Exchange({
            { mallory, "PRIVMSG " + channel + " :,channel set dicebot yes", mallory,
                "PRIVMSG Mallory :" + channel + ": dicebot is yes now." },
            { mallory, "PRIVMSG " + channel + " :,part", mallory, " PART " + channel },
        });
    }
    Exchange({
        { oscar, "PRIVMSG #sr :,channel set dicebot yes", oscar, "PRIVMSG Oscar :#sr: dicebot is yes now." },
    });
    EXPECT_TRUE(first->WaitForLine("Forgot the settings of #m1 to make room for #sr."));
    EXPECT_EQ(first->Finish(), 0);
    first.reset();

    HeadlessBot second;
    ASSERT_TRUE(second.Start(arguments));
    ASSERT_TRUE(second.WaitForLine("Joined #dh"));
    Exchange({
        { oscar, "PRIVMSG #dh :,channel set silent yes", oscar, "PRIVMSG Oscar :#dh: silent is yes now." },
        { oscar, "PRIVMSG #dh :,channel #m3", oscar,
            "PRIVMSG Oscar :#m3: char , (global), dicebot yes (own)" },
        { oscar, "PRIVMSG #dh :,channel #m2", oscar,
            "PRIVMSG Oscar :#m2: char , (global), dicebot no (global)" },
    });
    EXPECT_EQ(second.Finish(), 0);
}

} // namespace
