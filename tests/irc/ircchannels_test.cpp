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
    ModeSyntax syntax;
    std::vector<Update> updates;
    TIrcChannels channels;
    ChannelPtr dice = channels.Add("#dice", users, syntax,
        [this](TIrcChannel& channel, TIrcChannelUpdateType type, TIrcUser* user, int info) {
            updates.push_back({ type, user ? user->Nick : QString(), info, channel.Nicks() });
        });
};

TEST_F(ChannelTest, NamesRepliesFillTheListWithFlagsAndNoDuplicates)
{
    dice->AddNames("@Bob +Ann Kell");
    dice->AddNames("Bob @+Zed");
    EXPECT_EQ(dice->Nicks(), QStringList({ "Bob", "Ann", "Kell", "Zed" }));
    EXPECT_EQ(dice->FlagsOf(dice->Names()[0]), 0) << "the later reply holds";
    EXPECT_EQ(dice->FlagsOf(dice->Names()[1]), 2);
    EXPECT_EQ(dice->FlagsOf(dice->Names()[3]), 3);
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
    EXPECT_EQ(dice->FlagsOf(dice->Names()[0]), 1);
    EXPECT_EQ(dice->FlagsOf(dice->Names()[1]), 0);
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

// The mode syntax the server announces decides which letter takes which argument, and which ranks make an
// operator. Each case starts afresh: a 005 line (none for a server that sends none), a NAMES reply, then one
// MODE line (or, with Replace, a 324 mode reply).
TEST(ChannelModes, FollowTheServersSyntax)
{
    const char* const inspircd = "CHANMODES=b,k,dl,imnpst PREFIX=(qaohv)~&@%+";
    const char* const inspircdModules = "CHANMODES=IXbeg,k,FHJLdfjl,ACKMNOPQRSTcimnprstuz PREFIX=(ov)@+";
    const char* const ngircd = "CHANMODES=beI,k,l,imMnOPQRstVz PREFIX=(qaohv)~&@%+";
    struct Case {
        const char* Isupport;
        const char* Names;
        const char* Modes;
        QStringList Arguments;
        const char* Operators; // the nicks that count as operators afterwards
        const char* Voiced;
        const char* Simple = "";
        int Limit = 0;
        const char* Key = "";
        QStringList Bans = {};
        bool Replace = false;
    };
    const Case cases[] = {
        { inspircd, "@Mallory Bob", "+d-o", { "5", "Mallory" }, "", "" },
        // Without a 005 line "d" is a flag, and the "-o" takes the "5".
        { "", "@Mallory Bob", "+d-o", { "5", "Mallory" }, "Mallory", "", "d" },
        { inspircd, "@Mallory Bob", "-d+o", { "Bob" }, "Mallory Bob", "" },
        { inspircdModules, "@Mallory Bob", "+jL-o+Fv", { "3:5", "#elsewhere", "Mallory", "2:10", "Bob" }, "",
            "Bob" },
        { inspircdModules, "@Mallory Bob", "+X-o", { "topiclock:Bob", "Mallory" }, "", "" },
        { ngircd, "@Mallory Bob", "+lk-o", { "10", "key", "Mallory" }, "", "", "", 10, "key" },
        { ngircd, "@Mallory Bob", "-b+v", { "*!*@mask", "Bob" }, "Mallory", "Bob" },
        { ngircd, "@Mallory Bob", "+b-l+I-o", { "*!*@bad", "*!*@good", "Mallory" }, "", "", "", 0, "",
            { "*!*@bad" } },
        { inspircd, "%Mallory Bob Carol", "+qo-h", { "Bob", "Carol", "Mallory" }, "Bob Carol", "" },
        // Names with every rank a user holds: taking one operator rank leaves the other.
        { ngircd, "~@Mallory +%Bob &Carol Dave", "-o", { "Mallory" }, "Mallory Carol", "Bob" },
        { ngircd, "~@Mallory &Carol", "-q-a", { "Mallory", "Carol" }, "Mallory", "" },
        { ngircd, "~Mallory %Dave", "-q+h", { "Mallory", "Bob" }, "", "" },
        { inspircd, "@+Mallory Bob", "-o", { "Mallory" }, "", "Mallory" },
        { inspircd, "Bob", "+dnt", { "5" }, "", "", "nt", 0, "", {}, true },
        // A malformed value leaves the one known before, "-PREFIX" brings back the default: "~" is then no
        // rank, and "~Bob" a nick.
        { "PREFIX=(qov)~@", "~Bob Mallory", "-v", { "Mallory" }, "", "" },
        { "PREFIX=(qo)~@ -PREFIX CHANMODES=b,k,l", "~Mallory +Bob @Carol", "+e-o", { "*!*@x", "Carol" }, "",
            "Bob" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Isupport) + " | " + c.Names + " | " + c.Modes);
        TIrcUsers users;
        ModeSyntax syntax;
        for (const QString& token : QString::fromLatin1(c.Isupport).split(u' ', Qt::SkipEmptyParts))
            syntax.Take(token.toLatin1());
        TIrcChannel channel("#t", users, syntax, nullptr);
        channel.AddNames(c.Names);
        if (c.Replace)
            channel.ReplaceModes(c.Modes, c.Arguments);
        else
            channel.ApplyModes(c.Modes, c.Arguments);
        QStringList operators;
        QStringList voiced;
        for (const TIrcName& entry : channel.Names()) {
            if (channel.FlagsOf(entry) & 1)
                operators.append(entry.User->Nick);
            if (channel.FlagsOf(entry) & 2)
                voiced.append(entry.User->Nick);
        }
        EXPECT_EQ(operators.join(u' '), c.Operators);
        EXPECT_EQ(voiced.join(u' '), c.Voiced);
        EXPECT_EQ(channel.Modes, c.Simple);
        EXPECT_EQ(channel.Limit, c.Limit);
        EXPECT_EQ(channel.Key, c.Key);
        EXPECT_EQ(channel.Bans, c.Bans);
    }
}

TEST_F(ChannelTest, ARenamedUserKeepsItsEntryAndAddingAChannelAgainStartsAfresh)
{
    dice->AddNames("Bob Ann");
    const UserPtr ann = users.Find("Ann");
    ann->Nick = "Anna";
    dice->UserRenamed(ann.get());
    EXPECT_EQ(updates.back(), (Update { cuNick, "Anna", 1, { "Bob", "Anna" } }));
    EXPECT_EQ(dice->IndexOf("anna"), 1);

    const ChannelPtr again = channels.Add("#DICE", users, syntax, nullptr);
    EXPECT_NE(again.get(), dice.get());
    EXPECT_EQ(channels.Find("#dice").get(), again.get());
    EXPECT_EQ(channels.Items().size(), 1u);
    dice.reset();
    EXPECT_EQ(users.Find("Bob"), nullptr) << "the old record released its names";
}

} // namespace
