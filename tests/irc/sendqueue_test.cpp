// The send queue on a clock of the test's own: the burst in lines and bytes, the pace after it, urgent
// lines, owners taking turns, and the bounds that drop the oldest lines.

#include "irc/casemapping.h"
#include "irc/sendqueue.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

using irc::SendPace;
using irc::SendQueue;

QByteArray Line(const QByteArray& text, qsizetype size = 0)
{
    QByteArray line = text;
    if (size > line.size() + 2)
        line += QByteArray(size - line.size() - 2, '.');
    return line + "\r\n";
}

// Takes what the queue lets go at each millisecond from `from` to `to`, with the time each line went.
QList<std::pair<qint64, QByteArray>> Drive(SendQueue& queue, qint64 from, qint64 to)
{
    QList<std::pair<qint64, QByteArray>> sent;
    for (qint64 now = from; now <= to; ++now) {
        for (const QByteArray& line : queue.Take(now))
            sent.append({ now, line });
    }
    return sent;
}

TEST(SendQueue, SendsABurstOfLinesThenOneLinePerInterval)
{
    SendQueue queue;
    for (int i = 0; i < 8; ++i)
        queue.Push("Bob", Line("PRIVMSG Bob :" + QByteArray::number(i)));
    EXPECT_EQ(queue.Take(0).size(), 5) << "the default burst";
    EXPECT_EQ(queue.Wait(0), 1000);
    EXPECT_EQ(queue.Wait(999), 1);
    EXPECT_TRUE(queue.Take(999).isEmpty());
    const auto sent = Drive(queue, 1000, 5000);
    ASSERT_EQ(sent.size(), 3);
    EXPECT_EQ(sent[0].first, 1000);
    EXPECT_EQ(sent[1].first, 2000);
    EXPECT_EQ(sent[2].first, 3000);
    EXPECT_EQ(sent[2].second, Line("PRIVMSG Bob :7"));
    EXPECT_EQ(queue.Wait(5000), -1);
    EXPECT_EQ(queue.Waiting(), 0);
}

TEST(SendQueue, TheBurstIsAlsoBoundedInBytes)
{
    SendQueue queue;
    for (int i = 0; i < 6; ++i)
        queue.Push("Bob", Line("PRIVMSG Bob :", 450));
    // 2048 bytes hold four lines of 450; each further line waits for one to be handled.
    EXPECT_EQ(queue.Take(0).size(), 4);
    const auto sent = Drive(queue, 1, 2500);
    ASSERT_EQ(sent.size(), 2);
    EXPECT_EQ(sent[0].first, 1000);
    EXPECT_EQ(sent[1].first, 2000);

    // A single line larger than the byte burst still goes once nothing is held.
    SendQueue tight;
    tight.SetPace({ 5, 512, 1000, 40, 2000 });
    tight.Push("Bob", Line("a", 510));
    tight.Push("Bob", Line("b", 510));
    EXPECT_EQ(tight.Take(0).size(), 1);
    EXPECT_EQ(tight.Take(999).size(), 0);
    EXPECT_EQ(tight.Take(1000).size(), 1);
}

TEST(SendQueue, AQuietSpellRefillsTheBurst)
{
    SendQueue queue;
    for (int i = 0; i < 5; ++i)
        queue.Push("Bob", Line("x"));
    EXPECT_EQ(queue.Take(0).size(), 5);
    for (int i = 0; i < 6; ++i)
        queue.Push("Bob", Line("y"));
    EXPECT_EQ(queue.Take(2500).size(), 2) << "two of the five handled after 2.5 seconds";
    EXPECT_EQ(queue.Take(60000).size(), 4) << "all handled: a full burst again";
}

TEST(SendQueue, UrgentLinesGoFirstWithoutWaitingAndNeverHoldTheOthersUp)
{
    // With nothing else waiting, urgent lines use up the burst: the replies after them wait the longer.
    SendQueue queue;
    for (int i = 0; i < 4; ++i)
        queue.PushUrgent(Line("NICK Tessarin"));
    EXPECT_EQ(queue.Take(0).size(), 4);
    for (int i = 0; i < 3; ++i)
        queue.Push("Bob", Line("reply"));
    EXPECT_EQ(queue.Take(0).size(), 1) << "room for one reply left";
    auto sent = Drive(queue, 1, 2500);
    ASSERT_EQ(sent.size(), 2);
    EXPECT_EQ(sent[0].first, 1000);
    EXPECT_EQ(sent[1].first, 2000);

    // Behind a full burst, a ping every 100 ms goes out at once and the replies keep their pace.
    SendQueue busy;
    for (int i = 0; i < 8; ++i)
        busy.Push("Bob", Line("reply"));
    EXPECT_EQ(busy.Take(0).size(), 5);
    QList<qint64> replies;
    int pings = 0;
    for (qint64 now = 100; now <= 3000; now += 100) {
        busy.PushUrgent(Line("PING :x"));
        for (const QByteArray& line : busy.Take(now)) {
            if (line == Line("reply"))
                replies.append(now);
            else
                ++pings;
        }
    }
    EXPECT_EQ(pings, 30);
    EXPECT_EQ(replies, QList<qint64>({ 1000, 2000, 3000 }));
}

TEST(SendQueue, ProtocolLinesGoBeforeEveryReplyAtThePaceAndAreNeverDropped)
{
    SendQueue queue;
    queue.SetPace({ 1, 2048, 1000, 40, 2000 });
    for (int i = 0; i < 29; ++i)
        queue.Push("#dice", Line("PRIVMSG #dice :" + QByteArray::number(i)));
    EXPECT_EQ(queue.Take(0).size(), 1);
    queue.PushProtocol(Line("JOIN #dice"));
    QStringList dropped;
    for (int i = 0; i < 45; ++i)
        dropped += queue.Push("Bob", Line("PRIVMSG Bob :" + QByteArray::number(i)));
    EXPECT_EQ(dropped, QStringList(5, "Bob")) << "the flood loses its own oldest lines only";
    queue.PushProtocol(Line("NICK Tessarin"));
    EXPECT_EQ(queue.Wait(0), 1000) << "protocol lines keep the pace";
    const auto sent = Drive(queue, 1, 3000);
    ASSERT_EQ(sent.size(), 3);
    EXPECT_EQ(sent[0], std::make_pair(qint64(1000), Line("JOIN #dice")));
    EXPECT_EQ(sent[1], std::make_pair(qint64(2000), Line("NICK Tessarin")));
    EXPECT_EQ(sent[2].second, Line("PRIVMSG #dice :1"));
}

TEST(SendQueue, LinesForAHeldTargetWaitWithoutHoldingUpTheRest)
{
    struct Case {
        const char* What;
        bool Refused;
        QList<QByteArray> After;
    };
    const Case cases[] = {
        { "released", false, { "C0", "C1", "C2" } },
        { "dropped", true, {} },
    };
    for (const Case& c : cases) {
        SendQueue queue;
        queue.SetPace({ 5, 2048, 0, 40, 2000 });
        queue.Hold("#Dice");
        queue.Push("Ann", Line("C0"), "#dice");
        queue.Push("Ann", Line("A0"), "Ann");
        queue.Push("#dice", Line("C1"), "#DICE");
        queue.Push("Ann", Line("C2"), "#dice");
        queue.Push("Bob", Line("B0"));
        QList<QByteArray> order;
        for (const QByteArray& line : queue.Take(0))
            order.append(line.trimmed());
        EXPECT_EQ(order, QList<QByteArray>({ "A0", "B0" })) << c.What;
        EXPECT_EQ(queue.Wait(1), -1) << c.What;
        EXPECT_TRUE(queue.IsHeld("#DICE")) << c.What;
        if (c.Refused)
            EXPECT_EQ(queue.DropHeld("#dice"), 3) << c.What;
        else
            queue.Release("#dice");
        EXPECT_FALSE(queue.IsHeld("#dice")) << c.What;
        order.clear();
        for (const QByteArray& line : queue.Take(1))
            order.append(line.trimmed());
        EXPECT_EQ(order, c.After) << c.What;
        EXPECT_EQ(queue.Waiting(), 0) << c.What;
    }
}

TEST(SendQueue, OwnersTakeTurnsLineByLine)
{
    SendQueue queue;
    queue.SetPace({ 1, 2048, 10, 40, 2000 });
    for (int i = 0; i < 6; ++i)
        queue.Push("Flooder", Line("F" + QByteArray::number(i)));
    queue.Push("ann", Line("A0"));
    queue.Push("Ann", Line("A1"));
    queue.Push("#dice", Line("C0"));
    QList<QByteArray> order;
    for (const auto& [time, line] : Drive(queue, 0, 200))
        order.append(line.trimmed());
    EXPECT_EQ(order, QList<QByteArray>({ "F0", "A0", "C0", "F1", "A1", "F2", "F3", "F4", "F5" }));
}

// When the server turns out to compare names as rfc1459 does, two spellings of one nick become one owner,
// keeping the first one's turn, and a held channel holds the lines for its other spellings.
TEST(SendQueue, OwnersAndHeldTargetsFollowTheServersCaseMapping)
{
    SendQueue queue;
    queue.SetPace({ 1, 2048, 10, 40, 2000 });
    queue.Push("Troll[1]", Line("T0"));
    queue.Push("troll{1}", Line("T1"));
    queue.Push("Ann", Line("A0"));
    queue.Push("troll{1}", Line("T2"));
    queue.Hold("#a[b]");
    queue.Push("Ann", Line("C0"), "#A{B}");
    EXPECT_FALSE(queue.IsHeld("#A{B}")) << "two channels to an ascii server";
    irc::SetCurrentCaseMapping(irc::CaseMapping::Rfc1459);
    queue.Refold();
    EXPECT_TRUE(queue.IsHeld("#A{B}"));
    QList<QByteArray> order;
    for (const auto& [time, line] : Drive(queue, 0, 100))
        order.append(line.trimmed());
    EXPECT_EQ(order, QList<QByteArray>({ "T0", "A0", "T1", "T2" }));
    queue.Release("#A{B}");
    EXPECT_EQ(queue.Take(200), QList<QByteArray>({ Line("C0") }));
}

TEST(SendQueue, AnOwnerPastItsBoundLosesItsOldestLines)
{
    SendQueue queue;
    queue.SetPace({ 1, 2048, 1000, 3, 2000 });
    EXPECT_EQ(queue.Take(0).size(), 0);
    QStringList dropped;
    for (int i = 0; i < 5; ++i)
        dropped += queue.Push("Bob", Line("B" + QByteArray::number(i)));
    dropped += queue.Push("Ann", Line("A0"));
    EXPECT_EQ(dropped, QStringList({ "Bob", "Bob" }));
    EXPECT_EQ(queue.Waiting(), 4);
    QList<QByteArray> order;
    for (const auto& [time, line] : Drive(queue, 0, 5000))
        order.append(line.trimmed());
    EXPECT_EQ(order, QList<QByteArray>({ "B2", "A0", "B3", "B4" })) << "the newest lines survive";
}

TEST(SendQueue, AllOwnersTogetherAreBoundedTooTheLongestGivingUpALine)
{
    SendQueue queue;
    queue.SetPace({ 1, 2048, 1000, 10, 5 });
    QStringList dropped;
    for (int i = 0; i < 3; ++i)
        dropped += queue.Push("Bob", Line("B"));
    dropped += queue.Push("Ann", Line("A"));
    dropped += queue.Push("Cy", Line("C"));
    dropped += queue.Push("Dee", Line("D"));
    EXPECT_EQ(dropped, QStringList({ "Bob" }));
    EXPECT_EQ(queue.Waiting(), 5);
}

TEST(SendQueue, WithoutAnIntervalEverythingGoesAtOnceAndClearForgetsAll)
{
    SendQueue queue;
    queue.SetPace({ 5, 2048, 0, 40, 2000 });
    for (int i = 0; i < 30; ++i)
        queue.Push("Bob", Line("x", 500));
    EXPECT_EQ(queue.Take(0).size(), 30);

    SendQueue paced;
    for (int i = 0; i < 8; ++i)
        paced.Push("Bob", Line("x"));
    EXPECT_EQ(paced.Take(0).size(), 5);
    paced.Clear();
    EXPECT_EQ(paced.Waiting(), 0);
    for (int i = 0; i < 8; ++i)
        paced.Push("Bob", Line("x"));
    EXPECT_EQ(paced.Take(1).size(), 5) << "a new connection starts with a full burst";
}

} // namespace
