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

// Whether the user, shown so by a connection that does or does not tell accounts, passes as privileged.
bool PrivilegedAsShown(const core::BotState& state, bool networkTellsAccounts, const Seen& shown)
{
    testing_support::FixedRoster roster;
    roster.Accounts = networkTellsAccounts;
    const irc::UserPtr user = roster.Users.Add(shown.firstNick, shown.address);
    user->Nick = shown.nick;
    if (shown.account)
        user->Account = QString::fromUtf8(shown.account);
    return core::IsPrivileged(state, roster, shown.nick);
}

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
    { "the creator's account, his pass off", Evidence::Nick, true, { "Someone", "Someone", "s@h", "Vaddox" },
        false },
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
        EXPECT_EQ(PrivilegedAsShown(state, c.networkTellsAccounts, c.user), c.privileged) << c.what;
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

// Once the owner has an account or a mask, nicks alone open nothing where nicks are the evidence; an
// unset or placeholder owner is nobody; the creator passes only when the operator allows it.
TEST(Identity, NicksAloneOpenNothingBesideStrongerEvidence)
{
    const struct {
        const char* what;
        const char* ownerNick;
        const char* ownerHostmask;
        bool creatorPasses;
        bool networkTellsAccounts;
        Seen user;
        bool privileged;
    } cases[] = {
        { "the owner's nick beside his mask", "Boss", "*!boss@home.example", false, false,
            { "Boss", "Boss", "x@elsewhere", nullptr }, false },
        { "his mask", "Boss", "*!boss@home.example", false, false,
            { "Anyone", "Anyone", "boss@home.example", nullptr }, true },
        { "a plain entry beside the owner's mask", "Boss", "*!boss@home.example", false, false,
            { "Ann", "Ann", "a@h", nullptr }, false },
        { "a mask entry beside the owner's mask", "Boss", "*!boss@home.example", false, false,
            { "Gm", "Gm", "gm@table.example", nullptr }, true },
        { "a plain entry names an account still", "Boss", "*!boss@home.example", false, true,
            { "Ann_", "Ann_", "a@h", "ann" }, true },
        { "no owner", "", "", false, false, { "Nick", "Nick", "n@h", nullptr }, false },
        { "no owner, blanks", "  ", "", false, false, { "Nick", "Nick", "n@h", nullptr }, false },
        { "the placeholder", "Nick", "", false, false, { "Nick", "Nick", "n@h", nullptr }, false },
        { "the placeholder as an account", "Nick", "", false, true, { "Nick", "Nick", "n@h", "Nick" },
            false },
        { "the list without an owner", "", "", false, false, { "Ann", "Ann", "a@h", nullptr }, true },
        { "the creator's pass on", "Boss", "", true, true, { "Someone", "Someone", "s@h", "Vaddox" }, true },
        { "the creator's nick, pass on", "Boss", "", true, false, { "Vaddox", "Vaddox", "v@h", nullptr },
            false },
    };
    for (const auto& c : cases) {
        core::BotState state;
        state.OwnerNick = c.ownerNick;
        state.Extra.Access.OwnerHostmask = c.ownerHostmask;
        state.Extra.Access.CreatorPasses = c.creatorPasses;
        state.PrivilegedUsers = { "Ann", "gm!*@*.example" };
        EXPECT_EQ(PrivilegedAsShown(state, c.networkTellsAccounts, c.user), c.privileged) << c.what;
    }
}

TEST(Identity, TheOperatorHearsOfAnOwnerNobodyOrAnybodyCouldBe)
{
    const struct {
        const char* ownerNick;
        const char* ownerAccount;
        Evidence proof;
        bool networkTellsAccounts;
        const char* warningStart; // nullptr: none
    } cases[] = {
        { "", "", Evidence::Automatic, false, "No owner is set" },
        { "Nick", "", Evidence::Automatic, true, "No owner is set" },
        { "", "boss", Evidence::Automatic, true, nullptr },
        { "Boss", "", Evidence::Automatic, false, nullptr },
        { "Boss", "", Evidence::Automatic, true, "The owner Boss is a bare nick" },
        { "Boss", "", Evidence::Account, true, "The owner Boss is a bare nick" },
        { "Boss", "", Evidence::Nick, true, nullptr },
        { "Boss", "boss", Evidence::Automatic, true, nullptr },
    };
    for (const auto& c : cases) {
        core::BotState state;
        state.OwnerNick = c.ownerNick;
        state.Extra.Access.OwnerAccount = c.ownerAccount;
        state.Extra.Access.Proof = c.proof;
        const QString warning = core::OwnerWarning(state, c.networkTellsAccounts);
        if (c.warningStart)
            EXPECT_TRUE(warning.startsWith(c.warningStart)) << c.ownerNick << " " << warning.toStdString();
        else
            EXPECT_TRUE(warning.isEmpty()) << c.ownerNick << " " << warning.toStdString();
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
    testing_support::FixedRoster roster;
    roster.Users.Add("Nice", "n@spam.example");
    roster.Users.Add("Polite", "p@ok.example")->Account = "Troll-Acct";
    roster.Users.Add("Fine", "f@ok.example")->Account = "";
    EXPECT_TRUE(core::IsBanned(state, roster, "Nice"));
    EXPECT_TRUE(core::IsBanned(state, roster, "Polite"));
    EXPECT_FALSE(core::IsBanned(state, roster, "Fine"));
    EXPECT_TRUE(core::IsBanned(state, roster, "troll")) << "a nick entry as before";
    EXPECT_FALSE(core::IsBanned(state, roster, "Unseen")) << "no address known, no mask fits";
    state.BannedUsers.append("Gnome[1]");
    EXPECT_FALSE(core::IsBanned(state, roster, "gnome{1}")) << "another nick to an ascii server";
    irc::SetCurrentCaseMapping(irc::CaseMapping::Rfc1459);
    EXPECT_TRUE(core::IsBanned(state, roster, "gnome{1}")) << "the same nick to an rfc1459 server";
    irc::SetCurrentCaseMapping(irc::CaseMapping::Ascii);
}

// A nick ban holds on whoever the connection sees holding, or having held in its sight, a banned nick,
// and on nobody else.
TEST(Identity, NickBansStayWithTheBannedUser)
{
    const struct {
        const char* what;
        const char* firstNick; // empty: the connection does not see the sender
        const char* laterNicks;
        const char* nickNow;
        bool banned;
    } cases[] = {
        { "under the banned nick", "Troll", "", "Troll", true },
        { "changed to another's nick", "Troll", "Kell", "Kell", true },
        { "the real Kell", "Kell", "", "Kell", false },
        { "took the banned nick, then another", "Mallory", "Troll,Kell", "Kell", true },
        { "took and gave back another nick", "Kell", "Kell_", "Kell", false },
        { "unseen, the banned nick", "", "", "TROLL", true },
        { "unseen, another nick", "", "", "Kell", false },
    };
    for (const auto& c : cases) {
        core::BotState state;
        state.BannedUsers = { "Troll" };
        testing_support::FixedRoster roster;
        if (*c.firstNick) {
            const irc::UserPtr user = roster.Users.Add(c.firstNick, "u@h");
            user->Nick = c.nickNow;
            if (*c.laterNicks)
                user->LaterNicks = QString::fromUtf8(c.laterNicks).split(u',');
        }
        EXPECT_EQ(core::IsBanned(state, roster, c.nickNow), c.banned) << c.what;
    }
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
