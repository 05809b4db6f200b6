#pragma once

// The console's stand-in for a server connection: everything the bot sends is printed on standard
// output, one line each, as "[TARGET] <BOTNICK> TEXT" (an action as "[TARGET] * BOTNICK TEXT").

#include "irc/sender.h"

#include <QTextStream>

namespace app {

class ConsoleSender final : public irc::Sender {
public:
    explicit ConsoleSender(QTextStream& out);

    void SetCurrentNick(const QString& nick) { m_nick = nick; }

    bool Say(const QString& target, const QString& text) override;
    bool Notice(const QString& target, const QString& text) override;
    bool Action(const QString& target, const QString& text) override;
    bool Join(const QString& channel) override;
    bool Part(const QString& channel) override;
    void SetNick(const QString& nick) override;
    void Disconnect() override;

private:
    void Print(const QString& line);

    QTextStream& m_out;
    QString m_nick;
};

} // namespace app
