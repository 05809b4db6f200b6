#pragma once

// One user the seen tracker remembers: the nick it was first seen under, the nicks it changed to, and one
// record per channel of when it came, left and last spoke. The six per-channel lists always have the same
// length; entry i of each describes channel i.

#include <QString>
#include <QStringList>

namespace core {

struct TChatUser {
    QString Nick;
    QStringList Channels;
    QStringList JoinTimes;
    QStringList JoinNotes;
    QStringList LeaveTimes;
    QStringList LeaveNotes;
    QStringList LastMessageTimes;
    QStringList LaterNicks;
};

} // namespace core
