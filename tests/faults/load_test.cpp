// The bot under load on a real ngircd: twenty users send ten commands each within ten seconds while a
// flooder sends sixty at once. The bot stays connected, every reply to the twenty arrives, the users'
// replies take turns so that the flood does not hold anybody up, and the flooder loses its oldest replies
// past the queue's bound, which the command log reports. Nothing here is judged by how long it took: the
// machine may be busy; the pace itself is the send queue's own test, on a clock the test sets.
//
// The queue runs at a faster pace than its default here so that the test takes seconds, not minutes; with
// TESSARIN_FULL_LOAD set in the environment it runs at the default pace (a burst of 5, then one line a
// second: about four minutes).

#include "irc/sendqueue.h"
#include "support/headlessbot.h"
#include "support/ircdaemon.h"
#include "support/qtprint.h"
#include "support/tempfiles.h"
#include "support/timedircclient.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <map>

namespace {

using testing_support::HeadlessBot;
using testing_support::IrcDaemon;
using testing_support::TimedIrcClient;
using testing_support::WaitFor;

constexpr int Users = 20;
constexpr int CommandsEach = 10;
constexpr int FloodCommands = 60;
constexpr int OwnerLimit = 40;

struct Command {
    qint64 Sent;
    QByteArray Owner;
    QByteArray Tag;
};

// When the last reply would go out if the bot answered each command the moment it was sent, at the pace
// given: the send queue itself, run on the command times. One line of the bot's own (a keep-alive) is
// taken to be held when the commands begin. The wait for the replies allows a minute more than this.
qint64 ImpliedLastReply(QList<Command> commands, const irc::SendPace& pace)
{
    std::sort(
        commands.begin(), commands.end(), [](const Command& a, const Command& b) { return a.Sent < b.Sent; });
    irc::SendQueue queue;
    queue.SetPace(pace);
    const qint64 start = commands.first().Sent;
    queue.Push("Tessarin", "PRIVMSG Tessarin :Ping-pong\r\n");
    qint64 last = start;
    qsizetype next = 0;
    for (qint64 now = start; now < start + 3600 * 1000; ++now) {
        for (; next < commands.size() && commands.at(next).Sent <= now; ++next)
            queue.Push(QString::fromLatin1(commands.at(next).Owner),
                "PRIVMSG #load :" + commands.at(next).Owner + ", " + commands.at(next).Tag + ": 4\r\n");
        if (!queue.Take(now).isEmpty())
            last = now;
        if (next == commands.size() && queue.Waiting() == 0)
            break;
    }
    return last;
}

TEST(Load, TwentyUsersGetEveryReplyInTurnAndAFloodLosesOnlyItsOldest)
{
    const bool full = qEnvironmentVariableIsSet("TESSARIN_FULL_LOAD");
    irc::SendPace pace;
    pace.OwnerLimit = OwnerLimit;
    if (!full)
        pace.IntervalMs = 60;

    const auto server = IrcDaemon::Ngircd();
    ASSERT_TRUE(server->Start()) << server->Output().toStdString();
    QElapsedTimer clock;
    clock.start();
    std::vector<std::unique_ptr<TimedIrcClient>> users;
    for (int i = 0; i < Users; ++i) {
        users.push_back(std::make_unique<TimedIrcClient>(clock));
        ASSERT_TRUE(users.back()->Register(
            server->Port(), QStringLiteral("user%1").arg(i, 2, 10, QChar(u'0')).toLatin1(), "#load"));
    }
    TimedIrcClient flooder(clock);
    ASSERT_TRUE(flooder.Register(server->Port(), "flooder", "#load"));
    TimedIrcClient& observer = *users.front();

    testing_support::TempFiles files;
    HeadlessBot bot;
    QStringList arguments { "--files", files.Path(), "--server",
        "127.0.0.1:" + QString::number(server->Port()), "--join", "#load" };
    if (!full)
        arguments << "--set"
                  << "flood/line_interval=0.06";
    ASSERT_TRUE(bot.Start(arguments));
    ASSERT_TRUE(bot.WaitForLine("Joined #load"));
    ASSERT_TRUE(observer.WaitForLine(":Tessarin!"));
    // The server has handled the bot's registration and join by now: the load meets a full burst.
    testing_support::RunEventsFor(pace.BurstLines * pace.IntervalMs + 200);

    // User i sends its k-th command at k seconds plus i times 45 ms; the flooder all of its at half a second.
    QList<Command> commands;
    const qint64 start = clock.elapsed() + 100;
    std::vector<int> sent(Users, 0);
    bool flooded = false;
    ASSERT_TRUE(WaitFor(
        [&] {
            const qint64 now = clock.elapsed();
            for (int i = 0; i < Users; ++i) {
                for (; sent[i] < CommandsEach && start + sent[i] * 1000 + i * 45 <= now; ++sent[i]) {
                    const QByteArray tag = "u" + QByteArray::number(i) + "k" + QByteArray::number(sent[i]);
                    users[i]->Send("PRIVMSG #load :,roll 1d6 " + tag);
                    commands.append({ users[i]->Sent.last().Time, users[i]->Nick(), tag });
                }
            }
            if (!flooded && start + 500 <= now) {
                QByteArray flood;
                for (int k = 0; k < FloodCommands; ++k)
                    flood += "PRIVMSG #load :,roll 1d6 f" + QByteArray::number(k) + "\r\n";
                flood.chop(2);
                flooder.Send(flood);
                for (int k = 0; k < FloodCommands; ++k)
                    commands.append({ flooder.Sent.last().Time, "flooder", "f" + QByteArray::number(k) });
                flooded = true;
            }
            return flooded && std::all_of(sent.begin(), sent.end(), [](int n) { return n == CommandsEach; });
        },
        60000));

    // The replies as the observer saw them, in order: the owner's nick and the command's tag.
    static const QRegularExpression replyPattern(
        QStringLiteral("^:Tessarin!\\S+ PRIVMSG #load :(\\w+), (\\w+): \\d$"));
    struct Reply {
        qint64 Time;
        QByteArray Owner;
        QByteArray Tag;
    };
    const auto replies = [&] {
        QList<Reply> found;
        for (const TimedIrcClient::Line& line : observer.Received) {
            const QRegularExpressionMatch match = replyPattern.match(QString::fromLatin1(line.Text));
            if (match.hasMatch())
                found.append({ line.Time, match.captured(1).toLatin1(), match.captured(2).toLatin1() });
        }
        return found;
    };
    static const QRegularExpression dropPattern(
        QStringLiteral("^Send queue full: dropped (\\d+) waiting lines? for flooder\\.$"));
    const auto dropped = [&] {
        int total = 0;
        for (const QString& line : bot.Lines()) {
            const QRegularExpressionMatch match = dropPattern.match(line);
            if (match.hasMatch())
                total += match.captured(1).toInt();
        }
        return total;
    };
    const auto userReplies = [&] {
        const QList<Reply> all = replies();
        return std::count_if(
            all.begin(), all.end(), [](const Reply& reply) { return reply.Owner != "flooder"; });
    };
    const auto flooderReplies = [&] { return replies().size() - userReplies(); };
    const qint64 implied = ImpliedLastReply(commands, pace);
    ASSERT_TRUE(WaitFor(
        [&] {
            return userReplies() == Users * CommandsEach && flooderReplies() + dropped() == FloodCommands;
        },
        static_cast<int>(implied - clock.elapsed() + 60000)))
        << userReplies() << " user replies, " << flooderReplies() << " flooder replies, " << dropped()
        << " dropped";
    const QList<Reply> all = replies();

    // Connected all along.
    EXPECT_EQ(bot.Lines().count("Connected to 127.0.0.1:" + QString::number(server->Port())), 1);
    EXPECT_FALSE(bot.Lines().contains("Disconnected from server.")) << bot.Lines().join('\n').toStdString();

    // Every reply once.
    std::map<QByteArray, qint64> answered;
    for (const Reply& reply : all)
        EXPECT_TRUE(answered.emplace(reply.Tag, reply.Time).second) << reply.Tag.data();
    QList<int> flooderTags;
    for (const Reply& reply : all) {
        if (reply.Owner == "flooder")
            flooderTags.append(reply.Tag.mid(1).toInt());
    }
    // The newest OwnerLimit all came, in order; what went before them was sent at once or dropped.
    EXPECT_TRUE(std::is_sorted(flooderTags.begin(), flooderTags.end()));
    for (int tag = FloodCommands - OwnerLimit; tag < FloodCommands; ++tag)
        EXPECT_TRUE(flooderTags.contains(tag)) << "f" << tag;
    EXPECT_LE(flooderTags.size(), OwnerLimit + pace.BurstLines);

    // Taking turns: while a user's reply waits behind n of its own, nobody else gets more than n lines
    // ahead of it (one more for a line already on its way, one for the observer's view).
    int checked = 0;
    for (const Command& command : commands) {
        if (command.Owner == "flooder")
            continue;
        const qint64 replied = answered.at(command.Tag);
        int ahead = 1;
        for (const Command& earlier : commands) {
            if (earlier.Owner == command.Owner && earlier.Sent < command.Sent
                && answered.at(earlier.Tag) > command.Sent)
                ++ahead;
        }
        std::map<QByteArray, int> others;
        for (const Reply& reply : all) {
            if (reply.Owner != command.Owner && reply.Time > command.Sent && reply.Time < replied)
                ++others[reply.Owner];
        }
        for (const auto& [owner, count] : others)
            EXPECT_LE(count, ahead + 2) << owner.data() << " before " << command.Tag.data();
        ++checked;
    }
    EXPECT_EQ(checked, Users * CommandsEach);
    EXPECT_EQ(bot.Finish(), 0);
}

} // namespace
