#pragma once

// Decoding of text that arrives as bytes (server lines, data files). UTF-8 is the rule; bytes that are not
// valid UTF-8 are read as Latin-1 so that nothing a sender typed is lost or replaced.

#include <QByteArray>
#include <QString>

namespace irc {

QString DecodeText(const QByteArray& bytes);

} // namespace irc
