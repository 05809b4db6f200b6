#pragma once

// Replies that may be long: a text is sent as several lines, each line as a message of its own, in order.
// Explicit line ends in the text start new lines.

#include "irc/sender.h"

#include <QString>

namespace core {

void SayWrapped(irc::Sender& out, const QString& target, const QString& text);

// As SayWrapped, but a line that begins with "/me " is sent as an action carrying the rest of the line.
void SayWrappedWithActions(irc::Sender& out, const QString& target, const QString& text);

} // namespace core
