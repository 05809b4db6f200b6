#pragma once

// The users the IRC client knows: the senders of the lines it handles and the people on its channels.
// A record lives as long as something holds it (a channel's names list, the client's own record, or the
// line being handled); holders add and release it, and the last release drops it from the collection.

#include "irc/casemapping.h"

#include <QString>
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
    // The services account the user is logged in to, as the server tells it: empty when logged out, none
    // while the server has not said (or tells no accounts at all).
    std::optional<QString> Account;
};

using UserPtr = std::shared_ptr<TIrcUser>;

class TIrcUsers {
public:
    // The record for nick (found as the server compares names) with its count raised, or a new one with
    // count 1. A different non-empty address replaces the known one.
    UserPtr Add(const QString& nick, const QString& address = QString());

    // Lowers the count; at 0 the record leaves the collection. Whoever still holds the pointer may read it.
    void Release(const UserPtr& user);

    UserPtr Find(const QString& nick) const;
    const std::vector<UserPtr>& Items() const { return m_users; }
    void Clear() { m_users.clear(); }

private:
    std::vector<UserPtr> m_users;
};

} // namespace irc
