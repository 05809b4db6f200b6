#pragma once

// Who is on a channel, as the connection knows it from the server's names lists, joins and parts, and
// what it knows of the people it sees.

#include "irc/ircusers.h"

#include <QStringList>

namespace irc {

class ChannelRoster {
public:
    virtual ~ChannelRoster() = default;

    // The nicks on channel in list order; empty when the bot is not on it.
    virtual QStringList NicksOn(const QString& channel) const = 0;

    // The record of the user now using nick, while the connection sees that user (on one of its channels,
    // or as the sender of the line being handled); null when it does not.
    virtual const TIrcUser* FindUser(const QString& nick) const
    {
        Q_UNUSED(nick);
        return nullptr;
    }

    // Whether nick is an operator ("@") of channel as the names list and mode changes tell it.
    virtual bool IsOperatorOn(const QString& channel, const QString& nick) const
    {
        Q_UNUSED(channel);
        Q_UNUSED(nick);
        return false;
    }

    // Whether the network tells which services account each user is logged in to; where it does, a
    // user's Account is the evidence of who he is.
    virtual bool TellsAccounts() const { return false; }
};

} // namespace irc
