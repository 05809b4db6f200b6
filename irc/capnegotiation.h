#pragma once

// Capability negotiation and the SASL login while the bot registers, as a state machine of its own. The
// client hands it each server line; it answers with the lines to send (before anything else queued) and
// the lines for the log, and knows nothing of sockets or timers. The client owns one per connection.
//
// The steps: CAP LS 302 (one or more lines); CAP REQ for the capabilities that tell the bot who is logged
// in to which services account (account-notify, account-tag, extended-join) and for sasl when the bot is
// to log in, whichever the server offers; ACK or NAK; then, for a login, AUTHENTICATE with EXTERNAL (the
// client certificate) or PLAIN (account and password), the server's "+", the answer, a 900-908 outcome;
// CAP END. A login that goes wrong ends the negotiation: registration goes on without it, or, when the
// login is required, the connection is to be given up. Either way a line for the log says why.

#include "irc/message.h"

#include <QSet>
#include <QStringList>
#include <optional>

namespace irc {

struct CapSettings {
    // SASL PLAIN with both set.
    QString Account;
    QString Password;
    // SASL EXTERNAL: the connection presents a client certificate, which the services know. It takes
    // precedence over PLAIN.
    bool External = false;
    // Staying on the network without logging in is no option: a login that fails, or cannot be tried,
    // gives the connection up.
    bool Required = false;

    bool WantsLogin() const { return External || (!Account.isEmpty() && !Password.isEmpty()); }
};

// What the client is to do for one server line.
struct CapAction {
    QStringList Send;
    QStringList Status;
    // The line is also to be handled as usual (an error reply the client reports as well).
    bool PassOn = false;
    // The required login did not happen: the connection is to be closed, and the reason is the last
    // status line.
    bool GiveUp = false;

    bool operator==(const CapAction&) const = default;
};

class CapNegotiation {
public:
    enum class Step { None, Listing, Requested, Authenticating, Done };

    // A new connection: the lines to send before registering.
    QStringList Start(const CapSettings& settings);
    // One server line: what to do, or nothing when the line is not the negotiation's.
    std::optional<CapAction> Handle(const Message& message);
    // The server welcomed the bot: whatever was under way is over. Returns why the connection is to be
    // given up when a required login did not happen.
    std::optional<QString> Welcomed();

    Step CurrentStep() const { return m_step; }
    // The server confirmed the login (900 or 903).
    bool LoggedIn() const { return m_loggedIn; }
    // Whether the server acknowledged the capability (account-notify, account-tag, extended-join, sasl).
    bool Enabled(const QByteArray& capability) const { return m_enabled.contains(capability); }

private:
    CapAction HandleCap(const Message& message);
    CapAction HandleList(const QByteArray& offered);
    CapAction HandleAuthenticate(const Message& message) const;
    CapAction HandleOutcome(int numeric, const Message& message);
    // Ends the negotiation; a failed login (status set) is also the connection's end when it is required.
    CapAction End(const QString& loginProblem = QString());
    QString Mechanism() const;

    CapSettings m_settings;
    Step m_step = Step::None;
    QByteArray m_capList;
    QSet<QByteArray> m_enabled;
    bool m_saslRequested = false;
    bool m_loggedIn = false;
};

} // namespace irc
