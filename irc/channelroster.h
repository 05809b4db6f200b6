#pragma once

// Who is on a channel, as the connection knows it from the server's names lists, joins and parts.

#include <QStringList>

namespace irc {

class ChannelRoster {
public:
    virtual ~ChannelRoster() = default;

    // The nicks on channel in list order; empty when the bot is not on it.
    virtual QStringList NicksOn(const QString& channel) const = 0;
};

} // namespace irc
