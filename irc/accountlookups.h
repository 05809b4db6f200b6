#pragma once

// Private lines from users whose services account the server has not told (no account tag on the line,
// and no shared channel that would have told it), held while the client asks the server with WHOIS, so
// that a command in private is judged by who sends it as one in a channel is. A user's lines wait in
// order; a user's later lines wait behind the first. What does not fit is refused at once; what the
// server never answers is given up after a while.

#include "irc/ircusers.h"

#include <QString>
#include <optional>
#include <vector>

namespace irc {

struct HeldLine {
    UserPtr User;
    QString Text;
};

class AccountLookups {
public:
    static constexpr qsizetype MaxLinesPerUser = 4;
    static constexpr qsizetype MaxLines = 32;

    enum class Outcome {
        // The first line of this user: ask the server about AskedNick.
        Ask,
        // Queued behind a question already asked.
        Queued,
        // No room: the line is refused.
        Full,
    };

    Outcome Hold(const UserPtr& user, const QString& text, qint64 nowMs);
    // Whether lines of user wait: his later ones wait behind them.
    bool Holds(const TIrcUser* user) const;
    // The user the question about nick concerns; null when none was asked.
    UserPtr AskedUser(const QString& nick) const;
    // The server has said all it will about nick: the lines held for that user, in order.
    std::vector<HeldLine> Answered(const QString& nick);
    // The lines of questions asked at or before deadlineMs, in order.
    std::vector<HeldLine> TakeAskedBy(qint64 deadlineMs);
    // When the oldest open question was asked; none when nothing waits.
    std::optional<qint64> OldestQuestion() const;
    // Everything held, in order; nothing waits afterwards.
    std::vector<HeldLine> TakeAll();

private:
    struct Question {
        QString AskedNick;
        qint64 AskedAtMs = 0;
        std::vector<HeldLine> Lines;
    };

    std::vector<Question>::iterator FindUser(const TIrcUser* user);
    std::vector<Question>::const_iterator FindAsked(const QString& nick) const;

    // In the order they were asked.
    std::vector<Question> m_questions;
    qsizetype m_lines = 0;
};

} // namespace irc
