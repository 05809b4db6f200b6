#pragma once

// Who is on a channel, as the connection knows it from the server's names lists, joins and parts, and
// what it knows of the people it sees.

#include "irc/ircusers.h"

#include <QStringList>
#include <algorithm>

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

    // Whether channel is secret (+s) or private (+p) as the connection knows its modes, or may be so
    // because the server has not told them yet; false for a channel the bot is not on.
    virtual bool MayBeSecret(const QString& channel) const
    {
        Q_UNUSED(channel);
        return false;
    }

    // Whether nick is on channel as the connection sees it.
    bool Sees(const QString& channel, const QString& nick) const
    {
        const QStringList nicks = NicksOn(channel);
        return std::any_of(
            nicks.cbegin(), nicks.cend(), [&nick](const QString& on) { return SameName(on, nick); });
    }
};

} // namespace irc
