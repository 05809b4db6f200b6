// The capability negotiation fed line by line: each script starts a negotiation and gives the server's
// lines in order, each with what the bot is to send and log in answer.

#include "irc/capnegotiation.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

namespace {

using irc::CapAction;
using irc::CapNegotiation;

struct Step {
    const char* line;
    // Lines to send, separated by "|"; "-" when the line is not the negotiation's.
    const char* sent;
    const char* status = "";
    bool passOn = false;
};

struct Script {
    const char* name;
    const char* password;
    std::vector<Step> steps;
    CapNegotiation::Step end;
    bool loggedIn;
};

// "dicebot\0dicebot\0open, sesame" in base64.
const char* Credentials = "AUTHENTICATE ZGljZWJvdABkaWNlYm90AG9wZW4sIHNlc2FtZQ==";
const char* Failed
    = "SASL: logging in as dicebot failed (904 SASL authentication failed); check sasl_account "
      "and sasl_password in tessarin.ini. Registering without logging in.";

const Script Scripts[] = {
    { "plain login, list in two lines", "open, sesame",
        { { ":irc CAP * LS * :multi-prefix away-notify", "" },
            { ":irc CAP * LS :sasl=EXTERNAL,PLAIN account-tag", "CAP REQ :sasl" },
            { ":irc CAP * ACK :sasl", "AUTHENTICATE PLAIN" }, { "AUTHENTICATE +", Credentials },
            { ":irc 900 * me!u@h dicebot :You are now logged in as dicebot", "" },
            { ":irc 903 * :SASL authentication successful", "CAP END", "SASL: logged in as dicebot." },
            { ":irc 001 Tessarin :Welcome", "-" } },
        CapNegotiation::Step::Done, true },
    { "wrong password", "open, sesame",
        { { ":irc CAP * LS :sasl", "CAP REQ :sasl" }, { ":irc CAP * ACK :sasl", "AUTHENTICATE PLAIN" },
            { "AUTHENTICATE +", Credentials },
            { ":irc 904 * :SASL authentication failed", "CAP END", Failed } },
        CapNegotiation::Step::Done, false },
    { "no sasl offered", "x",
        { { ":irc CAP * LS :multi-prefix", "CAP END",
            "SASL: the server does not offer it; registering without logging in." } },
        CapNegotiation::Step::Done, false },
    { "only other mechanisms", "x",
        { { ":irc CAP * LS :sasl=EXTERNAL,SCRAM-SHA-256", "CAP END",
            "SASL: the server offers only EXTERNAL,SCRAM-SHA-256, not PLAIN; registering without logging "
            "in." } },
        CapNegotiation::Step::Done, false },
    { "refused request", "x",
        { { ":irc CAP * LS :sasl", "CAP REQ :sasl" },
            { ":irc CAP * NAK :sasl", "CAP END",
                "SASL: the server refused it; registering without logging in." } },
        CapNegotiation::Step::Done, false },
    { "acknowledged without sasl", "x",
        { { ":irc CAP * LS :sasl", "CAP REQ :sasl" }, { ":irc CAP * ACK :multi-prefix", "CAP END" } },
        CapNegotiation::Step::Done, false },
    { "a server without CAP", "x",
        { { ":irc 421 * CAP :Unknown command", "",
              "SASL: the server does not negotiate capabilities; registering without logging in.", true },
            { ":irc CAP * LS :sasl", "-" } },
        CapNegotiation::Step::Done, false },
    { "lines out of turn", "x",
        { { "AUTHENTICATE +", "-" }, { ":irc 904 * :failed", "-" }, { ":irc CAP * NEW :sasl", "" },
            { ":irc CAP * LS :sasl", "CAP REQ :sasl" }, { ":irc CAP * LS :sasl", "" },
            { ":irc CAP * ACK :sasl", "AUTHENTICATE PLAIN" }, { "AUTHENTICATE *", "" },
            { ":irc 906 * :aborted", "CAP END" } },
        CapNegotiation::Step::Done, false },
    { "welcomed half way", "x",
        { { ":irc CAP * LS :sasl", "CAP REQ :sasl" }, { ":irc 001 Tessarin :Welcome", "-" } },
        CapNegotiation::Step::Done, false },
};

TEST(CapNegotiation, FollowsEachScriptLineByLine)
{
    for (const Script& script : Scripts) {
        CapNegotiation negotiation;
        EXPECT_EQ(negotiation.Start({ "dicebot", script.password }), QStringList({ "CAP LS 302" }));
        for (const Step& step : script.steps) {
            const irc::Message message = irc::ParseLine(step.line);
            if (message.Command == "001")
                negotiation.Welcomed();
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
        }
        EXPECT_EQ(negotiation.CurrentStep(), script.end) << script.name;
        EXPECT_EQ(negotiation.LoggedIn(), script.loggedIn) << script.name;
    }
}

TEST(CapNegotiation, NothingIsNegotiatedWithoutBothAccountAndPassword)
{
    CapNegotiation negotiation;
    EXPECT_TRUE(negotiation.Start({ "dicebot", "" }).isEmpty());
    EXPECT_FALSE(negotiation.Handle(irc::ParseLine(":irc CAP * LS :sasl")).has_value());
    EXPECT_TRUE(negotiation.Start({ "", "secret" }).isEmpty());
    EXPECT_EQ(negotiation.CurrentStep(), CapNegotiation::Step::None);
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
