#include "core/identity.h"
#include "core/seentracker.h"
#include "irc/casemapping.h"
#include "support/botfixture.h"
#include "support/qtprint.h"

#include <QSqlQuery>
#include <gtest/gtest.h>
#include <limits>
#include <optional>

namespace {

using core::ChannelEvent;

class SeenTrackerTest : public ::testing::Test {
protected:
    core::BotState state;
    testing_support::FixedClock clock;
    core::SeenTracker seen { clock };

    void Join(const QString& channel, const QString& nick, const QString& stamp = "t-join")
    {
        seen.OnChannelUpdate(channel, { "Alice" }, ChannelEvent::Joined, nick, stamp);
    }
    const core::TChatUser& User(const QString& nick) const
    {
        return seen.Users().at(seen.Find(nick).value());
    }
};

TEST_F(SeenTrackerTest, TakingInAChannelTracksEveryoneOnce)
{
    seen.TakeInChannel("#rpg", { "Alice", "Bob", "alice" }, "t0", true);
    ASSERT_EQ(seen.Users().size(), 2);
    EXPECT_EQ(User("Alice").Channels, QStringList({ "#rpg" }));
    EXPECT_EQ(User("Alice").JoinNotes, QStringList({ "was already online when I indexed the channel." }));
    EXPECT_EQ(User("Bob").LastMessageTimes, QStringList({ "never" }));
    EXPECT_TRUE(seen.IsIndexed("#rpg"));

    seen.TakeInChannel("#rpg", { "Carol" }, "t1", true); // an indexed channel is never taken in again
    EXPECT_EQ(seen.Users().size(), 2);

    seen.OnChannelUpdate("#empty", {}, ChannelEvent::Other, "", "t2");
    EXPECT_FALSE(seen.IsIndexed("#empty")); // an update with no users leaves it unindexed
}

TEST_F(SeenTrackerTest, FollowsJoinsPartsKicksQuitsAndMessages)
{
    seen.TakeInChannel("#rpg", { "Alice" }, "t0", true);
    Join("#rpg", "Bob", "t1");
    seen.OnChannelMessage("bob", "#rpg", "t2");
    EXPECT_EQ(User("Bob").LastMessageTimes, QStringList({ "t2" }));
    seen.OnChannelUpdate("#rpg", {}, ChannelEvent::Parted, "Bob", "t3");
    EXPECT_EQ(User("Bob").LeaveTimes, QStringList({ "t3" }));
    EXPECT_EQ(User("Bob").LeaveNotes, QStringList({ " and left the channel when I was on it." }));

    Join("#rpg", "Bob", "t4"); // a new join resets the record
    EXPECT_EQ(User("Bob").Channels, QStringList({ "#rpg" }));
    EXPECT_EQ(User("Bob").JoinTimes, QStringList({ "t4" }));
    EXPECT_EQ(User("Bob").LeaveTimes, QStringList({ "" }));
    EXPECT_EQ(User("Bob").LastMessageTimes, QStringList({ "never" }));

    Join("#dice", "Bob", "t5");
    seen.OnChannelUpdate("#dice", {}, ChannelEvent::Kicked, "Bob", "t6");
    EXPECT_EQ(
        User("Bob").LeaveNotes, QStringList({ "", " and was kicked off the channel when I was on it." }));
    seen.OnChannelUpdate("#rpg", {}, ChannelEvent::Quit, "Bob", "t7");
    EXPECT_EQ(User("Bob").LeaveTimes, QStringList({ "t7", "t7" }));
    EXPECT_EQ(User("Bob").LeaveNotes, QStringList({ " and quit.", " and quit." }));

    // Events about users nobody tracked change nothing.
    const auto before = seen.Users().size();
    seen.OnChannelUpdate("#rpg", {}, ChannelEvent::Parted, "Ghost", "t8");
    seen.OnChannelMessage("Ghost", "#rpg", "t8");
    seen.OnChannelMessage("Alice", "#nowhere", "t8");
    EXPECT_EQ(seen.Users().size(), before);
}

TEST_F(SeenTrackerTest, NickChangesAreFollowed)
{
    Join("#rpg", "Bob");
    seen.OnNickChange("Bob", "Robert");
    seen.OnNickChange("robert", "Bobby");
    seen.OnNickChange("Bobby", "BOB"); // back to a nick the user already has: nothing new
    EXPECT_EQ(User("ROBERT").Nick, "Bob");
    EXPECT_EQ(User("bobby").LaterNicks, QStringList({ "Robert", "Bobby" }));
    EXPECT_TRUE(core::SameUser(seen, "bob", "BOBBY"));
}

TEST_F(SeenTrackerTest, UnknownNicksAreNobodyElse)
{
    Join("#rpg", "Mallory");
    seen.OnNickChange("Mallory", "Kel1");
    EXPECT_FALSE(core::SameUser(seen, "Mallory", "Kell"));
}

// Privileges go with the nick a user had when the connection first saw it, through its later changes,
// and never to whoever changes to a privileged nick.
TEST(Privileges, FollowAUserForwardOnly)
{
    core::BotState state;
    state.OwnerNick = "Boss";
    state.PrivilegedUsers = { "Mira" };
    struct Case {
        const char* firstNick; // empty: the connection does not see the sender
        const char* nickNow;
        bool privileged;
    };
    const Case cases[] = {
        { "Boss", "Boss", true },
        { "Boss", "Boss_afk", true },
        { "boss", "Someone", true },
        { "Mira", "MiraAway", true },
        { "Mallory", "Boss", false },
        { "Mallory", "mira", false },
        { "Mallory", "Mallory", false },
        { "", "boss", true }, // only the nick to go by
        { "", "MIRA", true },
        { "", "Mallory", false },
        { "", "Vaddox", false },
    };
    for (const Case& c : cases) {
        testing_support::FixedRoster roster;
        if (*c.firstNick)
            roster.Users.Add(c.firstNick)->Nick = c.nickNow;
        EXPECT_EQ(core::IsPrivileged(state, roster, c.nickNow), c.privileged)
            << c.firstNick << " " << c.nickNow;
    }
}

TEST(Privileges, AreNotTakenFromTheSeenTrackersMemoryOfNicks)
{
    core::BotState state;
    state.OwnerNick = "Boss";
    testing_support::FixedClock clock;
    core::SeenTracker seen(clock);
    seen.OnChannelUpdate("#rpg", { "Mallory" }, ChannelEvent::Other, "", "t0");
    seen.OnNickChange("Mallory", "Boss");
    seen.OnNickChange("Boss", "Mallory");
    ASSERT_TRUE(core::SameUser(seen, "Mallory", "Boss")); // seen keeps Boss among Mallory's nicks

    testing_support::FixedRoster roster;
    roster.Users.Add("Mallory");
    EXPECT_FALSE(core::IsPrivileged(state, roster, "Mallory"));
    // The real Boss connects again later: a new user on the connection, with his own rights.
    roster.Users.Add("Boss");
    EXPECT_TRUE(core::IsPrivileged(state, roster, "Boss"));
    EXPECT_FALSE(core::IsPrivileged(state, roster, "Mallory"));
}

TEST_F(SeenTrackerTest, TheLastUserWithANickIsTheOneFound)
{
    Join("#rpg", "Ann"); // user 1, after Alice who was on the channel
    Join("#rpg", "Bea"); // user 2
    seen.OnNickChange("Ann", "Cat");
    seen.OnNickChange("Bea", "Cat"); // Bea's user is later in the list
    EXPECT_EQ(seen.Find("cat"), 2);
    Join("#rpg", "Dee"); // user 3
    seen.OnNickChange("Dee", "Bea");
    EXPECT_EQ(seen.Find("bea"), 3);
    EXPECT_EQ(seen.FindExact("Bea"), 2);
    EXPECT_FALSE(seen.FindExact("bea").has_value());
}

// Users tracked while names compared as ascii are found under every spelling rfc1459 takes as theirs once
// the index is made again; where two users' nicks become one, the last one is found.
TEST_F(SeenTrackerTest, AChangeOfCaseMappingIndexesTheNicksAgain)
{
    seen.TakeInChannel("#a[b]", { "Troll[1]", "troll{1}" }, "t0", true);
    seen.OnNickChange("Troll[1]", "Gnome~");
    EXPECT_EQ(seen.Find("TROLL[1]"), 0);
    EXPECT_FALSE(seen.Find("gnome^").has_value());
    irc::SetCurrentCaseMapping(irc::CaseMapping::Rfc1459);
    seen.RebuildIndexes();
    EXPECT_EQ(seen.Find("gnome^"), 0);
    EXPECT_EQ(seen.Find("TROLL[1]"), 1);
    EXPECT_EQ(core::FindUserChannel(seen.Users().at(0), "#A{B}"), 0) << "and its channels are one too";
}

TEST_F(SeenTrackerTest, TheBotLeavingOrBeingKickedNotesWhoWasStillThere)
{
    seen.TakeInChannel("#rpg", { "Alice", "Bob" }, "t0", true);
    seen.OnBotLeftChannel("#rpg", { "Alice", "Bob", "Ghost" }, "t1");
    EXPECT_EQ(User("Alice").LeaveNotes, QStringList({ " (was still online when I left the channel)." }));
    seen.OnNickChange("Bob", "Robert");
    seen.OnBotKickedOut("#rpg", { "Alice", "Robert" }, "t2");
    EXPECT_EQ(User("Alice").LeaveNotes, QStringList({ " (was still online when I was kicked)." }));
    EXPECT_EQ(User("Bob").LeaveTimes, QStringList({ "t1" })); // later nicks are not looked at here
}

TEST_F(SeenTrackerTest, TheIndexAgreesWithAPlainScan)
{
    // Many users with overlapping nick changes: the index must name the same user a scan would.
    for (int i = 0; i < 300; ++i)
        Join("#rpg", QStringLiteral("user%1").arg(i));
    for (int i = 0; i < 300; i += 7)
        seen.OnNickChange(QStringLiteral("user%1").arg(i), QStringLiteral("USER%1").arg((i * 13) % 300));
    for (int i = 0; i < 300; ++i) {
        const QString nick = QStringLiteral("User%1").arg(i);
        std::optional<qsizetype> scanned;
        for (qsizetype u = 0; u < seen.Users().size(); ++u) {
            const core::TChatUser& user = seen.Users()[u];
            if (user.Nick.compare(nick, Qt::CaseInsensitive) == 0
                || user.LaterNicks.contains(nick, Qt::CaseInsensitive))
                scanned = u;
        }
        EXPECT_EQ(seen.Find(nick), scanned) << nick.toStdString();
    }
}

// Each user the tracker holds, and which channels it counts as indexed, as a fresh tracker reads them.
QStringList Described(const core::SeenTracker& seen)
{
    QStringList lines;
    for (const core::TChatUser& user : seen.Users()) {
        QStringList fields { user.Nick, user.LaterNicks.join(',') };
        for (qsizetype i = 0; i < user.Channels.size(); ++i)
            fields << user.Channels[i] << user.JoinTimes[i] << user.JoinNotes[i] << user.LeaveTimes[i]
                   << user.LeaveNotes[i] << user.LastMessageTimes[i];
        lines << fields.join('|');
    }
    for (const QString channel : { "#rpg", "#dnd", "#new" })
        lines << channel + (seen.IsIndexed(channel) ? " indexed" : " not indexed");
    return lines;
}

int UserRowsSeenAt(const QSqlDatabase& db, qint64 seconds)
{
    QSqlQuery count(db);
    count.prepare("SELECT (SELECT COUNT(*) FROM users WHERE last_seen = ?) + (SELECT COUNT(*) FROM "
                  "user_channels WHERE user_id IN (SELECT id FROM users WHERE last_seen = ?))");
    count.addBindValue(seconds);
    count.addBindValue(seconds);
    return count.exec() && count.next() ? count.value(0).toInt() : -1;
}

// Three starts on one store, the changes of each written in calls of at most budget rows, with changes
// made after the first calls: users are taken in; a day later all but U3 and U7 speak; two days after that
// those two are forgotten, so that every user after U2 moves to a new id, and meanwhile a new user comes in
// (whose id an unmoved user still holds) and users that moved or will move change nicks. Returns what a
// fresh tracker reads back.
QStringList StoredLife(int budget)
{
    core::Store store;
    store.Open(QString());
    QSqlDatabase db = store.Database();
    testing_support::FixedClock clock;
    std::optional<core::SeenTracker> seen;
    const auto start = [&] {
        seen.emplace(clock);
        seen->Keep(2);
        EXPECT_TRUE(seen->Load(db));
    };
    const auto writeAll = [&](const QList<std::function<void()>>& changesAfterCalls) {
        for (int call = 0; call < 1000 && (call < changesAfterCalls.size() || seen->HasChanges()); ++call) {
            EXPECT_TRUE(seen->WriteChanges(db, budget));
            if (call == 0) {
                // A user is written whole: a call writes the budget or one user, who has at most three rows.
                EXPECT_LE(UserRowsSeenAt(db, clock.SecondsSinceEpoch()), std::max(budget, 3));
                EXPECT_EQ(seen->HasChanges(), budget < std::numeric_limits<int>::max());
            }
            if (call < changesAfterCalls.size())
                changesAfterCalls[call]();
        }
        EXPECT_FALSE(seen->HasChanges());
    };
    QStringList nicks;
    for (int i = 0; i < 12; ++i)
        nicks << QStringLiteral("U%1").arg(i);

    start();
    seen->TakeInChannel("#rpg", nicks, "t0", true);
    seen->TakeInChannel("#dnd", nicks.mid(4, 4), "t0", true);
    writeAll({ [&] {
        seen->OnNickChange("U5", "Quinn");
        seen->OnChannelMessage("U8", "#rpg", "t0b");
    } });
    clock.Moment = clock.Moment.addDays(1);
    start();
    for (const QString& nick : nicks)
        if (nick != "U3" && nick != "U7")
            seen->OnChannelMessage(nick, "#rpg", "t1");
    writeAll({ [&] { seen->OnChannelUpdate("#rpg", {}, ChannelEvent::Parted, "U9", "t1b"); } });
    clock.Moment = clock.Moment.addDays(2);
    start();
    EXPECT_EQ(seen->Users().size(), 10);
    writeAll({ [&] { seen->TakeInChannel("#new", { "Newbie" }, "t3", true); },
        [&] {
            seen->OnNickChange("U4", "Ash");
            seen->OnNickChange("U11", "Zed");
        } });
    const QStringList written = Described(*seen);
    start();
    EXPECT_EQ(Described(*seen), written);
    return written;
}

// However small the budget, the calls end with the store holding what one unbounded write gives.
TEST(SeenTrackerStore, WritesInCallsOfAtMostTheBudgetToWhatOneWriteGives)
{
    const QStringList whole = StoredLife(std::numeric_limits<int>::max());
    for (const int budget : { 1, 3, 5, 8 }) {
        SCOPED_TRACE(budget);
        EXPECT_EQ(StoredLife(budget), whole);
    }
}

} // namespace
