// The send queue against a server that kills flooders: InspIRCd with ircd-hybrid's limits closes a client
// with more than 2560 bytes waiting ("RecvQ exceeded"). A log replay of sixteen long lines (and its header
// and command) gets a bot without pacing killed; at the default pace (a burst of 5 lines and 2 KB, then one
// line a second) the same replay arrives whole and in order, and the bot stays. How the queue spaces its
// lines is the send queue's own test, on a clock the test sets.

#include "support/headlessbot.h"
#include "support/ircdaemon.h"
#include "support/qtprint.h"
#include "support/tempfiles.h"
#include "support/timedircclient.h"

#include <gtest/gtest.h>

namespace {

using testing_support::HeadlessBot;
using testing_support::IrcDaemon;
using testing_support::TimedIrcClient;
using testing_support::WaitFor;

constexpr int Speakers = 4;
constexpr int LinesEach = 4;
constexpr int Replayed = Speakers * LinesEach + 2;

struct Replay {
    bool Killed = false;
    QList<TimedIrcClient::Line> Lines;
};

// Starts a bot with the extra arguments, lets the speakers fill the channel log with long lines, asks for
// the replay and collects what the asker receives until the replay is whole or the bot is gone.
Replay RunReplay(const IrcDaemon& server, std::vector<std::unique_ptr<TimedIrcClient>>& speakers,
    const QStringList& extra, int round)
{
    Replay result;
    testing_support::TempFiles files;
    HeadlessBot bot;
    EXPECT_TRUE(bot.Start(QStringList { "--files", files.Path(), "--server",
                              "127.0.0.1:" + QString::number(server.Port()), "--join", "#flood" }
        + extra));
    TimedIrcClient& asker = *speakers.front();
    const qsizetype joinsBefore = asker.Count(" JOIN ");
    EXPECT_TRUE(bot.WaitForLine("Joined #flood"));
    EXPECT_TRUE(WaitFor([&] { return asker.Count(" JOIN ") > joinsBefore; }));
    for (int s = 0; s < Speakers; ++s) {
        QByteArray lines;
        for (int k = 0; k < LinesEach; ++k)
            lines += "PRIVMSG #flood :r" + QByteArray::number(round) + "s" + QByteArray::number(s) + "l"
                + QByteArray::number(k) + ' ' + QByteArray(370, 'a' + static_cast<char>(k)) + "\r\n";
        lines.chop(2);
        speakers[s]->Send(lines);
    }
    // The asker has seen what the others said, so the bot, which joined before them all, has too.
    const QByteArray lastHeard = "r" + QByteArray::number(round) + "s" + QByteArray::number(Speakers - 1)
        + "l" + QByteArray::number(LinesEach - 1);
    EXPECT_TRUE(asker.WaitForLine(lastHeard));
    const qsizetype before = asker.Received.size();
    // The command itself is logged too: the header, the sixteen lines and the command come back.
    asker.Send("PRIVMSG #flood :,last " + QByteArray::number(Speakers * LinesEach + 1));
    const QByteArray replayMark = " PRIVMSG " + asker.Nick() + " :";
    WaitFor(
        [&] {
            result.Lines.clear();
            for (qsizetype i = before; i < asker.Received.size(); ++i) {
                const TimedIrcClient::Line& line = asker.Received.at(i);
                if (line.Text.startsWith(":Tessarin!") && line.Text.contains(replayMark))
                    result.Lines.append(line);
                if (line.Text.startsWith(":Tessarin!") && line.Text.contains(" QUIT ")
                    && line.Text.contains("RecvQ exceeded"))
                    result.Killed = true;
            }
            return result.Killed || result.Lines.size() == Replayed;
        },
        30000);
    if (result.Killed)
        EXPECT_TRUE(bot.WaitForLine("Disconnected from server."));
    else
        EXPECT_FALSE(bot.Lines().contains("Disconnected from server."));
    EXPECT_EQ(bot.Finish(), 0);
    return result;
}

TEST(Flood, WithoutPacingTheServerKillsTheBotAtTheDefaultPaceTheReplayArrivesWhole)
{
    const auto server = IrcDaemon::StrictInspircd();
    ASSERT_TRUE(server->Start()) << server->Output().toStdString();
    QElapsedTimer clock;
    clock.start();
    std::vector<std::unique_ptr<TimedIrcClient>> speakers;
    for (int s = 0; s < Speakers; ++s) {
        speakers.push_back(std::make_unique<TimedIrcClient>(clock));
        ASSERT_TRUE(speakers.back()->Register(server->Port(), "speaker" + QByteArray::number(s), "#flood"));
    }

    const Replay unpaced = RunReplay(*server, speakers,
        { "--set", "flood/line_interval=0", "--set", "flood/burst_lines=100", "--set",
            "flood/burst_bytes=65536" },
        1);
    EXPECT_TRUE(unpaced.Killed)
        << "the server must kill a bot that does not pace itself, or this test shows nothing";
    EXPECT_LT(unpaced.Lines.size(), Replayed);

    const Replay paced = RunReplay(*server, speakers, {}, 2);
    EXPECT_FALSE(paced.Killed);
    ASSERT_EQ(paced.Lines.size(), Replayed);
    for (int s = 0; s < Speakers; ++s) {
        qsizetype previous = -1;
        for (int k = 0; k < LinesEach; ++k) {
            const QByteArray said = "<speaker" + QByteArray::number(s) + "> r2s" + QByteArray::number(s) + "l"
                + QByteArray::number(k) + ' ' + QByteArray(370, 'a' + static_cast<char>(k));
            const auto found = std::find_if(paced.Lines.begin(), paced.Lines.end(),
                [&](const TimedIrcClient::Line& line) { return line.Text.endsWith(said); });
            ASSERT_NE(found, paced.Lines.end()) << "line " << k << " of speaker " << s << " arrived whole";
            const qsizetype position = found - paced.Lines.begin();
            EXPECT_GT(position, previous) << "line " << k << " of speaker " << s << " in the order said";
            previous = position;
        }
    }
    for (const auto& speaker : speakers)
        EXPECT_FALSE(speaker->Closed());
}

} // namespace
