#pragma once

// Replies that may be long: the text is wrapped to the configured line width (in pixels of the classic
// dialog font) and each line is sent as a message of its own, in order. A line that cannot be sent ends
// the reply.

#include "irc/sender.h"

#include <QString>

namespace core {

void SayWrapped(irc::Sender& out, const QString& target, const QString& text, int lineWidth);

// As SayWrapped, but a line that begins with "/me " is sent as an action carrying the rest of the line.
void SayWrappedWithActions(irc::Sender& out, const QString& target, const QString& text, int lineWidth);

} // namespace core
