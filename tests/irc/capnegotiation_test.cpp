// The capability negotiation fed line by line: each script starts a negotiation and gives the server's
// lines in order, each with what the bot is to send and log in answer.

#include "irc/capnegotiation.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

using irc::CapAction;
using irc::CapNegotiation;
using irc::CapSettings;

struct Step {
    const char* line;
    // Lines to send, separated by "|"; "-" when the line is not the negotiation's.
    const char* sent;
    const char* status = "";
    bool passOn = false;
    bool giveUp = false;
};

struct Script {
    const char* name;
    CapSettings settings;
    std::vector<Step> steps;
    CapNegotiation::Step end;
    bool loggedIn;
    // The capabilities enabled at the end, separated by blanks.
    const char* enabled = "";
};

const CapSettings Plain { "dicebot", "open, sesame" };
const CapSettings PlainRequired { "dicebot", "open, sesame", false, true };
const CapSettings External { "", "", true };
const CapSettings NoLogin {};

// "dicebot\0dicebot\0open, sesame" in base64.
const char* Credentials = "AUTHENTICATE ZGljZWJvdABkaWNlYm90AG9wZW4sIHNlc2FtZQ==";
const char* Failed
    = "SASL: logging in as dicebot failed (904 SASL authentication failed); check sasl_account "
      "and sasl_password in tessarin.ini; registering without logging in.";
const char* Retrying = "; sasl_required is set, so the bot disconnects and tries again later.";

const Script Scripts[] = {
    { "plain login, list in two lines", Plain,
        { { ":irc CAP * LS * :multi-prefix away-notify", "" },
            { ":irc CAP * LS :sasl=EXTERNAL,PLAIN account-tag", "CAP REQ :account-tag sasl" },
            { ":irc CAP * ACK :account-tag sasl", "AUTHENTICATE PLAIN" }, { "AUTHENTICATE +", Credentials },
            { ":irc 900 * me!u@h dicebot :You are now logged in as dicebot", "" },
            { ":irc 903 * :SASL authentication successful", "CAP END", "SASL: logged in as dicebot." },
            { ":irc 001 Tessarin :Welcome", "-" } },
        CapNegotiation::Step::Done, true, "account-tag sasl" },
    { "certificate login", External,
        { { ":irc CAP * LS :sasl=EXTERNAL,PLAIN", "CAP REQ :sasl" },
            { ":irc CAP * ACK :sasl", "AUTHENTICATE EXTERNAL" }, { "AUTHENTICATE +", "AUTHENTICATE +" },
            { ":irc 900 * me!u@h dice-account :You are now logged in as dice-account", "" },
            { ":irc 903 * :SASL authentication successful", "CAP END", "SASL: logged in as dice-account." } },
        CapNegotiation::Step::Done, true, "sasl" },
    { "accounts only, acknowledged in two lines", NoLogin,
        { { ":irc CAP * LS :multi-prefix account-notify extended-join sasl=PLAIN account-tag",
              "CAP REQ :account-notify extended-join account-tag" },
            { ":irc CAP * ACK * :account-notify", "" },
            { ":irc CAP * ACK :extended-join account-tag", "CAP END" }, { ":irc CAP * DEL :account-tag", "" },
            { ":irc CAP * NEW :account-tag", "" } },
        CapNegotiation::Step::Done, false, "account-notify extended-join" },
    { "nothing to ask for", NoLogin, { { ":irc CAP * LS :multi-prefix sasl", "CAP END" } },
        CapNegotiation::Step::Done, false },
    { "a server without CAP, no login wanted", NoLogin, { { ":irc 421 * CAP :Unknown command", "" } },
        CapNegotiation::Step::Done, false },
    { "wrong password", Plain,
        { { ":irc CAP * LS :sasl", "CAP REQ :sasl" }, { ":irc CAP * ACK :sasl", "AUTHENTICATE PLAIN" },
            { "AUTHENTICATE +", Credentials },
            { ":irc 904 * :SASL authentication failed", "CAP END", Failed } },
        CapNegotiation::Step::Done, false, "sasl" },
    { "wrong password, login required", PlainRequired,
        { { ":irc CAP * LS :sasl", "CAP REQ :sasl" }, { ":irc CAP * ACK :sasl", "AUTHENTICATE PLAIN" },
            { "AUTHENTICATE +", Credentials },
            { ":irc 904 * :SASL authentication failed", "CAP END",
                "SASL: logging in as dicebot failed (904 SASL authentication failed); check sasl_account and "
                "sasl_password in tessarin.ini; sasl_required is set, so the bot disconnects and tries again "
                "later.",
                false, true } },
        CapNegotiation::Step::Done, false, "sasl" },
    { "no sasl offered, login required", PlainRequired,
        { { ":irc CAP * LS :account-tag", "CAP END",
            "SASL: the server does not offer it; sasl_required is set, so the bot disconnects and tries "
            "again "
            "later.",
            false, true } },
        CapNegotiation::Step::Done, false },
    { "no sasl offered, accounts still asked for", Plain,
        { { ":irc CAP * LS :multi-prefix account-notify", "CAP REQ :account-notify",
              "SASL: the server does not offer it; registering without logging in." },
            { ":irc CAP * ACK :account-notify", "CAP END" } },
        CapNegotiation::Step::Done, false, "account-notify" },
    { "only other mechanisms", Plain,
        { { ":irc CAP * LS :sasl=EXTERNAL,SCRAM-SHA-256", "CAP END",
            "SASL: the server offers only EXTERNAL,SCRAM-SHA-256, not PLAIN; registering without logging "
            "in." } },
        CapNegotiation::Step::Done, false },
    { "refused request", Plain,
        { { ":irc CAP * LS :sasl", "CAP REQ :sasl" },
            { ":irc CAP * NAK :sasl", "CAP END",
                "SASL: the server refused it; registering without logging in." } },
        CapNegotiation::Step::Done, false },
    { "a server without CAP", Plain,
        { { ":irc 421 * CAP :Unknown command", "",
              "SASL: the server does not negotiate capabilities; registering without logging in.", true },
            { ":irc CAP * LS :sasl", "" } },
        CapNegotiation::Step::Done, false },
    { "lines out of turn", Plain,
        { { "AUTHENTICATE +", "-" }, { ":irc 904 * :failed", "-" }, { ":irc CAP * NEW :sasl", "" },
            { ":irc CAP * LS :sasl", "CAP REQ :sasl" }, { ":irc CAP * LS :sasl", "" },
            { ":irc CAP * ACK :sasl", "AUTHENTICATE PLAIN" }, { "AUTHENTICATE *", "" },
            { ":irc 906 * :aborted", "CAP END" } },
        CapNegotiation::Step::Done, false, "sasl" },
    { "welcomed half way", Plain,
        { { ":irc CAP * LS :sasl", "CAP REQ :sasl" }, { ":irc 001 Tessarin :Welcome", "-" } },
        CapNegotiation::Step::Done, false },
};

TEST(CapNegotiation, FollowsEachScriptLineByLine)
{
    for (const Script& script : Scripts) {
        CapNegotiation negotiation;
        EXPECT_EQ(negotiation.Start(script.settings), QStringList({ "CAP LS 302" }));
        for (const Step& step : script.steps) {
            const irc::Message message = irc::ParseLine(step.line);
            if (message.Command == "001") {
                EXPECT_FALSE(negotiation.Welcomed().has_value()) << script.name;
            }
            const std::optional<CapAction> action = negotiation.Handle(message);
            const std::string where = std::string(script.name) + ": " + step.line;
            if (QByteArray(step.sent) == "-") {
                EXPECT_FALSE(action.has_value()) << where;
                continue;
            }
            ASSERT_TRUE(action.has_value()) << where;
            const QString sent = QString::fromUtf8(step.sent);
            EXPECT_EQ(action->Send, sent.isEmpty() ? QStringList() : sent.split(u'|')) << where;
            const QString status = QString::fromUtf8(step.status);
            EXPECT_EQ(action->Status, status.isEmpty() ? QStringList() : QStringList({ status })) << where;
            EXPECT_EQ(action->PassOn, step.passOn) << where;
            EXPECT_EQ(action->GiveUp, step.giveUp) << where;
        }
        EXPECT_EQ(negotiation.CurrentStep(), script.end) << script.name;
        EXPECT_EQ(negotiation.LoggedIn(), script.loggedIn) << script.name;
        QStringList enabled;
        for (const char* name : { "account-notify", "account-tag", "extended-join", "sasl" }) {
            if (negotiation.Enabled(name))
                enabled.append(name);
        }
        EXPECT_EQ(enabled.join(u' '), QString::fromUtf8(script.enabled).split(u' ').join(u' '))
            << script.name;
    }
}

TEST(CapNegotiation, AWelcomeWithoutTheRequiredLoginGivesTheConnectionUp)
{
    CapNegotiation negotiation;
    negotiation.Start(PlainRequired);
    EXPECT_EQ(
        negotiation.Welcomed(), QString("SASL: the server welcomed the bot without a login") + Retrying);

    negotiation.Start(PlainRequired);
    negotiation.Handle(irc::ParseLine(":irc CAP * LS :sasl"));
    negotiation.Handle(irc::ParseLine(":irc CAP * ACK :sasl"));
    negotiation.Handle(irc::ParseLine(":irc 900 * me!u@h dicebot :You are now logged in as dicebot"));
    negotiation.Handle(irc::ParseLine(":irc 903 * :SASL authentication successful"));
    EXPECT_FALSE(negotiation.Welcomed().has_value()) << "logged in";
}

TEST(CapNegotiation, LongCredentialsGoInPiecesOf400WithAnEmptyOneAfterAFullLastPiece)
{
    // 300 bytes of credentials make exactly 400 base64 characters.
    CapNegotiation negotiation;
    negotiation.Start({ "a", QString(296, u'p') });
    negotiation.Handle(irc::ParseLine(":irc CAP * LS :sasl"));
    negotiation.Handle(irc::ParseLine(":irc CAP * ACK :sasl"));
    const CapAction action = negotiation.Handle(irc::ParseLine("AUTHENTICATE +")).value();
    ASSERT_EQ(action.Send.size(), 2);
    EXPECT_EQ(action.Send[0].size(), QString("AUTHENTICATE ").size() + 400);
    EXPECT_EQ(action.Send[1], "AUTHENTICATE +");
}

} // namespace
