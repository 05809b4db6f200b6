#pragma once

// One message a game aid wants sent: to the reply target (the channel, or the nick in silent mode and for
// private messages), or privately to the requester.

#include <QList>
#include <QString>

namespace games {

struct GameReply {
    enum Destination { ToTarget, ToNick };
    Destination To = ToTarget;
    QString Text;

    friend bool operator==(const GameReply&, const GameReply&) = default;
};

using GameReplies = QList<GameReply>;

} // namespace games
