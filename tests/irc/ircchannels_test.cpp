// The users and channels collections, fed with the events the client would give them.

#include "irc/ircchannels.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

using namespace irc;

TEST(TIrcUsers, KeepsARecordWhileAnyoneHoldsIt)
{
    TIrcUsers users;
    const UserPtr bob = users.Add("Bob", "b@host");
    EXPECT_EQ(users.Add("BOB", "").get(), bob.get()) << "found ignoring case";
    EXPECT_EQ(bob->Count, 2);
    EXPECT_EQ(bob->Address, "b@host") << "an empty address keeps the known one";
    users.Add("bob", "b@elsewhere");
    EXPECT_EQ(bob->Address, "b@elsewhere");
    users.Release(bob);
    users.Release(bob);
    EXPECT_EQ(users.Find("Bob").get(), bob.get());
    users.Release(bob);
    EXPECT_EQ(users.Find("Bob"), nullptr);
    users.Release(bob); // releasing a record no longer listed does nothing
    EXPECT_TRUE(users.Items().empty());
}

struct Update {
    TIrcChannelUpdateType Type;
    QString Nick;
    int Info;
    QStringList NamesDuringEvent;
    bool operator==(const Update&) const = default;
};

class ChannelTest : public ::testing::Test {
protected:
    TIrcUsers users;
    std::vector<Update> updates;
    TIrcChannels channels;
    ChannelPtr dice = channels.Add(
        "#dice", users, [this](TIrcChannel& channel, TIrcChannelUpdateType type, TIrcUser* user, int info) {
            updates.push_back({ type, user ? user->Nick : QString(), info, channel.Nicks() });
        });
};

TEST_F(ChannelTest, NamesRepliesFillTheListWithFlagsAndNoDuplicates)
{
    dice->AddNames("@Bob +Ann Kell");
    dice->AddNames("Bob @+Zed");
    EXPECT_EQ(dice->Nicks(), QStringList({ "Bob", "Ann", "Kell", "Zed" }));
    EXPECT_EQ(dice->Names()[0].Flags(), 0) << "the later reply holds";
    EXPECT_EQ(dice->Names()[1].Flags(), 2);
    EXPECT_EQ(dice->Names()[3].Flags(), 3);
    EXPECT_EQ(updates.size(), 2u);
    EXPECT_EQ(updates[0].Type, cuNames);
    EXPECT_EQ(users.Find("Kell")->Count, 1);
}

TEST_F(ChannelTest, JoinsAndLeavesAreReportedWithTheEntryStillListedWhileLeaving)
{
    dice->AddNames("Bob Ann");
    const UserPtr kell = users.Add("Kell");
    dice->AddUser(kell);
    dice->RemoveUser("bob", cuPart);
    dice->RemoveUser("Ann", cuKick);
    dice->RemoveUser("Nobody", cuQuit);
    dice->RemoveUser("KELL", cuQuit);
    const std::vector<Update> expected {
        { cuNames, "", 0, { "Bob", "Ann" } },
        { cuJoin, "Kell", 2, { "Bob", "Ann", "Kell" } },
        { cuPart, "Bob", 0, { "Bob", "Ann", "Kell" } },
        { cuKick, "Ann", 0, { "Ann", "Kell" } },
        { cuQuit, "Kell", 0, { "Kell" } },
    };
    EXPECT_EQ(updates, expected);
    EXPECT_TRUE(dice->Names().empty());
    EXPECT_EQ(users.Find("Bob"), nullptr) << "released with the entry";
    EXPECT_EQ(kell->Count, 1) << "the test's own hold remains";
}

TEST_F(ChannelTest, ModesChangeFlagsModeLettersLimitKeyAndBans)
{
    dice->AddNames("Bob Ann");
    updates.clear();
    dice->ApplyModes("+ontv-v+lk", { "Bob", "Ann", "Ann", "12", "secret" });
    EXPECT_TRUE(dice->Names()[0].Operator);
    EXPECT_FALSE(dice->Names()[1].Voice);
    EXPECT_EQ(dice->Modes, "nt");
    EXPECT_EQ(dice->Limit, 12);
    EXPECT_EQ(dice->Key, "secret");
    const std::vector<Update> expected {
        { cuUser, "Bob", 1, { "Bob", "Ann" } },
        { cuUser, "Ann", 2, { "Bob", "Ann" } },
        { cuUser, "Ann", 0, { "Bob", "Ann" } },
        { cuMode, "", 0, { "Bob", "Ann" } },
    };
    EXPECT_EQ(updates, expected);

    updates.clear();
    dice->ApplyModes("+b-n+e-lk+b", { "*!*@bad", "*!*@fine", "*", "*!*@worse" });
    EXPECT_EQ(dice->Bans, QStringList({ "*!*@bad", "*!*@worse" }));
    EXPECT_EQ(dice->Modes, "t");
    EXPECT_EQ(dice->Limit, 0);
    EXPECT_EQ(dice->Key, "");
    dice->ApplyModes("+o", {}); // a missing argument changes nothing
    dice->ApplyModes("+t", {});
    EXPECT_EQ(updates.size(), 1u);
}

TEST_F(ChannelTest, ARenamedUserKeepsItsEntryAndAddingAChannelAgainStartsAfresh)
{
    dice->AddNames("Bob Ann");
    const UserPtr ann = users.Find("Ann");
    ann->Nick = "Anna";
    dice->UserRenamed(ann.get());
    EXPECT_EQ(updates.back(), (Update { cuNick, "Anna", 1, { "Bob", "Anna" } }));
    EXPECT_EQ(dice->IndexOf("anna"), 1);

    const ChannelPtr again = channels.Add("#DICE", users, nullptr);
    EXPECT_NE(again.get(), dice.get());
    EXPECT_EQ(channels.Find("#dice").get(), again.get());
    EXPECT_EQ(channels.Items().size(), 1u);
    dice.reset();
    EXPECT_EQ(users.Find("Bob"), nullptr) << "the old record released its names";
}

} // namespace
