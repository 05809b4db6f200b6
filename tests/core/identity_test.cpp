// Who passes as owner or privileged, and who is banned, under each kind of evidence: nicks followed
// forward, services accounts, hostmasks.

#include "core/hostmask.h"
#include "core/identity.h"
#include "irc/casemapping.h"
#include "support/botfixture.h"

#include <gtest/gtest.h>

namespace {

using core::Evidence;

// The user behind a nick as the connection shows him.
struct Seen {
    const char* nick;
    const char* firstNick;
    const char* address;
    // nullptr: the server has not said; "": logged out.
    const char* account;
};

struct Case {
    const char* what;
    Evidence proof;
    bool networkTellsAccounts;
    Seen user;
    bool privileged;
};

// The owner is "Boss" (owner_account and owner_hostmask unset); "Ann" and two marked entries are on the
// privileged list.
const Case Cases[] = {
    { "nick: the owner", Evidence::Nick, false, { "Boss", "Boss", "b@home", nullptr }, true },
    { "nick: forward through a change", Evidence::Nick, false, { "Boss_afk", "Boss", "b@home", nullptr },
        true },
    { "nick: not to a nick taken", Evidence::Nick, false, { "Boss", "Mallory", "m@evil", nullptr }, false },
    { "nick: the account is no nick", Evidence::Nick, true, { "Mallory", "Mallory", "m@evil", "Boss" },
        false },
    { "auto without accounts is nick", Evidence::Automatic, false, { "Ann", "Ann", "a@h", nullptr }, true },
    { "auto: logged in", Evidence::Automatic, true, { "Whoever", "Whoever", "x@y", "boss" }, true },
    { "auto: the nick alone", Evidence::Automatic, true, { "Boss", "Boss", "b@home", "" }, false },
    { "auto: account not yet told", Evidence::Automatic, true, { "Boss", "Boss", "b@home", nullptr }, false },
    { "account, on a network without", Evidence::Account, false, { "Boss", "Boss", "b@home", nullptr },
        false },
    { "account: a privileged account", Evidence::Account, true, { "Ann_", "Ann_", "a@h", "Ann" }, true },
    { "$a: entry in nick mode", Evidence::Nick, true, { "Kell", "Kell", "k@h", "kell-acct" }, true },
    { "$a: entry needs the login", Evidence::Nick, true, { "Kell", "Kell", "k@h", "" }, false },
    { "mask entry", Evidence::Automatic, true, { "Gm", "Gm", "gm@table.example", "" }, true },
    { "mask entry, other host", Evidence::Automatic, true, { "Gm", "Gm", "gm@table.example.net", "" },
        false },
    { "the creator's account", Evidence::Nick, true, { "Someone", "Someone", "s@h", "Vaddox" }, true },
    { "the creator's nick", Evidence::Automatic, false, { "Vaddox", "Vaddox", "v@h", nullptr }, false },
    { "the creator's nick, other account", Evidence::Automatic, true, { "Vaddox", "Vaddox", "v@h", "v" },
        false },
};

TEST(Identity, PrivilegesFollowTheEvidenceTheSettingChooses)
{
    for (const Case& c : Cases) {
        core::BotState state;
        state.OwnerNick = "Boss";
        state.PrivilegedUsers = { "Ann", "$a:Kell-Acct", "gm!*@*.example" };
        state.Extra.Access.Proof = c.proof;
        testing_support::FixedRoster roster;
        roster.Accounts = c.networkTellsAccounts;
        const irc::UserPtr user = roster.Users.Add(c.user.firstNick, c.user.address);
        user->Nick = c.user.nick;
        if (c.user.account)
            user->Account = QString::fromUtf8(c.user.account);
        EXPECT_EQ(core::IsPrivileged(state, roster, c.user.nick), c.privileged) << c.what;
    }
}

TEST(Identity, TheOwnersOwnAccountAndMaskReplaceHisNickAsAccount)
{
    core::BotState state;
    state.OwnerNick = "Boss";
    state.Extra.Access.OwnerAccount = "the-boss";
    state.Extra.Access.OwnerHostmask = "*!boss@home.example";
    testing_support::FixedRoster roster;
    roster.Accounts = true;
    const irc::UserPtr user = roster.Users.Add("Stranger", "x@y");
    const struct {
        const char* address;
        const char* account;
        bool owner;
    } cases[] = {
        { "x@y", "the-boss", true },
        { "x@y", "Boss", false }, // an account named after his nick is somebody else's
        { "boss@home.example", "", true },
        { "boss@home.example.org", "", false },
    };
    for (const auto& c : cases) {
        user->Address = c.address;
        user->Account = QString::fromUtf8(c.account);
        EXPECT_EQ(core::IsPrivileged(state, roster, "Stranger"), c.owner) << c.address << " " << c.account;
    }
}

// Who sees the secret rolls of #t, on a network that tells accounts: the channel's or the configured game
// master as an entry, else the owner as his settings identify him, never a placeholder nick.
TEST(Identity, TheGameMasterIsAnIdentity)
{
    const struct {
        const char* what;
        const char* ownerNick;
        const char* ownerAccount;
        const char* configured; // dice/game_master
        const char* channels; // #t's own gm
        const char* nick;
        const char* account;
        bool master;
    } cases[] = {
        { "the owner's account", "Boss", "", "", "", "Boss", "boss", true },
        { "the owner's nick alone", "Boss", "", "", "", "Boss", "", false },
        { "the owner's own account", "Boss", "the-boss", "", "", "Anyone", "the-boss", true },
        { "his nick once his account is set", "Boss", "the-boss", "", "", "Boss", "boss", false },
        { "the placeholder", "Nick", "", "", "", "Nick", "nick", false },
        { "a placeholder beside an account", "Nick", "the-boss", "", "", "Nick", "", false },
        { "a nick entry names an account", "Boss", "", "Vera", "", "Vera", "vera", true },
        { "not the nick alone", "Boss", "", "Vera", "", "Vera", "", false },
        { "the configured one replaces the owner", "Boss", "", "Vera", "", "Boss", "boss", false },
        { "an account entry", "Boss", "", "$a:gm-acct", "", "Whoever", "GM-Acct", true },
        { "a mask entry", "Boss", "", "*!*@table.example", "", "Gm", "", true },
        { "the channel's own", "Boss", "", "Vera", "$a:zara", "Zara", "zara", true },
        { "the channel's replaces the configured", "Boss", "", "Vera", "$a:zara", "Vera", "vera", false },
    };
    for (const auto& c : cases) {
        core::BotState state;
        state.OwnerNick = c.ownerNick;
        state.Extra.Access.OwnerAccount = c.ownerAccount;
        state.Extra.Dice.GameMaster = c.configured;
        if (*c.channels)
            state.PerChannel.Set("#t", "gm", c.channels);
        testing_support::FixedRoster roster;
        roster.Accounts = true;
        roster.Users.Add(c.nick, "u@table.example")->Account = QString::fromUtf8(c.account);
        EXPECT_EQ(core::IsGameMaster(state, roster, "#t", c.nick), c.master) << c.what;
    }
}

TEST(Identity, BansTakeAccountsAndMasksBesideNicks)
{
    core::BotState state;
    state.BannedUsers = { "Troll", "$a:troll-acct", "*!*@spam.example" };
    testing_support::FixedClock clock;
    const core::SeenTracker seen(clock);
    testing_support::FixedRoster roster;
    roster.Users.Add("Nice", "n@spam.example");
    roster.Users.Add("Polite", "p@ok.example")->Account = "Troll-Acct";
    roster.Users.Add("Fine", "f@ok.example")->Account = "";
    EXPECT_TRUE(core::IsBanned(state, seen, roster, "Nice"));
    EXPECT_TRUE(core::IsBanned(state, seen, roster, "Polite"));
    EXPECT_FALSE(core::IsBanned(state, seen, roster, "Fine"));
    EXPECT_TRUE(core::IsBanned(state, seen, roster, "troll")) << "a nick entry as before";
    EXPECT_FALSE(core::IsBanned(state, seen, roster, "Unseen")) << "no address known, no mask fits";
    state.BannedUsers.append("Gnome[1]");
    EXPECT_FALSE(core::IsBanned(state, seen, roster, "gnome{1}")) << "another nick to an ascii server";
    irc::SetCurrentCaseMapping(irc::CaseMapping::Rfc1459);
    EXPECT_TRUE(core::IsBanned(state, seen, roster, "gnome{1}")) << "the same nick to an rfc1459 server";
}

TEST(Hostmask, MatchesStarsAndQuestionMarksIgnoringCase)
{
    using irc::CaseMapping;
    const struct {
        const char* mask;
        const char* nick;
        const char* address;
        bool fits;
        CaseMapping mapping = CaseMapping::Ascii;
    } cases[] = {
        { "*!*@*", "a", "u@h", true },
        { "Kell!*@*.example", "kell", "k@table.EXAMPLE", true },
        { "Kell!*@*.example", "Kell", "k@example", false },
        { "k?ll!k@h", "Kall", "k@h", true },
        { "k?ll!k@h", "Kl", "k@h", false },
        { "*!*@h*", "a", "u@host", true },
        { "a!u@h", "a", "u@h2", false },
        { "**!**@**", "a", "u@h", true },
        { "*!*@*", "a", "", false }, // nothing known of the address
        // The nick as the server compares nicks; user name and host with A to Z in either case only.
        { "Troll[1]!*@*", "troll{1}", "u@h", false },
        { "Troll[1]!*@*", "troll{1}", "u@h", true, CaseMapping::Rfc1459 },
        { "*[1]!*@*", "troll{1}", "u@h", true, CaseMapping::Rfc1459 },
        { "Troll~!*@*", "troll^", "u@h", false, CaseMapping::StrictRfc1459 },
        { "*!~troll@*", "a", "~Troll@h", true, CaseMapping::Rfc1459 },
        { "*!^troll@*", "a", "~troll@h", false, CaseMapping::Rfc1459 },
        { "Ärger!*@*", "ärger", "u@h", false, CaseMapping::Rfc1459 },
        { "*!*@HÖST", "a", "u@höst", false },
    };
    for (const auto& c : cases) {
        irc::SetCurrentCaseMapping(c.mapping);
        EXPECT_EQ(core::MatchesHostmask(c.mask, c.nick, c.address), c.fits)
            << c.mask << " " << c.nick << " " << c.address;
    }

    // A mask made to backtrack does not stall: one remembered star keeps the work bounded.
    const QString hostile = QString("*a").repeated(200) + "!b@c";
    EXPECT_FALSE(core::MatchesHostmask(hostile, QString(300, u'a'), QString(300, u'a')));
}

} // namespace
