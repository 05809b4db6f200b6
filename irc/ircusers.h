#pragma once

// The users the IRC client knows: the senders of the lines it handles and the people on its channels.
// A record lives as long as something holds it (a channel's names list, the client's own record, or the
// line being handled); holders add and release it, and the last release drops it from the collection.
//
// The collection also remembers the nicks it saw taken by a nick change, with who took them (address and
// first nick), beyond the records and across reconnects: a user who takes a nick and then leaves the bot's
// sight (a part, a private message, the bot's own reconnect) is still the same user when he speaks under
// it from the same address. The memory of a nick ends when the bot sees it given up (changed away from,
// or a quit) or held by another address.

#include "irc/casemapping.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace irc {

struct TIrcUser {
    QString Nick;
    // The part of the prefix after the "!": user name and host.
    QString Address;
    // The text of the last PART, KICK or QUIT concerning the user.
    QString Reason;
    int Count = 0;
    // The nick the user had when this record was made: privileges may follow a user from it through the
    // nick changes the bot watches, never back to it from a nick the user changed to.
    QString FirstNick;
    // The nicks the user changed to in the bot's sight, oldest first, at most MaxLaterNicks of the latest:
    // a ban on any nick the user held holds for the rest of his session.
    QStringList LaterNicks;
    // The services account the user is logged in to, as the server tells it: empty when logged out, none
    // while the server has not said (or tells no accounts at all).
    std::optional<QString> Account;
    // While the user is taken for who took this nick by a change, before the server has shown his own
    // address: that taker's address.
    QString TakerAddress;
};

using UserPtr = std::shared_ptr<TIrcUser>;

class TIrcUsers {
public:
    // The record for nick (found as the server compares names) with its count raised, or a new one with
    // count 1. A different non-empty address replaces the known one. A new record for a nick seen taken by
    // a change is the taker's (his first and later nicks) unless its address is another.
    UserPtr Add(const QString& nick, const QString& address = QString());

    // The user changed nick in the bot's sight.
    void Rename(TIrcUser& user, const QString& newNick);
    // The user quit in the bot's sight: his nick is free again.
    void Quit(const TIrcUser& user);

    // Lowers the count; at 0 the record leaves the collection. Whoever still holds the pointer may read it.
    void Release(const UserPtr& user);

    UserPtr Find(const QString& nick) const;
    const std::vector<UserPtr>& Items() const { return m_users; }
    // Drops the records; the memory of taken nicks stays.
    void Clear() { m_users.clear(); }

    static constexpr qsizetype MaxLaterNicks = 16;
    static constexpr std::size_t MaxTakenNicks = 256;

private:
    struct TakenNick {
        QString Nick;
        QString Address;
        QString FirstNick;
        QStringList LaterNicks;
    };

    std::deque<TakenNick>::iterator FindTaken(const QString& nick);
    void ForgetTaken(const QString& nick);

    std::vector<UserPtr> m_users;
    // Oldest first.
    std::deque<TakenNick> m_takenNicks;
};

} // namespace irc
