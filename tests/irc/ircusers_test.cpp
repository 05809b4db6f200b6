// Who took a nick by a change stays that user when he comes back under it from the same address: after a
// part, in private, after the bot's reconnect; and nobody else is taken for him.

#include "irc/ircusers.h"

#include <gtest/gtest.h>

namespace {

using irc::TIrcUsers;
using irc::UserPtr;

// Mallory (m@evil) is seen changing to Boss, and then leaves the bot's sight.
UserPtr MalloryTakesBoss(TIrcUsers& users)
{
    const UserPtr mallory = users.Add("Mallory", "m@evil");
    users.Rename(*mallory, "Boss");
    users.Release(mallory);
    return mallory;
}

TEST(TakenNicks, AreTheTakersWhereverHeSpeaksFrom)
{
    const struct {
        const char* what;
        const char* nextAddress; // of the next sender called Boss
        const char* firstNick;
        QStringList laterNicks;
    } cases[] = {
        { "the same address", "m@evil", "Mallory", { "Boss" } },
        { "another address: the real Boss", "b@home", "Boss", {} },
        { "no address shown yet (a names list)", "", "Mallory", { "Boss" } },
    };
    for (const auto& c : cases) {
        TIrcUsers users;
        MalloryTakesBoss(users);
        const UserPtr next = users.Add("Boss", c.nextAddress);
        EXPECT_EQ(next->FirstNick, c.firstNick) << c.what;
        EXPECT_EQ(next->LaterNicks, c.laterNicks) << c.what;
    }
}

TEST(TakenNicks, AreRememberedUntilTheBotSeesThemGivenUp)
{
    TIrcUsers users;
    MalloryTakesBoss(users);
    users.Clear(); // the bot reconnects
    UserPtr again = users.Add("Boss", "m@evil");
    EXPECT_EQ(again->FirstNick, "Mallory");

    // Changing away gives the nick up: a later Boss from that address is judged by the nick again.
    users.Rename(*again, "Mallory");
    users.Release(again);
    EXPECT_EQ(users.Add("Boss", "m@evil")->FirstNick, "Boss");

    TIrcUsers quitting;
    MalloryTakesBoss(quitting);
    const UserPtr held = quitting.Add("Boss", "m@evil");
    quitting.Quit(*held);
    quitting.Release(held);
    EXPECT_EQ(quitting.Add("Boss", "m@evil")->FirstNick, "Boss");
}

TEST(TakenNicks, AnAddressShownLaterThatIsAnothersGivesTheNickBack)
{
    TIrcUsers users;
    MalloryTakesBoss(users);
    const UserPtr listed = users.Add("Boss"); // in a names list after a reconnect
    ASSERT_EQ(listed->FirstNick, "Mallory");
    users.Add("Boss", "b@home"); // he speaks: it is the real Boss
    EXPECT_EQ(listed->FirstNick, "Boss");
    EXPECT_TRUE(listed->LaterNicks.isEmpty());
}

TEST(TakenNicks, TheOwnersOwnChangesLeaveNothingBehindAndTheMemoryIsBounded)
{
    TIrcUsers users;
    const UserPtr boss = users.Add("Boss", "b@home");
    users.Rename(*boss, "Boss_afk");
    users.Rename(*boss, "Boss");
    EXPECT_EQ(boss->LaterNicks, QStringList({ "Boss_afk" }));
    users.Release(boss);
    EXPECT_EQ(users.Add("Boss_afk", "b@home")->FirstNick, "Boss_afk") << "given up when he changed back";

    const UserPtr busy = users.Add("Busy", "x@y");
    for (int i = 0; i < 1000; ++i)
        users.Rename(*busy, QStringLiteral("Busy%1").arg(i));
    EXPECT_EQ(busy->LaterNicks.size(), TIrcUsers::MaxLaterNicks);
    EXPECT_EQ(busy->LaterNicks.constLast(), "Busy999");
    EXPECT_EQ(users.Add("Busy998", "x@y")->FirstNick, "Busy998") << "given up when he changed on";
}

} // namespace
