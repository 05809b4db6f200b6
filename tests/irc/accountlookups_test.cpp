// Private lines waiting for their sender's account: in order, bounded, handed on once answered and given
// up once too old.

#include "irc/accountlookups.h"

#include <gtest/gtest.h>

namespace {

using irc::AccountLookups;
using Outcome = AccountLookups::Outcome;

irc::UserPtr User(const char* nick)
{
    auto user = std::make_shared<irc::TIrcUser>();
    user->Nick = nick;
    return user;
}

QStringList Texts(const std::vector<irc::HeldLine>& lines)
{
    QStringList texts;
    for (const irc::HeldLine& line : lines)
        texts.append(line.Text);
    return texts;
}

TEST(AccountLookups, AskOncePerUserAndHandTheLinesOnInOrder)
{
    AccountLookups lookups;
    const irc::UserPtr ann = User("Ann");
    const irc::UserPtr bo = User("Bo");
    EXPECT_EQ(lookups.Hold(ann, "one", 0), Outcome::Ask);
    EXPECT_EQ(lookups.Hold(bo, "x", 5), Outcome::Ask);
    EXPECT_EQ(lookups.Hold(ann, "two", 6), Outcome::Queued);
    // Ann changes nick while the question about "Ann" is open: the answer still names her old nick.
    ann->Nick = "Ann_";
    EXPECT_TRUE(lookups.Holds(ann.get()));
    EXPECT_EQ(lookups.AskedUser("ANN"), ann);
    EXPECT_EQ(Texts(lookups.Answered("ann")), QStringList({ "one", "two" }));
    EXPECT_FALSE(lookups.Holds(ann.get()));
    EXPECT_TRUE(lookups.Answered("Ann").empty()) << "answered once";
    EXPECT_EQ(lookups.OldestQuestion(), 5);
    EXPECT_TRUE(lookups.TakeAskedBy(4).empty());
    EXPECT_EQ(Texts(lookups.TakeAskedBy(5)), QStringList({ "x" }));
    EXPECT_FALSE(lookups.OldestQuestion().has_value());
}

TEST(AccountLookups, AUserOrEverybodyCanHoldOnlySoMany)
{
    AccountLookups lookups;
    const irc::UserPtr flooder = User("Flooder");
    for (qsizetype i = 0; i < AccountLookups::MaxLinesPerUser; ++i)
        ASSERT_NE(lookups.Hold(flooder, "line", 0), Outcome::Full);
    EXPECT_EQ(lookups.Hold(flooder, "one more", 0), Outcome::Full);

    qsizetype held = AccountLookups::MaxLinesPerUser;
    for (; held < AccountLookups::MaxLines; ++held)
        ASSERT_EQ(lookups.Hold(User("u"), "line", 0), Outcome::Ask);
    EXPECT_EQ(lookups.Hold(User("Late"), "line", 0), Outcome::Full);
    EXPECT_EQ(static_cast<qsizetype>(lookups.TakeAll().size()), AccountLookups::MaxLines);
    EXPECT_EQ(lookups.Hold(User("Late"), "line", 0), Outcome::Ask) << "room again";
}

} // namespace
