#pragma once

// Capability negotiation and the SASL login while the bot registers, as a state machine of its own. The
// client hands it each server line; it answers with the lines to send (before anything else queued) and
// the lines for the log, and knows nothing of sockets or timers. The client owns one per connection.
//
// The steps: CAP LS 302 (one or more lines), CAP REQ :sasl, ACK or NAK, AUTHENTICATE PLAIN, the server's
// "+", the credentials, a 900-908 outcome, CAP END. Whatever goes wrong, the negotiation ends and
// registration goes on without the login, with a line for the log saying why.

#include "irc/message.h"

#include <QStringList>
#include <optional>

namespace irc {

struct CapSettings {
    // With both set the bot logs in with SASL PLAIN.
    QString Account;
    QString Password;
};

// What the client is to do for one server line.
struct CapAction {
    QStringList Send;
    QStringList Status;
    // The line is also to be handled as usual (an error reply the client reports as well).
    bool PassOn = false;

    bool operator==(const CapAction&) const = default;
};

class CapNegotiation {
public:
    enum class Step { None, Listing, Requested, Authenticating, Done };

    // A new connection: the lines to send before registering (none when there is nothing to negotiate).
    QStringList Start(const CapSettings& settings);
    // One server line: what to do, or nothing when the line is not the negotiation's.
    std::optional<CapAction> Handle(const Message& message);
    // The server welcomed the bot: whatever was under way is over.
    void Welcomed() { m_step = Step::Done; }

    Step CurrentStep() const { return m_step; }
    // The server confirmed the login (900 or 903).
    bool LoggedIn() const { return m_loggedIn; }

private:
    CapAction HandleCap(const Message& message);
    CapAction HandleAuthenticate(const Message& message) const;
    CapAction HandleOutcome(int numeric, const Message& message);
    CapAction End(const QString& status = QString());

    CapSettings m_settings;
    Step m_step = Step::None;
    QByteArray m_capList;
    bool m_loggedIn = false;
};

} // namespace irc
