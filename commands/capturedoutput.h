#pragma once

// An output that keeps what a command says instead of sending it, so that the caller can decide where the
// answer goes (a secret roll passes a game system's answer on to the roller and the game master).

#include "irc/sender.h"

#include <QList>

namespace commands {

class CapturedOutput final : public irc::Sender {
public:
    struct Line {
        bool (irc::Sender::*Send)(const QString&, const QString&);
        QString Target;
        QString Text;
    };

    bool Say(const QString& target, const QString& text) override
    {
        return Keep(&irc::Sender::Say, target, text);
    }
    bool Notice(const QString& target, const QString& text) override
    {
        return Keep(&irc::Sender::Notice, target, text);
    }
    bool Action(const QString& target, const QString& text) override
    {
        return Keep(&irc::Sender::Action, target, text);
    }
    // A command whose answer is being captured moves no channel and no nick.
    bool Join(const QString&) override { return false; }
    bool Part(const QString&) override { return false; }
    void SetNick(const QString&) override { }
    void Disconnect() override { }

    // Sends every kept line to out as it was said.
    void PassOn(irc::Sender& out) const
    {
        for (const Line& line : Lines)
            (out.*line.Send)(line.Target, line.Text);
    }

    QList<Line> Lines;

private:
    bool Keep(
        bool (irc::Sender::*send)(const QString&, const QString&), const QString& target, const QString& text)
    {
        Lines.append({ send, target, text });
        return true;
    }
};

} // namespace commands
