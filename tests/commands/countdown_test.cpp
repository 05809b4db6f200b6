#include "support/botfixture.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

using testing_support::WaitUntil;

class CountdownTest : public testing_support::BotFixture {
protected:
    void SetUp() override
    {
        Start();
        bot->State().OwnerNick = "Kell";
    }

    commands::Countdown& Count() { return bot->Count(); }

    // The lines posted by the ticks that follow the first one, until the countdown ends.
    QStringList RunToEnd(int maxTicks = 100)
    {
        for (int i = 0; i < maxTicks && Count().Running(); ++i)
            Count().CountTick();
        return out.Take();
    }
};

TEST_F(CountdownTest, CountsUpFromOneByDefault)
{
    EXPECT_EQ(Say("Bob", "#dice", ",count to 10"), QStringList({ "PRIVMSG #dice :Count: 1." }));
    EXPECT_TRUE(Count().Running());
    EXPECT_EQ(Count().CountTimer.interval(), 1000);
    const QStringList rest = RunToEnd();
    ASSERT_EQ(rest.size(), 10);
    EXPECT_EQ(rest[0], "PRIVMSG #dice :Count: 2.");
    EXPECT_EQ(rest[8], "PRIVMSG #dice :Count: 10.");
    EXPECT_EQ(rest[9], "PRIVMSG #dice :Countdown complete.");
    EXPECT_FALSE(Count().Running());
}

TEST_F(CountdownTest, CountsDownWithStepIntervalAndComment)
{
    EXPECT_EQ(Say("Bob", "#dice", ",count 15 to 5 step 5 int 10 Bomb timer"),
        QStringList({ "PRIVMSG #dice :Bomb timer: 15." }));
    EXPECT_EQ(Count().CountTimer.interval(), 10000);
    EXPECT_EQ(RunToEnd(),
        QStringList({ "PRIVMSG #dice :Bomb timer: 10.", "PRIVMSG #dice :Bomb timer: 5.",
            "PRIVMSG #dice :Countdown complete." }));
}

TEST_F(CountdownTest, StopsBeforePassingTheEnd)
{
    Say("Bob", "#dice", ",count 1 to 4 step 2");
    EXPECT_EQ(RunToEnd(), QStringList({ "PRIVMSG #dice :Count: 3.", "PRIVMSG #dice :Countdown complete." }));
    EXPECT_EQ(Say("Bob", "#dice", ",count 5 to 5"),
        QStringList({ "PRIVMSG #dice :Count: 5.", "PRIVMSG #dice :Countdown complete." }));
    EXPECT_FALSE(Count().Running());
    Say("Bob", "#dice", ",count 1 to 20 step 2 interval 5");
    EXPECT_EQ(bot->State().CountLabel, "Count");
    EXPECT_EQ(Count().CountTimer.interval(), 5000);
}

TEST_F(CountdownTest, TheTimerPostsTheNextValue)
{
    Say("Bob", "#dice", ",count 1 to 2");
    Count().CountTimer.setInterval(1);
    ASSERT_TRUE(WaitUntil([this] { return !Count().Running(); }));
    EXPECT_EQ(out.Take(), QStringList({ "PRIVMSG #dice :Count: 2.", "PRIVMSG #dice :Countdown complete." }));
}

struct RequestCase {
    const char* Parameter;
    const char* Reply; // to the requester's nick; nullptr when the countdown starts
};

TEST_F(CountdownTest, RefusesBadAndOversizedRequestsPrivately)
{
    const RequestCase cases[] = {
        { "10", "Please make sure you specify a correct set of parameters. See help for full list." },
        { "-1 to 5",
            "Please make sure the number for me to count from is a correctly defined non-negative integer." },
        { "1 to x",
            "Please make sure the number for me to count to is a correctly defined non-negative integer." },
        { "1 to -5",
            "Please make sure the number for me to count to is a correctly defined non-negative integer." },
        { "1 to 5 step 0", "Please make sure the step specified is a correct positive integer." },
        { "1 to 5 step x", "Please make sure the step specified is a correct positive integer." },
        { "1 to 5 int 0", "Please make sure you've specified a correct interval." },
        { "1 to 5 interval 9999999", "Please make sure you've specified a correct interval." },
        { "0 to 31", "Sorry, I won't post more than 30 lines into a channel unless my owner asks me." },
        { "1 to 21 interval 31",
            "Sorry, I won't count into a channel for more than 10 minutes unless my owner asks me." },
    };
    for (const RequestCase& c : cases) {
        EXPECT_EQ(Say("Bob", "#dice", QStringLiteral(",count ") + c.Parameter),
            QStringList({ QStringLiteral("PRIVMSG Bob :") + c.Reply }))
            << c.Parameter;
        EXPECT_FALSE(Count().Running()) << c.Parameter;
    }
    EXPECT_EQ(Say("Bob", "#dice", ",count 0 to 30").size(), 1);
    Count().CountTimer.stop();
    EXPECT_EQ(Say("Bob", "#dice", ",count 1 to 21 interval 30").size(), 1);
    Count().CountTimer.stop();
    // A private conversation and a privileged user are not limited.
    EXPECT_EQ(Say("Bob", QString(), ",count 0 to 31"), QStringList({ "PRIVMSG Bob :Count: 0." }));
    Count().CountTimer.stop();
    EXPECT_EQ(Say("Kell", "#dice", ",count 0 to 100 int 60"), QStringList({ "PRIVMSG #dice :Count: 0." }));
}

TEST_F(CountdownTest, PauseResumeAndStopBelongToTheirOwners)
{
    Say("Bob", "#a", ",count to 10");
    EXPECT_EQ(Say("Bob", "#b", ",count pause"),
        QStringList({ "PRIVMSG Bob :Sorry, only #a may request countdown to be paused." }));
    EXPECT_EQ(Say("Bob", "#b", ",count 1 to 3"),
        QStringList({ "PRIVMSG Bob :Sorry, I am already counting for #a." }));
    EXPECT_EQ(Say("Ann", "#a", ",count pause"), QStringList({ "PRIVMSG #a :Countdown paused." }));
    EXPECT_FALSE(Count().Running());
    EXPECT_EQ(Say("Bob", "#b", ",count resume"),
        QStringList({ "PRIVMSG Bob :Sorry, only #a may request countdown to be resumed." }));
    EXPECT_EQ(Say("Ann", "#a", ",count resume"), QStringList({ "PRIVMSG #a :Countdown resumed." }));
    EXPECT_TRUE(Count().Running());
    EXPECT_EQ(Say("Ann", "#a", ",count resume"),
        QStringList({ "PRIVMSG Ann :Sorry, I don't have a countdown paused." }));

    EXPECT_EQ(Say("Bob", "#a", ",count stop"),
        QStringList({ "PRIVMSG Bob :Sorry, only my owner may ask me to stop counting." }));
    EXPECT_EQ(Say("Kell", "#b", ",count stop"), QStringList({ "PRIVMSG Kell :Counting for #a stopped." }));
    EXPECT_FALSE(Count().Running());
    EXPECT_EQ(Say("Kell", "#b", ",count stop"),
        QStringList({ "PRIVMSG Kell :Please make sure you specify a correct set of parameters. See help for "
                      "full list." }));
}

TEST_F(CountdownTest, ANewRequestReplacesAPausedCountdown)
{
    Say("Bob", "#a", ",count to 10");
    Say("Bob", "#a", ",count pause");
    EXPECT_EQ(Say("Bob", "#b", ",count 3 to 1"), QStringList({ "PRIVMSG #b :Count: 3." }));
    EXPECT_FALSE(bot->State().CountPaused);
    EXPECT_EQ(bot->State().CountTarget, "#b");
}

TEST_F(CountdownTest, StepsNearTheIntegerLimitsNeverOverflow)
{
    EXPECT_EQ(Say("Kell", QString(), ",count 2147483000 to 2147483647 step 2147483647"),
        QStringList({ "PRIVMSG Kell :Count: 2147483000.", "PRIVMSG Kell :Countdown complete." }));
    EXPECT_EQ(Say("Kell", QString(), ",count 5 to 0 step 2147483647"),
        QStringList({ "PRIVMSG Kell :Count: 5.", "PRIVMSG Kell :Countdown complete." }));
}

} // namespace
