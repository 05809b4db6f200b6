#pragma once

// The outgoing side of an IRC connection as the bot sees it: every reply, action and channel move goes
// through one of these calls. The IRC client implements it for a real server; the console and the tests
// implement it to print or record what the bot would send.

#include <QString>

namespace irc {

class Sender {
public:
    virtual ~Sender() = default;

    // Each call returns false when the request could not be sent at once (for example when not
    // connected); the caller decides what a failure means.
    virtual bool Say(const QString& target, const QString& text) = 0;
    virtual bool Notice(const QString& target, const QString& text) = 0;
    virtual bool Action(const QString& target, const QString& text) = 0;
    virtual bool Join(const QString& channel) = 0;
    virtual bool Part(const QString& channel) = 0;

    // Asks for a new nick; while connected the server confirms it later.
    virtual void SetNick(const QString& nick) = 0;
    virtual void Disconnect() = 0;
};

} // namespace irc
