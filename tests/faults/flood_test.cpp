// The send queue against a server that kills flooders: InspIRCd with ircd-hybrid's limits closes a client
// with more than 2560 bytes waiting ("RecvQ exceeded"). A log replay of sixteen long lines (and its header
// and command) gets a bot without pacing killed; at the default pace (a burst of 5 lines and 2 KB, then one
// line a second) the same replay arrives whole, no later than the pace implies plus a second, and the bot
// stays.

#include "irc/sendqueue.h"
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
    qint64 Asked = 0;
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
    result.Asked = asker.Sent.last().Time;
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

// When the last replay line would go out at the default pace: the replay hands the bot its lines 100 ms
// apart (the first two at once), and one keep-alive line may already be held.
qint64 ImpliedDuration(const QList<TimedIrcClient::Line>& lines)
{
    irc::SendQueue queue;
    queue.Push("Tessarin", "PRIVMSG Tessarin :Ping-pong\r\n");
    qint64 last = 0;
    qsizetype next = 0;
    for (qint64 now = 0; now < 600 * 1000 && (next < lines.size() || queue.Waiting() > 0); ++now) {
        for (; next < lines.size() && std::max<qint64>(0, (next - 1) * 100) <= now; ++next) {
            // What the bot wrote: the relayed line without the prefix the server put before it.
            const QByteArray& relayed = lines.at(next).Text;
            queue.Push("asker", relayed.mid(relayed.indexOf(' ') + 1) + "\r\n");
        }
        if (!queue.Take(now).isEmpty())
            last = now;
    }
    return last;
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
        for (int k = 0; k < LinesEach; ++k) {
            const QByteArray said = "<speaker" + QByteArray::number(s) + "> r2s" + QByteArray::number(s) + "l"
                + QByteArray::number(k) + ' ' + QByteArray(370, 'a' + static_cast<char>(k));
            EXPECT_TRUE(std::any_of(paced.Lines.begin(), paced.Lines.end(),
                [&](const TimedIrcClient::Line& line) { return line.Text.endsWith(said); }))
                << "line " << k << " of speaker " << s << " arrived whole";
        }
    }
    const qint64 took = paced.Lines.last().Time - paced.Asked;
    const qint64 implied = ImpliedDuration(paced.Lines);
    EXPECT_GE(took, implied - 1000) << "the pace was kept";
    EXPECT_LE(took, implied + 1000) << "implied " << implied << " ms";
    for (const auto& speaker : speakers)
        EXPECT_FALSE(speaker->Closed());
}

} // namespace
