#pragma once

// A whole bot on a data folder of the test's own, answering into a recording sender at a fixed time.

#include "commands/bot.h"
#include "support/fixedclock.h"
#include "support/recordingsender.h"
#include "support/tempfiles.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSet>
#include <gtest/gtest.h>
#include <memory>

namespace testing_support {

// A roster the test fills by hand. Users holds the people the connection sees; a test renames one by
// setting its Nick, as the client does on a nick change.
class FixedRoster final : public irc::ChannelRoster {
public:
    QHash<QString, QStringList> Nicks;
    QHash<QString, QStringList> Operators;
    // The channels that are secret or private.
    QSet<QString> Secret;
    irc::TIrcUsers Users;
    bool Accounts = false;
    QStringList NicksOn(const QString& channel) const override { return Nicks.value(channel); }
    bool IsOperatorOn(const QString& channel, const QString& nick) const override
    {
        return Operators.value(channel).contains(nick);
    }
    const irc::TIrcUser* FindUser(const QString& nick) const override { return Users.Find(nick).get(); }
    bool TellsAccounts() const override { return Accounts; }
    bool MayBeSecret(const QString& channel) const override { return Secret.contains(channel); }
};

class BotFixture : public ::testing::Test {
protected:
    TempFiles files;
    RecordingSender out;
    FixedRoster roster;
    FixedClock clock;
    std::unique_ptr<commands::Bot> bot;

    void Start()
    {
        bot = std::make_unique<commands::Bot>(files.Path(), out, roster, clock);
        // As in the console, the one who types is the owner while the files name none.
        bot->Start([](core::BotState& state) { state.Extra.Access.LocalOwnerNick = core::DefaultOwnerNick; });
    }

    // Hands one message to the bot and returns what it sent in answer.
    QStringList Say(const QString& nick, const QString& channel, const QString& line)
    {
        bot->OnMessage(nick, channel, line);
        return out.Take();
    }
};

// Runs the event loop until done() holds or the deadline passes; returns done().
template <typename Done> bool WaitUntil(Done done, int timeoutMs = 5000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    return done();
}

} // namespace testing_support
