#pragma once

// A sender that records what the bot would send, one protocol-like line per call, so tests can compare
// whole conversations: "PRIVMSG #dice :text", "ACTION #dice :bows", "JOIN #dice", "NICK Meowth".

#include "irc/sender.h"

#include <QStringList>

namespace testing_support {

class RecordingSender final : public irc::Sender {
public:
    QStringList Lines;
    bool Connected = true;

    bool Say(const QString& target, const QString& text) override
    {
        return Record(QStringLiteral("PRIVMSG ") + target + QStringLiteral(" :") + text);
    }
    bool Notice(const QString& target, const QString& text) override
    {
        return Record(QStringLiteral("NOTICE ") + target + QStringLiteral(" :") + text);
    }
    bool Action(const QString& target, const QString& text) override
    {
        return Record(QStringLiteral("ACTION ") + target + QStringLiteral(" :") + text);
    }
    bool Join(const QString& channel) override { return Record(QStringLiteral("JOIN ") + channel); }
    bool Part(const QString& channel) override { return Record(QStringLiteral("PART ") + channel); }
    void SetNick(const QString& nick) override { Record(QStringLiteral("NICK ") + nick); }
    void Disconnect() override
    {
        Record(QStringLiteral("DISCONNECT"));
        Connected = false;
    }

    QStringList Take() { return std::exchange(Lines, {}); }

private:
    bool Record(const QString& line)
    {
        if (!Connected)
            return false;
        Lines.append(line);
        return true;
    }
};

} // namespace testing_support
